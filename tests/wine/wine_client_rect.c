/* Prints the game window's client area as "left top width height" in screen pixels. Usage
 * (under Wine): wine_client_rect.exe. Aware of the system's DPI, so that Wine tells it the
 * window's own pixels rather than scaling them to 96 dpi. Exits 1 without a "winMain" window. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  SetProcessDPIAware();
  HWND window = FindWindowW(L"winMain", NULL);
  RECT client;
  POINT corner = {0, 0};
  if (window == NULL || !GetClientRect(window, &client) || !ClientToScreen(window, &corner)) {
    return 1;
  }
  printf("%ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom);
  return 0;
}

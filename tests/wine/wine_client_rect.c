/* Prints the "winMain" window's client area as "left top width height" in screen pixels (under
 * Wine: wine_client_rect.exe). DPI aware, so that Wine does not scale the answer to 96 dpi. */
#include <windows.h>
#include <stdio.h>

int main(void) {
  SetProcessDPIAware();
  HWND window = FindWindowW(L"winMain", NULL);
  RECT client;
  POINT corner = {0, 0};
  if (!window || !GetClientRect(window, &client) || !ClientToScreen(window, &corner)) return 1;
  printf("%ld %ld %ld %ld\n", corner.x, corner.y, client.right, client.bottom);
}

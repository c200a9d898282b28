/* Ends a game's message loop the way another program can: WM_QUIT posted to its window, which
 * is never destroyed on the way. Usage (under Wine): wine_post_quit.exe. Exits 0 when the
 * message was posted to the window of class "winMain". */
#include <windows.h>
#include <stdio.h>

int main(void) {
  HWND window = FindWindowW(L"winMain", NULL);
  if (window == NULL) {
    fprintf(stderr, "no winMain window\n");
    return 1;
  }
  return PostMessageW(window, WM_QUIT, 0, 0) ? 0 : 1;
}

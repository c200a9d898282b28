// What the host asks of an SDL window's X window directly: its frame and its connection.
#pragma once

struct SDL_Window;

// The screen position of the outer top-left corner of the top-level window that holds
// `window`: the window manager's frame, or the window itself where no manager reparents it.
// False where the window is not an X window or the server cannot say.
bool x11FramePosition(SDL_Window* window, int& x, int& y);

// The file descriptor of the X connection the window belongs to, to wait on; -1 where the
// window is not an X window.
int x11ConnectionFd(SDL_Window* window);

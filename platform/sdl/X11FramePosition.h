// Where the window manager's frame of a window is, asked of the X server directly.
#pragma once

struct SDL_Window;

// The screen position of the outer top-left corner of the top-level window that holds
// `window`: the window manager's frame, or the window itself where no manager reparents it.
// False where the window is not an X window or the server cannot say.
bool x11FramePosition(SDL_Window* window, int& x, int& y);

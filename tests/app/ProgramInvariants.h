// What must hold of the running program after every window message, whatever came before.
#pragma once

#include <string>

#include "app/Application.h"
#include "platform/canvas.h"
#include "tests/app/MessageSource.h"

class Deradu;
class HeadlessHost;

// The first broken invariant, described for a failure message; empty when all hold.
// The board holds each value 0..15 once and shows exactly what it holds; state, level and
// moves are in range; the scene keeps its 17 entries; no paint is left open; the frame, the
// window and the side panel agree on the width.
std::string brokenInvariant(Application& app, const HeadlessHost& host);

// Sends `message` through the host as the message loop would, then checks its handling (the
// answer, 1 for a handled message and the default otherwise; WM_PAINT paints once, a tick at
// most once and never while the program was idle, nothing else paints; the program is idle
// right after a tick) and every invariant above. The first failure, or empty.
std::string sendAndCheck(Application& app, HeadlessHost& host, const WindowMessage& message);

// The message with its parameters in hexadecimal, for failure messages.
std::string describe(const WindowMessage& message);

// The blank's cell (column, row) on the 4 x 4 board; (-1, -1) when there is none.
Point blankCell(const Deradu& board);

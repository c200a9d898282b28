// What must hold of the running program after every window message, whatever came before.
#pragma once

#include <string>

#include "app/Application.h"
#include "platform/canvas.h"

class Deradu;
class HeadlessHost;

// The first broken invariant, described for a failure message; empty when all hold.
// The board holds each value 0..15 once and shows exactly what it holds; state, level and
// moves are in range; the scene keeps its 17 entries; no paint is left open; the frame, the
// window and the side panel agree on the width.
std::string brokenInvariant(Application& app, const HeadlessHost& host);

// The blank's cell (column, row) on the 4 x 4 board; (-1, -1) when there is none.
Point blankCell(const Deradu& board);

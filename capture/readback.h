// The frame just drawn, read from GL.
#pragma once

#include "capture/capture.h"

// The back buffer's width x height pixels as a Frame, the top row first:
// called after a frame is drawn and before its swap, it is exactly the
// picture the swap is about to show (menus are windows of their own and
// never in it).
Frame readDrawnFrame(int width, int height);

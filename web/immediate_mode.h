// Immediate mode on the web (immediate_mode.cpp): glBegin/glEnd pairs are
// gathered and drawn many to a draw. Whatever changes how a draw comes out
// draws the gathered ones first.
#pragma once

namespace web {

void drawPending();

}  // namespace web

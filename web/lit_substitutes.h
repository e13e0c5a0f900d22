// The web's stand-in for positional lights (web/lit_substitutes.cpp).
#pragma once

#include "view/view_model.h"

namespace web {

// Makes every positional light shine from where it is toward `target` (eye
// coordinates), with its fall-off at that distance: the emulation lights a
// whole draw from one direction, so a draw of a model aims them at its
// middle first.
void aimLightsAt(view::Vec3 target);

}  // namespace web

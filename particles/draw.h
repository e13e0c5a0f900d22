// The flame's GL side.
#pragma once

#include "particles/particles.h"
#include "view/flame_view.h"

// One pass: draws every alive particle as a textured square and moves it on
// by one frame. The squares are in eye coordinates, as the start view has
// always drawn them.
void drawParticles(FlameState& flame, RandomSource random);

// The same pass for a camera that has moved: each square where `placement`
// puts it, on the lighter (view/flame_view.h), still in eye coordinates.
void drawPlacedParticles(FlameState& flame, RandomSource random,
                         const view::FlamePlacement& placement);

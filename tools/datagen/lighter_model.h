// The lighter's body and lid, in the coordinates of the two mesh files.
#pragma once

#include "tools/datagen/geometry.h"

namespace datagen {

struct Lighter {
  Mesh base;  // the body: case, chimney, flint wheel
  Mesh lid;
};

// Builds the lighter and places it so that, through the program's fixed
// chain of transforms, the body fills the window's click rectangle and the
// chimney's top sits at the window centre, where the flame rises. The faces
// of each mesh come nearest first (see sortNearestFirst).
Lighter buildLighter();

}  // namespace datagen

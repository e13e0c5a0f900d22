// Where the body's picture goes. Wherever the model lies in its file, the
// program shows the same shape, only shifted in the world: framing the body
// is finding that one shift.
#pragma once

#include <vector>

#include "importer/program_view.h"
#include "view/view_model.h"

namespace importer {

struct PictureFrame {
  view::Vec3 shift;
  // The body shows smaller than the rectangle because it could come no
  // nearer the eye: a body much deeper than high and wide.
  bool nearLimited = false;
};

// `world` holds the body's drawn vertices where the program's view puts
// them for some placement in the file. Returns the shift of the world that
// puts the picture's top on the target's top row, the middle of that top
// under the flame (or the picture in the middle, when it is as wide as the
// rectangle), and the picture as large as the rectangle allows.
PictureFrame framePicture(std::vector<view::Vec3> world, const FramingTarget& target);

}  // namespace importer

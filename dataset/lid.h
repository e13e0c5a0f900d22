// How a lid stands open, for the shipped lighter and imported lids alike.
#pragma once

#include "view/view_model.h"

namespace dataset {

// How far the lid stands open from closed, in all, about its hinge along the
// line of sight. The program's own lid tilt (view::kLidTilt) is part of it;
// the rest is the lid's pose in its file, because a lid opened only that far
// would cut through the chimney and hide the flame.
inline constexpr double kLidOpenDegrees = 110.0;

// The turn that opens a lid: clockwise seen from the front (a negative turn
// about +z), its free side rising.
inline view::Mat3 lidOpening() { return view::rotation({-kLidOpenDegrees, {0.0, 0.0, 1.0}}); }

}  // namespace dataset

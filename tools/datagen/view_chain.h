// The program's fixed view of the two meshes, for framing the geometry.
#pragma once

#include <vector>

#include "tools/datagen/geometry.h"

namespace datagen {

// The program's placement constants and view.
inline constexpr double kPositionX = 2.25;
inline constexpr double kPositionY = -4.5;
inline constexpr double kScaleSize = 1.25;
inline constexpr double kWindowWidth = 800.0;
inline constexpr double kWindowHeight = 600.0;
inline constexpr double kEyeZ = 3.0;
inline constexpr double kFieldOfViewDegrees = 45.0;

// The body's turn and the lid's tilt, as the program hands them to glRotatef.
Mat3 bodyTurn();
Mat3 lidTilt();
// The lid's two offsets added up.
Vec3 lidOffset();

// What the program derives from the meshes when it reads them: the scale
// divisor from the bounding box (base mesh only, maxima starting at 1.1754e-38
// and minima at 1.1754e38, the larger of the x and y extents) and the two
// centres as vertex means.
struct ChainFrame {
  double maxExtent = 1.0;
  Vec3 centerBase;
  Vec3 centerTop;
};
double readerExtent(const std::vector<Vec3>& baseVertices);
Vec3 meanOf(const std::vector<Vec3>& vertices);
ChainFrame frameOf(const std::vector<Vec3>& baseVertices, const std::vector<Vec3>& lidVertices);

// Where a vertex of either mesh ends up in front of the camera (before the
// camera's own shift), and where a point in front of the camera shows in the
// 800 by 600 window: x from the left, y up from the bottom, in pixels.
Vec3 baseToWorld(const ChainFrame& frame, Vec3 p);
Vec3 lidToWorld(const ChainFrame& frame, Vec3 q);
struct WindowPoint {
  double x = 0.0;
  double y = 0.0;
};
WindowPoint toWindow(Vec3 world);

}  // namespace datagen

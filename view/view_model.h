// The program's one view of the lighter: the window, the projection, the
// camera, where the body and the lid are placed, the click rectangle and the
// point the flame rises from. Plain constants and plain math, no GL: the frame
// hands these very numbers to GL, and the data set generator, the importer
// and the tests predict pixels through the same chain.
#pragma once

#include <array>

namespace view {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(double k, Vec3 a);
Vec3 cross(Vec3 a, Vec3 b);
double dot(Vec3 a, Vec3 b);
double length(Vec3 a);

// A 3 by 3 matrix, rows first.
using Mat3 = std::array<std::array<double, 3>, 3>;
Vec3 operator*(const Mat3& m, Vec3 v);
Mat3 transpose(const Mat3& m);
// Throws std::domain_error when `m` has no inverse.
Mat3 inverse(const Mat3& m);

// An angle and an axis exactly as glRotatef is given them; GL normalises the
// axis, so (0, -90, 0) is a turn about -y.
struct Turn {
  double degrees = 0.0;
  Vec3 axis;
};
// The rotation glRotatef makes of a turn.
Mat3 rotation(const Turn& turn);

// The window, as the program opens it.
inline constexpr int kWindowWidth = 800;
inline constexpr int kWindowHeight = 600;
inline constexpr int kWindowX = 320;
inline constexpr int kWindowY = 100;

// The projection (gluPerspective) and the camera (gluLookAt).
inline constexpr double kFieldOfViewDegrees = 45.0;
inline constexpr double kNearPlane = 0.1;
inline constexpr double kFarPlane = 200.0;
inline constexpr Vec3 kEye{0.0, 0.0, 3.0};
inline constexpr Vec3 kLookAt{0.0, 0.0, 0.0};
inline constexpr Vec3 kUp{0.0, 1.0, 0.0};

// Width over height for the projection. A window squashed to no height (or
// no width) counts as one pixel in that direction, so the ratio stays finite
// and non-zero.
double aspectRatio(int width, int height);

// The model's placement: the scene's start values of positionX, positionY
// and scaleSize, the body's quarter turn, and the lid's offsets (two separate
// translations, in this order) and tilt. Every value is exact as a float, so
// GL receives the same numbers the math here uses.
inline constexpr double kPositionX = 2.25;
inline constexpr double kPositionY = -4.5;
inline constexpr double kScaleSize = 1.25;
inline constexpr Turn kBodyTurn{90.0, {0.0, -90.0, 0.0}};
inline constexpr Vec3 kLidDrop{0.0, -1.98, -2.3};
inline constexpr Vec3 kLidLift{0.0, 2.585, 1.68};
inline constexpr Turn kLidTilt{35.0, {-35.0, 0.0, 0.0}};

// Left clicks count inside this rectangle of window pixels, bounds included,
// counted from the lower-left corner, in the window as the program opens it;
// clickAreaFor gives it for the window's current size.
struct PixelRect {
  int left = 0;
  int right = 0;
  int bottom = 0;
  int top = 0;
  bool contains(int x, int yUp) const {
    return x >= left && x <= right && yUp >= bottom && yUp <= top;
  }
};
inline constexpr PixelRect kClickArea{280, 500, 5, 300};

// What the program derives from its meshes at start-up and places the model
// with: the scale divisor and the two vertex means.
struct MeshFrame {
  double maxExtent = 1.0;
  Vec3 centerBase;
  Vec3 centerTop;
};

// A point in window pixels: x from the left edge, y up from the bottom edge.
struct Pixel {
  double x = 0.0;
  double y = 0.0;
};

// Where a vertex of the body or of the lid lands in the world, before the
// camera: the placement chain the frame builds on the modelview matrix.
Vec3 baseToWorld(const MeshFrame& frame, Vec3 p);
Vec3 lidToWorld(const MeshFrame& frame, Vec3 q);

// The body's centre that puts the lid's centre (the mean of its vertices)
// at the origin of the world, straight ahead of the camera: with no body to
// frame the model, the lid is placed with it and stands in the middle of the
// window.
Vec3 centreForLidAlone(Vec3 centerTop);

// World to eye coordinates (the camera), and eye coordinates to the window
// pixel the projection and viewport make of them, for a window of the given
// size. Points at or behind the eye have no pixel; their result is undefined.
Vec3 worldToEye(Vec3 world);
Pixel eyeToWindow(Vec3 eye, int width = kWindowWidth, int height = kWindowHeight);
Pixel worldToWindow(Vec3 world, int width = kWindowWidth, int height = kWindowHeight);

// The flame's particles are drawn in eye coordinates and are born on the line
// of sight, so the flame rises from the window's centre at any distance.
Pixel flameOrigin(int width = kWindowWidth, int height = kWindowHeight);

// The point at depth 1 in front of the eye that lands on `pixel` in a window
// of the given size: eyeToWindow's inverse on that plane.
Vec3 windowToEye(Pixel pixel, int width = kWindowWidth, int height = kWindowHeight);

// kClickArea where the picture puts it in a window of the given size: its
// corners go back through the projection of the window the program opens
// and forward through the projection of this one, rounded to whole pixels.
// The picture scales with the height and stays centred, and so does the
// rectangle; at the opening size it is kClickArea exactly.
PixelRect clickAreaFor(int width, int height);

}  // namespace view

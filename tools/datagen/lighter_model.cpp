#include "tools/datagen/lighter_model.h"

#include <cmath>
#include <cstddef>

#include "dataset/face_order.h"
#include "dataset/lid.h"
#include "framing/frame.h"
#include "view/view_model.h"

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The lighter is designed in millimetres with x to the right, y up and z
// towards the viewer; the case's bottom is at y = 0, centred on x = z = 0.
namespace design {
constexpr double kCaseHalfWidth = 20.3;
constexpr double kCaseHalfDepth = 6.5;
constexpr double kCaseHeight = 35.0;
constexpr double kCornerRadius = 3.5;
constexpr int kCornerSegments = 6;

// The chimney sits a little right of the case's middle, so that the case
// spans the click rectangle while the chimney's top is at the window centre.
constexpr double kChimneyCentreX = 1.5;
constexpr double kChimneyHalfWidth = 10.6;
constexpr double kChimneyHalfDepth = 5.5;
constexpr double kChimneyHeight = 19.0;
constexpr double kSheet = 0.5;
constexpr double kHoleRadius = 1.4;

constexpr double kWheelRadius = 4.0;
constexpr double kWheelGap = 0.3;  // between the chimney and the wheel
constexpr double kWheelHalfLength = 2.5;
constexpr int kWheelTeeth = 16;
constexpr double kToothDepth = 0.88;
constexpr double kEarHalfWidth = 1.9;
constexpr double kEarThickness = 0.6;
constexpr double kRivetRadius = 1.0;

constexpr double kLidHeight = 20.5;
}  // namespace design

// Where the body's lowest point should show, in window pixels from the
// bottom: just inside the click rectangle.
constexpr double kBodyBottomY = view::kClickArea.bottom + 3.0;

double chimneyTop() { return design::kCaseHeight + design::kChimneyHeight; }
double wheelX() {
  return design::kChimneyCentreX + design::kChimneyHalfWidth + design::kWheelRadius +
         design::kWheelGap;
}
double wheelY() { return chimneyTop() - design::kWheelRadius; }

// A rectangle outline in the order roundedOutline uses.
std::vector<Vec3> boxOutline(double x0, double x1, double z0, double z1, double y) {
  return {{x1, y, z1}, {x1, y, z0}, {x0, y, z0}, {x0, y, z1}};
}

void addCase(Mesh& m) {
  using namespace design;
  const auto outline =
      roundedOutline(0, 0, kCaseHalfWidth, kCaseHalfDepth, kCornerRadius, kCornerSegments, 0.0);
  addWalls(m, outline, 0.0, kCaseHeight, 5, false);
  addCap(m, outline, false);
  auto top = outline;
  for (Vec3& p : top) p.y = kCaseHeight;
  addCap(m, top, true);
}

Panel chimneyWall(Vec3 origin, Vec3 right, double width, bool holes) {
  Panel p;
  p.origin = origin;
  p.right = right;
  p.up = {0, 1, 0};
  p.width = width;
  p.height = design::kChimneyHeight;
  p.thickness = design::kSheet;
  p.cols = holes ? 4 : 2;
  p.rows = 5;
  p.holes.assign(static_cast<size_t>(p.cols * p.rows), false);
  if (holes) {
    // Two rows of four holes in the upper part of each broad side.
    for (int row : {2, 3}) {
      for (int col = 0; col < p.cols; ++col)
        p.holes[static_cast<size_t>(row * p.cols + col)] = true;
    }
  }
  p.holeRadius = design::kHoleRadius;
  return p;
}

void addChimney(Mesh& m) {
  using namespace design;
  const double x0 = kChimneyCentreX - kChimneyHalfWidth, x1 = kChimneyCentreX + kChimneyHalfWidth;
  const double z0 = -kChimneyHalfDepth, z1 = kChimneyHalfDepth, y = kCaseHeight;
  addPanel(m, chimneyWall({x0, y, z1}, {1, 0, 0}, x1 - x0, true));
  addPanel(m, chimneyWall({x1, y, z0}, {-1, 0, 0}, x1 - x0, true));
  addPanel(m, chimneyWall({x1, y, z1}, {0, 0, -1}, z1 - z0, false));
  addPanel(m, chimneyWall({x0, y, z0}, {0, 0, 1}, z1 - z0, false));
  addRim(m, boxOutline(x0, x1, z0, z1, chimneyTop()),
         boxOutline(x0 + kSheet, x1 - kSheet, z0 + kSheet, z1 - kSheet, chimneyTop()), true);
}

// A flat plate with the given outline in the x-y plane (counter-clockwise
// seen from the front), from z0 to z1.
void addPlateZ(Mesh& m, const std::vector<Vec3>& outline, double z0, double z1) {
  std::vector<int> back, front;
  Vec3 centre;
  for (Vec3 p : outline) {
    back.push_back(add(m, {p.x, p.y, z0}));
    front.push_back(add(m, {p.x, p.y, z1}));
    centre = centre + p;
  }
  centre = (1.0 / static_cast<double>(outline.size())) * centre;
  const int frontCentre = add(m, {centre.x, centre.y, z1});
  const int backCentre = add(m, {centre.x, centre.y, z0});
  for (size_t k = 0; k < outline.size(); ++k) {
    const size_t next = (k + 1) % outline.size();
    triangle(m, frontCentre, front[k], front[next]);
    triangle(m, backCentre, back[next], back[k]);
    quad(m, back[next], back[k], front[k], front[next]);
  }
}

// The flint wheel between two ears standing on the case, a rivet on each.
void addWheel(Mesh& m) {
  using namespace design;
  const double cx = wheelX(), cy = wheelY();
  addCylinderZ(m, cx, cy, -kWheelHalfLength, kWheelHalfLength, kWheelRadius, 0, kWheelTeeth,
               kToothDepth);
  std::vector<Vec3> ear = {{cx - kEarHalfWidth, kCaseHeight, 0},
                           {cx + kEarHalfWidth, kCaseHeight, 0}};
  constexpr int kArcSteps = 8;
  for (int k = 0; k <= kArcSteps; ++k) {
    const double a = kPi * k / kArcSteps;
    ear.push_back({cx + kEarHalfWidth * std::cos(a), cy + kEarHalfWidth * std::sin(a), 0});
  }
  const double front = kWheelHalfLength + 0.2;
  addPlateZ(m, ear, front, front + kEarThickness);
  addPlateZ(m, ear, -front - kEarThickness, -front);
  const double out = front + kEarThickness;
  addCylinderZ(m, cx, cy, out, out + 0.4, kRivetRadius, 12);
  addCylinderZ(m, cx, cy, -out - 0.4, -out, kRivetRadius, 12);
}

Mesh designBody() {
  Mesh m;
  addCase(m);
  addChimney(m);
  addWheel(m);
  return m;
}

// The lid as a thin shell, open at the bottom, closed on the case.
Mesh designClosedLid() {
  using namespace design;
  Mesh m;
  const double y0 = kCaseHeight, y1 = kCaseHeight + kLidHeight;
  const auto outer =
      roundedOutline(0, 0, kCaseHalfWidth, kCaseHalfDepth, kCornerRadius, kCornerSegments, y0);
  const auto inner = roundedOutline(0, 0, kCaseHalfWidth - kSheet, kCaseHalfDepth - kSheet,
                                    kCornerRadius - kSheet, kCornerSegments, y0);
  addWalls(m, outer, y0, y1, 3, false);
  addWalls(m, inner, y0, y1 - kSheet, 3, true);
  auto outerTop = outer, innerTop = inner;
  for (Vec3& p : outerTop) p.y = y1;
  for (Vec3& p : innerTop) p.y = y1 - kSheet;
  addCap(m, outerTop, true);
  addCap(m, innerTop, false);
  addRim(m, outer, inner, false);
  return m;
}

// Opens the lid about its hinge, the case's upper right edge: seen from the
// front the lid turns clockwise, its free side rising.
Mesh designOpenLid() {
  Mesh lid = designClosedLid();
  const Vec3 hinge{design::kCaseHalfWidth, design::kCaseHeight, 0.0};
  const Mat3 open = dataset::lidOpening();
  for (Vec3& v : lid.vertices) v = hinge + open * (v - hinge);
  return lid;
}

}  // namespace

Lighter buildLighter() {
  const Mesh body = designBody();
  const Mesh lid = designOpenLid();
  // The chimney's top in the middle of the window, where the flame rises,
  // and the case's bottom just inside the click rectangle; the lid open on
  // its hinge as designed.
  framing::Request request;
  request.lid = &lid;
  request.lidInPlace = true;
  request.anchor = Vec3{design::kChimneyCentreX, chimneyTop(), 0.0};
  const view::Pixel flame = view::flameOrigin();
  request.target = {0.0, view::kWindowWidth, kBodyBottomY, flame.y, flame.x};
  framing::FramedModel framed = framing::frameModel(body, request);
  Lighter lighter{std::move(framed.base), std::move(framed.lid)};
  dataset::sortNearestFirst(lighter.base, framing::baseWorld(lighter.base, framed.frame));
  dataset::sortNearestFirst(lighter.lid, framing::lidWorld(lighter.lid, framed.frame));
  return lighter;
}

}  // namespace datagen

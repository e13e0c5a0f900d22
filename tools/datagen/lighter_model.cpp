#include "tools/datagen/lighter_model.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numeric>
#include <stdexcept>

#include "dataset/face_order.h"
#include "dataset/lid.h"
#include "mesh/mesh.h"
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

double det3(Vec3 a, Vec3 b, Vec3 c) { return dot(a, cross(b, c)); }

Mat3 bodyTurn() { return rotation(view::kBodyTurn); }
Mat3 lidTilt() { return rotation(view::kLidTilt); }
// The lid's two offsets added up.
Vec3 lidOffset() { return view::kLidDrop + view::kLidLift; }

// What the program derives from the meshes when it reads them: the scale
// divisor from the reader's bounding box (base mesh only, starting from the
// reader's start values, the larger of the x and y extents) and the two
// centres as vertex means.
double readerExtent(const std::vector<Vec3>& baseVertices) {
  double maxX = kBoxMaxStart, maxY = kBoxMaxStart;
  double minX = kBoxMinStart, minY = kBoxMinStart;
  for (Vec3 v : baseVertices) {
    maxX = std::max(maxX, v.x);
    minX = std::min(minX, v.x);
    maxY = std::max(maxY, v.y);
    minY = std::min(minY, v.y);
  }
  return std::max(maxX - minX, maxY - minY);
}

Vec3 meanOf(const std::vector<Vec3>& vertices) {
  Vec3 sum;
  for (Vec3 v : vertices) sum = sum + v;
  return (1.0 / static_cast<double>(vertices.size())) * sum;
}

view::MeshFrame frameOf(const std::vector<Vec3>& baseVertices,
                        const std::vector<Vec3>& lidVertices) {
  return {readerExtent(baseVertices), meanOf(baseVertices), meanOf(lidVertices)};
}

// The file coordinates of the body are a * (turned design) + t. The chain
// maps a body point P of the design to
//   (a (k P - mean) + (k R - I) t + position) / (a E)
// where R is the body's turn, k the scale size, mean the mean of the turned
// design and E the turned design's extent, as long as the box's maxima end
// up positive. The lid sits at the body's depth only if t has no x part, so
// a, t.y and t.z are solved to put `anchor` at (0, 0, z0) before the camera.
struct Placement {
  double a = 1.0;
  Vec3 t;
};

Placement solvePlacement(const std::vector<Vec3>& turned, Vec3 anchor, double z0) {
  const Mat3 turn = bodyTurn();
  const double extent = readerExtent(turned);
  const Vec3 mean = meanOf(turned);
  auto kRminusI = [&](Vec3 v) { return view::kScaleSize * (turn * v) - v; };
  const Vec3 c1 = kRminusI({0, 1, 0});
  const Vec3 c2 = kRminusI({0, 0, 1});
  const Vec3 c3 = view::kScaleSize * (turn * anchor) - mean - extent * Vec3{0, 0, z0};
  const Vec3 rhs = -1.0 * Vec3{view::kPositionX, view::kPositionY, 0.0};
  const double d = det3(c1, c2, c3);
  Placement p;
  p.t.y = det3(rhs, c2, c3) / d;
  p.t.z = det3(c1, rhs, c3) / d;
  p.a = det3(c1, c2, rhs) / d;
  return p;
}

std::vector<Vec3> place(const std::vector<Vec3>& turned, const Placement& p) {
  std::vector<Vec3> out;
  for (Vec3 v : turned) out.push_back(p.a * v + p.t);
  return out;
}

// The lid file holds the lid in its own coordinates: the program tilts it
// and shifts it by its offsets and by minus its own vertex mean. Given where
// each lid vertex must land among the body's file coordinates, this undoes
// that, choosing the lid's mean so that it is also the mean of the result.
std::vector<Vec3> unTilt(const std::vector<Vec3>& landed) {
  const Mat3 back = transpose(lidTilt());
  const Vec3 target = back * (meanOf(landed) - lidOffset());
  // (I - back) centre = target in y and z; the tilt leaves x alone, so the
  // lid's mean x must already be 0 and the centre's x is 0 as well.
  const double a = 1 - back[1][1], b = -back[1][2], c = -back[2][1], d = 1 - back[2][2];
  const double det = a * d - b * c;
  const Vec3 centre{0.0, (target.y * d - b * target.z) / det, (a * target.z - c * target.y) / det};
  std::vector<Vec3> out;
  for (Vec3 v : landed) out.push_back(back * (v - lidOffset() + centre));
  return out;
}

double lowestWindowY(const std::vector<Vec3>& base) {
  const view::MeshFrame frame = frameOf(base, base);
  double lowest = view::kWindowHeight;
  for (Vec3 v : base) lowest = std::min(lowest, view::worldToWindow(view::baseToWorld(frame, v)).y);
  return lowest;
}

// Chooses the depth of `anchor` before the camera that puts the body's
// lowest point at kBodyBottomY: the farther the body, the smaller it shows
// and the higher its bottom. The search stays behind the origin: as the
// anchor's depth nears 0 the solved scale grows without bound (the turn and
// the fixed shifts can no longer bring it there) and beyond it turns
// negative, mirroring the model.
Placement frameBody(const std::vector<Vec3>& turned, Vec3 anchor) {
  double nearZ = -0.01, farZ = -3.0;
  for (int i = 0; i < 60; ++i) {
    const double z0 = (nearZ + farZ) / 2.0;
    if (lowestWindowY(place(turned, solvePlacement(turned, anchor, z0))) < kBodyBottomY) {
      nearZ = z0;
    } else {
      farZ = z0;
    }
  }
  return solvePlacement(turned, anchor, (nearZ + farZ) / 2.0);
}

std::vector<Vec3> turnedBack(const std::vector<Vec3>& design) {
  const Mat3 back = transpose(bodyTurn());
  std::vector<Vec3> out;
  for (Vec3 v : design) out.push_back(back * v);
  return out;
}

}  // namespace

Lighter buildLighter() {
  Lighter lighter;
  lighter.base = designBody();
  lighter.lid = designOpenLid();
  const std::vector<Vec3> turned = turnedBack(lighter.base.vertices);
  const Vec3 anchor = turnedBack({{design::kChimneyCentreX, chimneyTop(), 0.0}}).front();
  const Placement placement = frameBody(turned, anchor);
  lighter.base.vertices = place(turned, placement);
  lighter.lid.vertices = unTilt(place(turnedBack(lighter.lid.vertices), placement));
  // The solve took the reader's extent to scale with the body. Its box
  // maxima start at a tiny positive value, so a body lying wholly below
  // zero on an axis would widen it and frame the picture differently.
  const double expected = placement.a * readerExtent(turned);
  if (std::abs(readerExtent(lighter.base.vertices) - expected) > 1e-9 * expected) {
    throw std::logic_error("body placed where the reader's extent differs from its own");
  }

  const view::MeshFrame frame = frameOf(lighter.base.vertices, lighter.lid.vertices);
  std::vector<Vec3> baseWorld, lidWorld;
  for (Vec3 v : lighter.base.vertices) baseWorld.push_back(view::baseToWorld(frame, v));
  for (Vec3 v : lighter.lid.vertices) lidWorld.push_back(view::lidToWorld(frame, v));
  dataset::sortNearestFirst(lighter.base, baseWorld);
  dataset::sortNearestFirst(lighter.lid, lidWorld);
  return lighter;
}

}  // namespace datagen

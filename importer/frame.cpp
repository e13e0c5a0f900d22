#include "importer/frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace importer {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Where the body may lie in the file: its larger extent about this many
// units, unless the reader's box needs it smaller (see placeBody).
constexpr double kFileSize = 10.0;

// The picture does not depend on the model's units or where its origin
// lies: the body's size and middle are taken as the unit and the origin, so
// that every number the framing handles is near 1, for a model in
// micrometres as for one in light years.
struct Units {
  view::Vec3 middle;
  double size = 1.0;
};

Units unitsOf(const Mesh& body) {
  const Bounds bounds = boundsOf(body.vertices);
  const view::Vec3 size = bounds.size();
  return {0.5 * (bounds.min + bounds.max), std::max({size.x, size.y, size.z})};
}

std::vector<view::Vec3> designPoints(const Mesh& mesh, const Units& units) {
  std::vector<view::Vec3> points = mesh.vertices;
  for (view::Vec3& p : points) p = (1.0 / units.size) * (p - units.middle);
  return points;
}

// The program scales the model by the larger of its extents along the
// file's x and y axes, which its quarter turn makes the depth and the height;
// the width plays no part. A body longer than it is high and deep would
// then show many times too large, and only far beyond the camera would it
// fit the rectangle. Two vertices that no face names, one in front of and
// one behind the body's middle, stretch its depth extent to its width: the
// program scales by them and draws nothing of them. Returns how many.
size_t addDepthMarkers(std::vector<view::Vec3>& design) {
  const view::Vec3 size = boundsOf(design).size();
  if (size.x <= std::max(size.y, size.z)) return 0;
  const view::Vec3 middle = meanOf(design);
  design.push_back(middle + view::Vec3{0.0, 0.0, size.x / 2.0});
  design.push_back(middle - view::Vec3{0.0, 0.0, size.x / 2.0});
  return 2;
}

// The program turns the body by the view's body turn; the file holds it
// turned back, so that it shows upright and facing the viewer.
std::vector<view::Vec3> turnedBack(const std::vector<view::Vec3>& design) {
  const view::Mat3 back = view::transpose(view::rotation(view::kBodyTurn));
  std::vector<view::Vec3> out;
  out.reserve(design.size());
  for (view::Vec3 p : design) out.push_back(back * p);
  return out;
}

// The frame the program would derive from `points` if the reader's box
// started empty: the larger x or y extent and the mean.
view::MeshFrame exactFrame(const std::vector<view::Vec3>& points) {
  const Bounds bounds = boundsOf(points);
  view::MeshFrame frame;
  frame.maxExtent = std::max(bounds.size().x, bounds.size().y);
  frame.centerBase = meanOf(points);
  return frame;
}

// Body file coordinates p = a f + t for the turned-back design points f. The
// program shows the same picture for every a > 0 once t is chosen to shift
// it into place; a is chosen so that the reader's box, whose maxima start at
// a tiny positive value, measures the body's true extent: some vertex must
// lie at positive x and some at positive y.
struct Placement {
  double a = 1.0;
  view::Vec3 t;
};

Placement placeBody(const std::vector<view::Vec3>& turned, const view::MeshFrame& reference,
                    view::Vec3 meanWorld) {
  auto tFor = [&](double a) {
    const Affine worldOfMean = sampleAffine([&](view::Vec3 t) {
      view::MeshFrame frame;
      frame.maxExtent = a * reference.maxExtent;
      frame.centerBase = a * reference.centerBase + t;
      return view::baseToWorld(frame, frame.centerBase);
    });
    return inverse(worldOfMean)(meanWorld);
  };
  // t is affine in a: t(a) = t0 + a slope.
  const view::Vec3 slope = tFor(2.0) - tFor(1.0);
  const view::Vec3 t0 = tFor(1.0) - slope;
  double lower = 0.0, upper = kInfinity;
  const double fixed[2] = {t0.x, t0.y};
  for (int axis = 0; axis < 2; ++axis) {
    double rise = -kInfinity;  // max over vertices of p along the axis, per unit of a
    for (view::Vec3 f : turned) rise = std::max(rise, axis == 0 ? f.x + slope.x : f.y + slope.y);
    if (rise < 0.0) {
      if (fixed[axis] <= 0.0) throw std::logic_error("framing: no placement clears the box");
      upper = std::min(upper, 0.5 * fixed[axis] / -rise);
    } else if (fixed[axis] <= 0.0) {
      lower = std::max(lower, 2.0 * -fixed[axis] / std::max(rise, 1e-300));
    }
  }
  const double a = std::clamp(kFileSize / reference.maxExtent, lower, upper);
  if (!(a > 0.0) || lower > upper || !std::isfinite(a)) {
    throw std::logic_error("framing: no placement clears the box");
  }
  return {a, t0 + a * slope};
}

// The body's look for its vertices as written: the depth markers, drawn by
// no face, get a look of their own so that the sidecar covers every vertex.
MeshLook withMarkers(MeshLook look, size_t markers) {
  if (!look.uv.empty()) look.uv.resize(look.uv.size() + 2 * markers, 0.0f);
  if (!look.rgb.empty()) look.rgb.resize(look.rgb.size() + 3 * markers, 255);
  return look;
}

}  // namespace

FramedModel frameModel(const Mesh& body, const Mesh* lid) {
  FramedModel out;
  const Units units = unitsOf(body);
  std::vector<view::Vec3> design = designPoints(body, units);
  out.depthMarkers = addDepthMarkers(design);

  const std::vector<view::Vec3> turned = turnedBack(design);
  const view::MeshFrame reference = exactFrame(turned);
  // view::baseToWorld for the reference frame, which is affine in the point.
  const Affine toWorld =
      sampleAffine([&](view::Vec3 p) { return view::baseToWorld(reference, p); });
  out.base.faces = body.faces;
  out.base.vertices.resize(design.size());
  // Written as floats, a sliver of a face can lose its area and is dropped;
  // if that leaves a vertex undrawn, the picture is framed again without it.
  std::vector<view::Vec3> world;
  view::Vec3 shift;
  for (int attempt = 0;; ++attempt) {
    const std::vector<bool> drawn = drawnVertices(out.base);
    world.clear();
    for (size_t i = 0; i < design.size(); ++i) {
      if (drawn[i]) world.push_back(toWorld(turned[i]));
    }
    const PictureFrame picture = framePicture(world, framingTarget());
    shift = picture.shift;
    out.tooDeep = picture.nearLimited;
    const Placement placement =
        placeBody(turned, reference, view::baseToWorld(reference, reference.centerBase) + shift);
    out.base.vertices.clear();
    for (view::Vec3 f : turned)
      out.base.vertices.push_back(asView(asFloats(placement.a * f + placement.t)));
    const size_t dropped = dropFacesWithoutNormal(out.base);
    out.facesDropped += dropped;
    if (out.base.faces.empty()) {
      throw ImportError("the body is too thin: once written as floats no triangle keeps an area");
    }
    if (dropped == 0 || drawnVertices(out.base) == drawn) break;
    if (attempt == 8) throw std::logic_error("framing: faces keep losing their area");
  }

  out.base.look = withMarkers(body.look, out.depthMarkers);
  out.frame = programFrame(out.base.vertices, {});
  out.body = bodyPicture(out.base, out.frame);

  if (lid != nullptr) {
    BodyInView view;
    view.frame = out.frame;
    view.designToWorld = sampleAffine([&](view::Vec3 d) {
                           return view::baseToWorld(reference, turnedBack({d}).front());
                         }).m;
    view.picture = out.body;
    double depth = 0.0;
    for (const view::Vec3& p : world) depth += p.z;
    view.depth = depth / static_cast<double>(world.size()) + shift.z;
    PlacedLid placed = placeLid(designPoints(*lid, units), *lid, view);
    out.lid = std::move(placed.mesh);
    out.lidScale = placed.scale;
    out.facesDropped += dropFacesWithoutNormal(out.lid);
    if (out.lid.faces.empty()) {
      throw ImportError("the lid is too thin: once written as floats no triangle keeps an area");
    }
    out.frame = programFrame(out.base.vertices, out.lid.vertices);
    out.cover = lidPicture(out.lid, out.frame);
  }
  return out;
}

}  // namespace importer

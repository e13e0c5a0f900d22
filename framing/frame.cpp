// The body's file placement for the picture's shift, and the model framed.
#include "framing/parts.h"

namespace framing {

namespace {

// The body's larger extent in its file, unless the reader's box needs it otherwise.
constexpr double kFileSize = 10.0;

// In units of the body's size about its box's middle: the picture does not
// depend on the model's units or origin, and every number handled is near 1.
std::vector<Vec3> inUnits(const std::vector<Vec3>& points, const Bounds& body) {
  const Vec3 size = body.size(), middle = 0.5 * (body.min + body.max);
  const double unit = std::max({size.x, size.y, size.z});
  std::vector<Vec3> out;
  for (const Vec3& p : points) out.push_back((1.0 / unit) * (p - middle));
  return out;
}

// The program scales by the larger of the file's x and y extents, the depth
// and height once turned, so a body longer than high and deep would show
// many times too large: two vertices no face names, before and behind its
// middle, stretch its depth to its width. Returns how many.
size_t addDepthMarkers(std::vector<Vec3>& design) {
  const Vec3 size = boundsOf(design).size();
  if (size.x <= std::max(size.y, size.z)) return 0;
  const Vec3 middle = meanOf(design);
  design.push_back(middle + Vec3{0.0, 0.0, size.x / 2.0});
  design.push_back(middle - Vec3{0.0, 0.0, size.x / 2.0});
  return 2;
}

// The file holds the body turned back from the program's body turn.
Vec3 turnedBack(Vec3 p) { return view::transpose(view::rotation(view::kBodyTurn)) * p; }

// Body file points p = a f + t for the turned-back design points f: for any
// a > 0 one t shows the body's mean at `meanWorld`, the same picture. a is
// chosen so that the reader's box, whose maxima start at a tiny positive
// value, measures the true extent; and, given `lidMeanX` and if it can, so
// that the lid, whose mean that is, lies where the program puts a lid's
// middle (otherwise untilted moves it there along the line of sight).
struct Placement {
  double a = 1.0;
  Vec3 t;
};

Placement placeBody(const std::vector<Vec3>& turned, Vec3 meanWorld,
                    std::optional<double> lidMeanX) {
  const Bounds box = boundsOf(turned);
  const double extent = std::max(box.size().x, box.size().y);
  const Vec3 mean = meanOf(turned);
  auto tFor = [&](double a) {
    return inverse(sampleAffine([&](Vec3 t) {
      const view::MeshFrame frame{a * extent, a * mean + t, {}};
      return view::baseToWorld(frame, frame.centerBase);
    }))(meanWorld);
  };
  const Vec3 slope = tFor(2.0) - tFor(1.0), t0 = tFor(1.0) - slope;  // t = t0 + a slope
  double lower = 0.0, upper = HUGE_VAL;
  for (const auto& [fixed, rise] :
       {std::pair{t0.x, box.max.x + slope.x}, std::pair{t0.y, box.max.y + slope.y}}) {
    if (rise < 0.0) {
      if (fixed <= 0.0) throw std::logic_error("framing: no placement clears the box");
      upper = std::min(upper, 0.5 * fixed / -rise);
    } else if (fixed <= 0.0) {
      lower = std::max(lower, 2.0 * -fixed / std::max(rise, 1e-300));
    }
  }
  double a = std::clamp(kFileSize / extent, lower, upper);
  if (!(a > 0.0) || lower > upper || !std::isfinite(a)) {
    throw std::logic_error("framing: no placement clears the box");
  }
  const double forLid = lidMeanX ? -t0.x / (*lidMeanX + slope.x) : 0.0;
  if (forLid > 0.0 && forLid >= lower && forLid <= upper) a = forLid;
  return {a, t0 + a * slope};
}

std::vector<bool> drawnVertices(const Mesh& mesh) {
  std::vector<bool> drawn(mesh.vertices.size(), false);
  for (const auto& f : mesh.faces) drawn[f[0]] = drawn[f[1]] = drawn[f[2]] = true;
  return drawn;
}

PixelBox pictureOf(const Mesh& mesh, const std::vector<Vec3>& world) {
  const std::vector<bool> drawn = drawnVertices(mesh);
  PixelBox box;
  for (size_t i = 0; i < world.size(); ++i) {
    if (drawn[i]) box.add(view::worldToWindow(world[i]));
  }
  return box;
}

Vec3 asFloats(Vec3 v) {
  return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

// The body's file. Written as floats, a sliver of a face can lose its area
// and is dropped; if that leaves a vertex undrawn, the picture is framed
// again without it. Returns the world's shift; `depth`: the body's middle's.
Vec3 placeBodyFile(FramedModel& out, const std::vector<Vec3>& turned, const Request& request,
                   const view::MeshFrame& reference, const std::optional<Vec3>& anchor,
                   std::optional<double> lidMeanX, double& depth) {
  const Affine toWorld = sampleAffine([&](Vec3 p) { return view::baseToWorld(reference, p); });
  out.base.vertices.resize(turned.size());
  for (int attempt = 0;; ++attempt) {
    const std::vector<bool> drawn = drawnVertices(out.base);
    std::vector<Vec3> world;
    for (size_t i = 0; i < turned.size(); ++i) {
      if (drawn[i]) world.push_back(toWorld(turned[i]));
    }
    const Vec3 shift = framePicture(world, request.target, anchor, out.tooDeep);
    const Placement p =
        placeBody(turned, view::baseToWorld(reference, reference.centerBase) + shift, lidMeanX);
    out.base.vertices.clear();
    for (const Vec3& f : turned) out.base.vertices.push_back(asFloats(p.a * f + p.t));
    const size_t dropped = dropFacesWithoutNormal(out.base);
    out.facesDropped += dropped;
    if (out.base.faces.empty()) {
      throw FrameError("the body is too thin: once written as floats no triangle keeps an area");
    }
    if (dropped == 0 || drawnVertices(out.base) == drawn) {
      depth = 0.0;
      for (const Vec3& w : world) depth += w.z;
      depth = depth / static_cast<double>(world.size()) + shift.z;
      return shift;
    }
    if (attempt == 8) throw std::logic_error("framing: faces keep losing their area");
  }
}

}  // namespace

FramedModel frameModel(const Mesh& body, const Request& request) {
  FramedModel out;
  const Bounds bodyBox = boundsOf(body.vertices);
  std::vector<Vec3> design = inUnits(body.vertices, bodyBox);
  out.depthMarkers = addDepthMarkers(design);
  std::vector<Vec3> turned;
  for (const Vec3& p : design) turned.push_back(turnedBack(p));
  const Bounds box = boundsOf(turned);
  const view::MeshFrame reference{std::max(box.size().x, box.size().y), meanOf(turned), {}};
  const Affine designToWorld =
      sampleAffine([&](Vec3 d) { return view::baseToWorld(reference, turnedBack(d)); });
  const std::vector<Vec3> lid =
      request.lid ? inUnits(request.lid->vertices, bodyBox) : std::vector<Vec3>{};
  std::optional<Vec3> anchor;
  if (request.anchor) anchor = designToWorld(inUnits({*request.anchor}, bodyBox)[0]);
  std::optional<double> lidMeanX;
  if (request.lid && request.lidInPlace) lidMeanX = turnedBack(meanOf(lid)).x;

  out.base.faces = body.faces;
  double depth = 0.0;
  const Vec3 shift = placeBodyFile(out, turned, request, reference, anchor, lidMeanX, depth);
  // The depth markers, drawn by no face, get a look too: the sidecar covers every vertex.
  out.base.look = body.look;
  if (!out.base.look.uv.empty()) out.base.look.uv.resize(2 * turned.size(), 0.0f);
  if (!out.base.look.rgb.empty()) out.base.look.rgb.resize(3 * turned.size(), 255);
  out.frame = programFrame(out.base, nullptr);
  out.body = pictureOf(out.base, baseWorld(out.base, out.frame));
  if (request.lid == nullptr) return out;

  std::vector<Vec3> lidInWorld;
  if (request.lidInPlace) {
    for (const Vec3& d : lid) lidInWorld.push_back(designToWorld(d) + shift);
  } else {
    lidInWorld = lidBeside(lid, designToWorld.m, out.body, depth, out.lidScale);
  }
  for (const Vec3& q : untilted(lidInWorld, out.frame)) out.lid.vertices.push_back(asFloats(q));
  out.lid.faces = request.lid->faces;
  out.lid.look = request.lid->look;
  out.facesDropped += dropFacesWithoutNormal(out.lid);
  if (out.lid.faces.empty()) {
    throw FrameError("the lid is too thin: once written as floats no triangle keeps an area");
  }
  out.frame = programFrame(out.base, &out.lid);
  out.cover = pictureOf(out.lid, lidWorld(out.lid, out.frame));
  return out;
}

}  // namespace framing

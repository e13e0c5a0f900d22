// A model placed in the program's files so that the program, with its
// placement unchanged, shows it where it belongs: an imported body filling
// the click rectangle, its top where the flame rises and its lid open beside
// it; the shipped lighter with its chimney under the flame, its lid on its
// hinge. Wherever the body lies in its file, the program shows the same
// shape, only shifted in the world: framing is finding that one shift.
//
// Spaces: file (what a model file holds); upright (x right, y up, z towards
// the viewer, in the body's units, then scaled and centred here); world
// (where the program's placement chain puts a vertex of the body or lid
// files: view::baseToWorld, view::lidToWorld); eye (the world moved by the
// camera, a pure translation); window (pixels, y up from the bottom); lid
// (the lid file's own, which the program tilts and shifts into the body's).
// With the camera a translation, a point's window x and y at a fixed depth
// are affine in a sideways or upward shift of the world: every condition on
// the picture but its depth has a closed form, and the depth is one search.
#pragma once

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>
#include <vector>

#include "dataset/mesh.h"
#include "view/view_model.h"

namespace framing {

using dataset::Mesh;
using view::Vec3;

// A model that cannot be shown whole within the program's view.
struct FrameError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A rectangle of window pixels, y up from the bottom edge.
struct PixelBox {
  double left = std::numeric_limits<double>::infinity(), right = -left;
  double bottom = left, top = -left;
  void add(view::Pixel p) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    bottom = std::min(bottom, p.y), top = std::max(top, p.y);
  }
  double width() const { return right - left; }
  double height() const { return top - bottom; }
};

// Where the body's picture belongs: inside left, right and bottom, its top on
// `top`, the middle of its top under `flameX` as far as the sides allow.
// framingTarget(): the click rectangle (a quarter pixel in, so that the
// pixels along its sides light) under the flame.
struct FramingTarget {
  double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0, flameX = 0.0;
};
FramingTarget framingTarget();

struct Request {
  const Mesh* lid = nullptr;  // upright, in the body's units; none when null
  // The lid where the design has it beside the body (open on its hinge);
  // otherwise it is opened and stood beside the body's top.
  bool lidInPlace = false;
  // A point of the body, upright, shown at (flameX, top) in place of the
  // middle of the picture's top.
  std::optional<Vec3> anchor;
  FramingTarget target = framingTarget();
};

struct FramedModel {
  Mesh base, lid;           // the two files' meshes, every value a float; lid empty without one
  view::MeshFrame frame;    // what the program derives from the two files
  PixelBox body, cover;     // where the program shows the body and the lid
  size_t depthMarkers = 0;  // body vertices no face names, stretching its depth
  double lidScale = 1.0;    // below 1 when the lid had to shrink to fit the window
  size_t facesDropped = 0;  // faces that rounding to floats left without a normal
  bool tooDeep = false;     // too deep along the line of sight to fill the target
};

// `body` is upright and facing the viewer. Throws FrameError when it cannot
// be shown whole (thousands of times longer than thick, or too thin for floats).
FramedModel frameModel(const Mesh& body, const Request& request = {});

// What the program makes of the files, through its reader's own arithmetic
// (mesh/measure.h): its frame, their vertices in the world, and the faces it
// could not give a normal, which are dropped (returning how many).
view::MeshFrame programFrame(const Mesh& base, const Mesh* lid);
std::vector<Vec3> baseWorld(const Mesh& base, const view::MeshFrame& frame);
std::vector<Vec3> lidWorld(const Mesh& lid, const view::MeshFrame& frame);
size_t dropFacesWithoutNormal(Mesh& mesh);

}  // namespace framing

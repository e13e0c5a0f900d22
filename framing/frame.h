// A model placed in the program's files so that the program, with its
// placement unchanged, shows it where it should be: for an imported model,
// the body filling the click rectangle with its top where the flame rises
// and the lid standing open beside it; for the shipped lighter, its chimney
// under the flame and its lid open on its hinge.
//
// Wherever the model lies in its file, the program shows the same shape,
// only shifted in the world: framing the body is finding that one shift.
//
// The spaces the framing works in:
//   file     - the coordinates a model file holds;
//   upright  - x right, y up, z towards the viewer, in the body's units
//              (the caller's design, or an import once oriented), then
//              scaled and centred by the framing;
//   world    - where the program's placement chain puts a vertex of the body
//              or lid files (view::baseToWorld, view::lidToWorld);
//   eye      - the world moved by the camera, which is a pure translation;
//   window   - pixels, x from the left edge and y up from the bottom;
//   lid      - the lid file's own coordinates, which the program tilts and
//              shifts into the body's.
//
// With the camera a translation, a point's window x and y at a fixed depth
// are affine in a sideways or upward shift of the world: every condition on
// the picture but its depth has a closed form, and the depth is the one
// search.
#pragma once

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
  double left = std::numeric_limits<double>::infinity();
  double right = -std::numeric_limits<double>::infinity();
  double bottom = std::numeric_limits<double>::infinity();
  double top = -std::numeric_limits<double>::infinity();

  bool empty() const { return left > right; }
  void add(view::Pixel p);
  double width() const { return right - left; }
  double height() const { return top - bottom; }
};

// Where the body's picture belongs: inside left, right and bottom, its top
// on `top`, and the middle of its top under the flame's column as far as
// the sides allow. framingTarget() is the click rectangle (a quarter pixel
// in from its sides, so that the pixels along them light) under the flame.
struct FramingTarget {
  double left = 0.0;
  double right = 0.0;
  double bottom = 0.0;
  double top = 0.0;
  double flameX = 0.0;
};
FramingTarget framingTarget();

struct Request {
  const Mesh* lid = nullptr;  // upright, in the body's units; none when null
  // The lid as it stands beside the body in the design, open on its hinge;
  // otherwise it is opened and stood beside the body's top.
  bool lidInPlace = false;
  // A point of the body, upright, to show at (flameX, top) in place of the
  // middle of the picture's top.
  std::optional<Vec3> anchor;
  FramingTarget target = framingTarget();
};

struct FramedModel {
  Mesh base;                // the body file's vertices and faces; every value a float
  Mesh lid;                 // the lid file's; empty without a lid
  view::MeshFrame frame;    // what the program derives from the two files
  PixelBox body;            // where the program shows the body
  PixelBox cover;           // and the lid (empty without one)
  size_t depthMarkers = 0;  // body vertices no face names, stretching its depth
  double lidScale = 1.0;    // below 1 when the lid had to shrink to fit the window
  size_t facesDropped = 0;  // faces that rounding to floats left without a normal
  bool tooDeep = false;     // too deep along the line of sight to fill the rectangle
};

// `body` is upright and facing the viewer. Throws FrameError when the model
// cannot be shown whole within the program's view (a body thousands of
// times longer than thick, or thinner than floats can tell).
FramedModel frameModel(const Mesh& body, const Request& request = {});

// What the program makes of the files: the frame it derives from them (its
// reader's extent and float means, mesh/measure.h), where it puts their
// vertices in the world, and the faces its reader could not give a normal,
// which are dropped (returning how many).
view::MeshFrame programFrame(const Mesh& base, const Mesh* lid);
std::vector<Vec3> baseWorld(const Mesh& base, const view::MeshFrame& frame);
std::vector<Vec3> lidWorld(const Mesh& lid, const view::MeshFrame& frame);
size_t dropFacesWithoutNormal(Mesh& mesh);

}  // namespace framing

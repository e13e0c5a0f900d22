// Stage 5: the model placed in the program's files so that the program, with
// its placement unchanged, shows the body filling the click rectangle with
// its top where the flame rises, and the lid standing open beside it.
//
// Wherever the model lies in its file, the program shows the same shape,
// only shifted in the world: framing the body is finding that one shift.
//
// The spaces the framing works in:
//   file     - the coordinates a model file holds (read.cpp);
//   upright  - x right, y up, z towards the viewer, in the body's units
//              (orient.cpp, then scaled and centred by frame.cpp);
//   world    - where the program's placement chain puts a vertex of the body
//              or lid files (view::baseToWorld, view::lidToWorld);
//   eye      - the world moved by the camera, which is a pure translation;
//   window   - pixels, x from the left edge and y up from the bottom;
//   lid      - the lid file's own coordinates, which the program tilts and
//              shifts into the body's (frame_lid.cpp).
//
// With the camera a translation, a point's window x and y at a fixed depth
// are affine in a sideways or upward shift of the world: every condition on
// the picture but its depth has a closed form (see Lens).
#pragma once

#include <vector>

#include "dataset/mesh.h"
#include "importer/program_view.h"
#include "importer/records.h"
#include "view/view_model.h"

namespace importer {

// The projection of the program's window: an eye point at depth d = -z shows
// at x = cx + kx x / d, y = cy + ky y / d.
struct Lens {
  double cx = 0.0, cy = 0.0, kx = 0.0, ky = 0.0;
  static Lens ofTheWindow();
  view::Pixel pixel(view::Vec3 eye) const {
    return {cx + kx * eye.x / -eye.z, cy + ky * eye.y / -eye.z};
  }
  // The eye point at depth `z` (negative) that shows at `p`.
  view::Vec3 eyeAt(view::Pixel p, double z) const {
    return {(p.x - cx) * -z / kx, (p.y - cy) * -z / ky, z};
  }
};

// The picture (frame_picture.cpp). The world point of an eye point, and the other way: the camera
// is a pure translation (checked once, std::logic_error otherwise).
view::Vec3 eyeOfWorld(view::Vec3 world);
view::Vec3 worldOfEye(view::Vec3 eye);

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
PictureFrame framePicture(const std::vector<view::Vec3>& world, const FramingTarget& target);
// The lid (frame_lid.cpp), opened beside the body's top and written so that
// the program's own tilt and offsets of the lid bring it there: the body as the program shows it,
// which the lid is placed beside.
struct BodyInView {
  view::MeshFrame frame;       // maxExtent and centerBase, from the body file
  view::Mat3 designToWorld{};  // a length in the model as it shows in the world
  PixelBox picture;
  double depth = 0.0;  // world z of the body's middle
};

struct PlacedLid {
  dataset::Mesh mesh;  // in the lid file's coordinates, every value a float
  double scale = 1.0;  // below 1 when it had to shrink to fit the window
};

// `lid` holds the lid's points upright, in the units the body's points
// were framed in; `faces` its faces.
PlacedLid placeLid(const std::vector<view::Vec3>& lid, const Mesh& faces, const BodyInView& body);
struct FramedModel {
  dataset::Mesh base;       // the body file's vertices and faces; every value a float
  dataset::Mesh lid;        // the lid file's; empty without a lid
  view::MeshFrame frame;    // what the program derives from the two files
  PixelBox body;            // where the program shows the body
  PixelBox cover;           // and the lid (empty without one)
  size_t depthMarkers = 0;  // body vertices no face names (see addDepthMarkers)
  double lidScale = 1.0;    // below 1 when the lid had to shrink to fit the window
  size_t facesDropped = 0;  // faces that rounding to floats left without a normal
  bool tooDeep = false;     // too deep along the line of sight to fill the rectangle
};

// `body` and `lid` are upright and facing the viewer (see orientMesh), in
// the same units. Throws ImportError when the model cannot be shown whole
// within the program's view (a body thousands of times longer than thick).
FramedModel frameModel(const Mesh& body, const Mesh* lid);

}  // namespace importer

// The lid: opened beside the body's top, then written so that the program's
// own tilt and offsets of the lid bring it there.
#pragma once

#include "dataset/mesh.h"
#include "importer/program_view.h"
#include "importer/records.h"

namespace importer {

// The body as the program shows it, which the lid is placed beside.
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
PlacedLid placeLid(const std::vector<view::Vec3>& lid, const SourceMesh& faces,
                   const BodyInView& body);

}  // namespace importer

// Stage 5: the model placed in the program's files so that the program, with
// its placement unchanged, shows the body filling the click rectangle with
// its top where the flame rises, and the lid standing open beside it.
#pragma once

#include "dataset/mesh.h"
#include "importer/program_view.h"
#include "importer/records.h"

namespace importer {

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
FramedModel frameModel(const SourceMesh& body, const SourceMesh* lid);

}  // namespace importer

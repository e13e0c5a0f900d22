// Models the project makes itself, for the README's example, the tests and
// the benchmarks: no third-party model file is needed anywhere.
#pragma once

#include <string>

#include "importer/orient.h"
#include "importer/records.h"

namespace shapes {

// Upright (y up, front towards +z), in centimetres, with about `faces`
// triangles (never fewer than a few dozen).
importer::Mesh candle(size_t faces);  // a church candle with a wick
importer::Mesh box(size_t faces, double width, double height, double depth);
// A pocket lighter's case and its closed lid, standing on it.
importer::Mesh lighterCase(size_t faces);
importer::Mesh lighterLid(size_t faces);

// Writes `mesh` to `path` in the format its extension names: .obj, .stl
// (binary), .ply (binary), .off, .glb, .gltf, .dae or .3ds, turned so that
// the file's up axis is `up`. Throws std::runtime_error when it cannot.
void exportModel(const importer::Mesh& mesh, const std::string& path, importer::UpAxis up);

}  // namespace shapes

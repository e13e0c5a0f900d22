// The one writer of a complete data directory: the files the program runs
// on, put in place all at once or not at all.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "dataset/mesh.h"
#include "dataset/mesh_text.h"
#include "textures/image.h"

namespace dataset {

// A directory that cannot be written; the message is one line for the user.
struct WriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What goes into a data directory.
struct DataSet {
  const Mesh* body = nullptr;
  const Mesh* lid = nullptr;  // none: lighterTop.m holds only kNoLidMarker
  // The comment lines' titles (see meshText; empty for none) and the
  // spelling of the coordinates.
  std::string bodyTitle;
  std::string lidTitle;
  Numbers numbers = Numbers::kShortestFloat;
  const Image* surface = nullptr;  // silverTexture.bmp; brushedSilver() when none
  // modelTexture.bmp, the texture Lit draws through the meshes' texture
  // coordinates; none for a model without one.
  const Image* modelTexture = nullptr;
};

// Throws WriteError unless `dir` can be written: it must not exist, or with
// `replace` it must be a data directory (one holding lighterBase.m) or an
// empty directory, which is then replaced.
void checkOutputDirectory(const std::filesystem::path& dir, bool replace);

// Writes lighterBase.m, lighterTop.m, the three BMP textures and
// Data/Particle.raw, and beside them the sidecars of the meshes that have a
// look (lighterBase.look, lighterTop.look) and the model's texture
// (modelTexture.bmp), into a fresh directory beside `dir`, then renames it to
// `dir` (making missing parents). On any failure nothing is left behind and
// WriteError is thrown. Termination signals that arrive meanwhile take effect
// once the directory is complete or gone.
void writeDataDirectory(const std::filesystem::path& dir, const DataSet& data, bool replace);

}  // namespace dataset

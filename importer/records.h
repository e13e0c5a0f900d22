// What the importer's stages share besides the mesh record (dataset::Mesh,
// which every stage from the reader to the writer takes and gives).
#pragma once

#include <stdexcept>

#include "dataset/mesh.h"

namespace importer {

using dataset::Mesh;

// A model file or an option the importer cannot use: the message is one line
// for the user, naming the file and what is wrong with it.
struct ImportError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace importer

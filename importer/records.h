// The plain records that the importer's stages hand from one to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace importer {

// Triangles as a model file gives them, in one list: x, y, z per vertex and
// three 0-based corners per face.
struct SourceMesh {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;

  size_t vertexCount() const { return positions.size() / 3; }
  size_t faceCount() const { return indices.size() / 3; }
};

// A model file or an option the importer cannot use: the message is one line
// for the user, naming the file and what is wrong with it.
struct ImportError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace importer

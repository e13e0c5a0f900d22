// The plain records that the importer's stages hand from one to the next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "dataset/mesh.h"
#include "look/look.h"

namespace importer {

// Triangles as a model file gives them, in one list: x, y, z per vertex and
// three 0-based corners per face, and what Lit shows of each vertex beyond
// its position (texture coordinates, colour), when the model has a look.
// Every stage that drops or reorders vertices moves the look's entries alike.
struct SourceMesh {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;
  MeshLook look;

  size_t vertexCount() const { return positions.size() / 3; }
  size_t faceCount() const { return indices.size() / 3; }
};

// The faces of `mesh` as the mesh record written holds them.
inline std::vector<dataset::Face> facesOf(const SourceMesh& mesh) {
  std::vector<dataset::Face> faces;
  faces.reserve(mesh.faceCount());
  for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
    faces.push_back({static_cast<int>(mesh.indices[i]), static_cast<int>(mesh.indices[i + 1]),
                     static_cast<int>(mesh.indices[i + 2])});
  }
  return faces;
}

// A model file or an option the importer cannot use: the message is one line
// for the user, naming the file and what is wrong with it.
struct ImportError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace importer

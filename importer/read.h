// Stage 1: a model file, in any format Assimp reads, to one list of triangles.
#pragma once

#include <string>

#include "importer/records.h"

namespace importer {

struct ReadReport {
  size_t meshes = 0;             // meshes with triangles, after flattening the scene
  size_t faces = 0;              // triangles
  size_t vertices = 0;           // as the file's meshes hold them, before joining
  size_t droppedPrimitives = 0;  // points and lines, which the program cannot draw
};

// Reads `path` with its node transforms applied, polygons triangulated, and
// points, lines and faces with repeated corners left out. Throws ImportError
// when the file cannot be opened or read, holds no triangle or holds a
// coordinate that is not a finite number.
SourceMesh readModel(const std::string& path, ReadReport& report);

}  // namespace importer

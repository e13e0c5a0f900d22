// The reader of the `.m` mesh format.
#pragma once

#include <cstddef>
#include <exception>
#include <istream>
#include <ostream>

#include "mesh/mesh.h"

// Reads the mesh file `name` into the base mesh (isBase non-zero) or the lid
// mesh (isBase zero), writing its commentary to `out`. A file that cannot be
// opened, or is not a regular file, is reported on `out` as the commentary
// has it and with the system's reason on `err`, and leaves the mesh as it
// was; the result says whether the file was read. A mesh too large for the
// memory available throws MeshMemoryError.
bool ReadFile(MeshState& meshes, const char* name, int isBase, std::ostream& out,
              std::ostream& err);

// Reads `.m` lines from `in` to its end into the mesh chosen by isBase; `name`
// labels the messages about faces that are skipped and a MeshMemoryError.
void readStream(MeshState& meshes, std::istream& in, int isBase, const char* name,
                std::ostream& out);

// A mesh that does not fit in memory: which file and how far it got. Plain
// fields, so that nothing needs memory to throw or report it. `line` is 0
// when the whole file was read and the memory ran out preparing it.
class MeshMemoryError : public std::exception {
 public:
  MeshMemoryError(const char* file, long line, size_t vertices, size_t faces)
      : file(file), line(line), vertices(vertices), faces(faces) {}
  const char* what() const noexcept override { return "mesh too large for the memory available"; }

  const char* file;
  long line;
  size_t vertices;
  size_t faces;
};

// The error for the mesh chosen by isBase, with the counts it holds now.
MeshMemoryError meshMemoryError(const MeshState& meshes, int isBase, const char* file, long line);

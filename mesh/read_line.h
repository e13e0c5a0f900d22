// One line of a `.m` file: the step between the line reader and the mesh.
#pragma once

#include <ostream>

#include "mesh/mesh.h"

// Where a line came from, for the messages about faces that are skipped.
struct LineSource {
  const char* name;
  long number;  // 1-based line of the file
};

// Parses one line of at most 255 characters (no line feed) and appends its
// vertex or face to the mesh chosen by isBase. Face lines are cut into fields
// in place, so `line` is changed. The commentary goes to `out`.
void readLine(MeshState& meshes, char* line, int isBase, const LineSource& source,
              std::ostream& out);

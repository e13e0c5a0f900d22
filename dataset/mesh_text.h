// The one writer of the program's `.m` mesh format.
#pragma once

#include <string>

#include "dataset/mesh.h"

namespace dataset {

// How a coordinate is spelled.
enum class Numbers {
  // The shortest decimal that reads back as the coordinate's float: the
  // program then reads the very floats the writer computed with.
  kShortestFloat,
  // Six decimals, as "%.6f" prints the coordinate (the shipped data set).
  kSixDecimals,
};

// A mesh in the program's format: a comment line "# TITLE: N vertices, M
// faces" (none when `title` is empty), every vertex line, then every face line
// with 1-based corners, so that each face names only vertices read before it.
std::string meshText(const Mesh& mesh, const std::string& title, Numbers numbers);

}  // namespace dataset

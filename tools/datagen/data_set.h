// Writing the data set the program runs on.
#pragma once

#include <filesystem>
#include <string>

#include "tools/datagen/geometry.h"

namespace datagen {

// A mesh in the program's .m format: a comment line, every vertex line, then
// every face line with 1-based corners, so each face names only vertices
// read before it.
std::string meshText(const Mesh& mesh, const std::string& title);

// Writes lighterBase.m, lighterTop.m, topTexture.bmp, baseTexture.bmp,
// silverTexture.bmp and Data/Particle.raw into `dir`, creating it if needed.
// Throws std::runtime_error when a file cannot be written.
void writeDataSet(const std::filesystem::path& dir);

}  // namespace datagen

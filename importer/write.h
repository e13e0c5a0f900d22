// Stage 7: the data directory the program runs in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "importer/frame.h"
#include "tools/datagen/images.h"

namespace importer {

// A mesh in the program's format: every vertex line, then every face line
// with 1-based corners, so each face names only vertices written before it.
// Nothing else: the reader would skip comment lines, but no line is needed.
// Coordinates are written as the shortest decimals that read back as the
// very floats the framing was computed with.
std::string meshText(const datagen::Mesh& mesh);

// Fails with ImportError unless `dir` can be written: it must not exist, or
// with `force` it must be a data directory (one holding lighterBase.m) or an
// empty directory, which is then replaced.
void checkOutputDirectory(const std::filesystem::path& dir, bool force);

// Writes lighterBase.m, lighterTop.m, the three BMP textures (the shipped
// set, with `surface` as silverTexture.bmp when given) and Data/Particle.raw
// into a fresh directory beside `dir`, then renames it to `dir`. On any
// failure nothing is left behind and ImportError is thrown.
void writeDataDirectory(const std::filesystem::path& dir, const FramedModel& model,
                        const std::optional<datagen::Picture>& surface, bool force);

}  // namespace importer

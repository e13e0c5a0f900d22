// Data directories of models with a look of their own (sidecar files and a
// model texture), made by the project's own writers: the mesh framed as the
// importer frames it, written by the one data-directory writer, the
// sidecars by encodeLook and the texture by the BMP encoder.
#pragma once

#include <cstddef>
#include <string>

namespace lookdata {

// Four distinct colours, one per quadrant of the texture as it shows on the
// quad: red top left, green top right, blue bottom left, yellow bottom right.
struct Rgb8 {
  unsigned char r, g, b;
};
inline constexpr Rgb8 kTopLeft{255, 0, 0};
inline constexpr Rgb8 kTopRight{0, 255, 0};
inline constexpr Rgb8 kBottomLeft{0, 0, 255};
inline constexpr Rgb8 kBottomRight{255, 255, 0};
// The two boxes' colours.
inline constexpr Rgb8 kLowerBox{255, 0, 0};
inline constexpr Rgb8 kUpperBox{0, 0, 255};

// A square facing the viewer, no lid; texture coordinates from (0, 0) at its
// bottom left to (1, 1) at its top right, and the four-colour texture (4 by 4
// texels, 2 by 2 per colour). With `texture` false the texture is left out
// while the coordinates stay.
void writeTexturedQuad(const std::string& dir, bool texture = true);

// Two boxes, one on the other, no lid and no texture: the lower one
// kLowerBox (red), the upper one kUpperBox (blue), as vertex colours.
void writeTwoColourBoxes(const std::string& dir);

// The vertex count of the body the helpers above write into `dir`.
size_t bodyVertexCount(const std::string& dir);

// Replaces `dir`'s file `name` with `bytes` (a damaged sidecar or texture).
void writeBytes(const std::string& dir, const std::string& name, const std::string& bytes);

}  // namespace lookdata

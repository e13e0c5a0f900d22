// The pictures of the data set: three BMP textures and the particle glow.
#pragma once

#include <cstdint>
#include <vector>

namespace datagen {

// Red-green-blue bytes, rows bottom first, as the program uploads them.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
};

// The one BMP layout the program reads: a 54-byte header (file header and a
// 40-byte information header; 1 plane, 24 bits, no compression), then the
// rows bottom first in blue-green-red order. Widths must be a multiple of 4
// so that rows need no padding.
std::vector<std::uint8_t> encodeBmp(const Picture& picture);

// Brushed steel with fine horizontal streaks: the texture of every face and,
// multiplied in, of every flame particle, so it is kept light.
Picture brushedSilver();
// An engraved lid and a framed body panel, loaded but not drawn.
Picture lidPattern();
Picture bodyPattern();

// A soft round white glow, 32 by 32 red-green-blue bytes with no header.
std::vector<std::uint8_t> particleGlow();

}  // namespace datagen

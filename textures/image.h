// Decoded pictures in plain memory and the readers that fill them; no GL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <vector>

// width x height pixels of tightly packed red-green-blue bytes; row 0 is the
// first row stored in the file (the picture's bottom row for a BMP).
struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<unsigned char> data;
};

// Why a BMP could not be decoded; kNone when the record holds the picture.
enum class BmpFailure { kNone, kPlanes, kBitsPerPixel, kTooLarge, kNoMemory, kShortPixels };

// Outcome of decoding, with the header fields the messages quote.
struct BmpResult {
  BmpFailure failure = BmpFailure::kNone;
  unsigned planes = 0;
  unsigned bitsPerPixel = 0;
};

// Decodes a 24-bit BMP read from the start of `file` into `image`. Prints
// nothing; on failure the record is partly written and must not be used.
BmpResult decodeBmp(std::FILE* file, Image& image);

// The same from `size` bytes in memory.
BmpResult decodeBmp(const unsigned char* bytes, size_t size, Image& image);

// The one BMP layout the program reads, as decodeBmp reads it back: a 54-byte
// header (1 plane, 24 bits, no compression), then the rows bottom first in
// blue-green-red order. The width must be a multiple of 4 so that rows need
// no padding; anything else throws std::invalid_argument.
std::vector<unsigned char> encodeBmp(const Image& image);

// Opens `path` and decodes it into `image`, writing what went wrong to `out`.
// Returns 1 when the record holds a complete picture, 0 otherwise. A file
// that cannot be opened, or is not a regular file, is "File Not Found" on
// `out`, with the system's reason on `err`.
int ImageLoad(const char* path, Image* image, std::ostream& out, std::ostream& err);

// The headerless particle image: 32 by 32 red-green-blue texels.
inline constexpr int kParticleImageSize = 32;
inline constexpr size_t kParticleImageBytes = kParticleImageSize * kParticleImageSize * 3;

// Reads the particle image at `path`. Texels the file does not supply are
// black, and a line on `out` says the file was not read in full; why a file
// could not be opened at all goes to `err`.
std::vector<unsigned char> readParticleImage(const char* path, std::ostream& out,
                                             std::ostream& err);

// A width by height checkerboard of 8 by 8 texel squares, black at the origin.
Image makeCheckerBoard(int width, int height);

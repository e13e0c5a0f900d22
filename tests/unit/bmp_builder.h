// Small BMP files written by the tests themselves, and files to read them from.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace bmptest {

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& file, size_t at, uint32_t value) {
  file[at] = value & 0xFF;
  file[at + 1] = (value >> 8) & 0xFF;
}

inline void put32(Bytes& file, size_t at, uint32_t value) {
  put16(file, at, value & 0xFFFF);
  put16(file, at + 2, value >> 16);
}

// The 54 header bytes of a 24-bit BMP, as a paint program writes them.
inline Bytes header(uint32_t width, uint32_t height, uint32_t planes = 1, uint32_t bpp = 24) {
  Bytes file(54, 0);
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 10, 54);  // pixel-data offset
  put32(file, 14, 40);  // information header size
  put32(file, 18, width);
  put32(file, 22, height);
  put16(file, 26, planes);
  put16(file, 28, bpp);
  return file;
}

// A complete 24-bit BMP of `rgb`, width x height tightly packed red-green-blue
// bytes in stored row order: written blue-green-red, rows padded to 4 bytes.
inline Bytes bmp(uint32_t width, uint32_t height, const Bytes& rgb) {
  Bytes file = header(width, height);
  const size_t rowBytes = size_t{width} * 3;
  for (size_t y = 0; y < height; ++y) {
    for (size_t x = 0; x < width; ++x) {
      const unsigned char* p = &rgb[y * rowBytes + x * 3];
      file.insert(file.end(), {p[2], p[1], p[0]});
    }
    while ((file.size() - 54) % 4 != 0) file.push_back(0xEE);  // padding, never read
  }
  put32(file, 2, static_cast<uint32_t>(file.size()));
  return file;
}

// A picture whose every byte differs from its neighbours, so that a shifted,
// mirrored or swapped byte shows.
inline Bytes pattern(uint32_t width, uint32_t height, unsigned seed = 1) {
  Bytes rgb(size_t{width} * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<unsigned char>(seed + i * 7);
  return rgb;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

using support::TempDir;

}  // namespace bmptest

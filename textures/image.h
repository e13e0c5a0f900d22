// A decoded 24-bit picture in plain memory, apart from any GL texture.
#pragma once

#include <cstdint>
#include <vector>

// width x height pixels of tightly packed red-green-blue bytes; row 0 is the
// first row stored in the file (the picture's bottom row for a BMP).
struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<unsigned char> data;
};

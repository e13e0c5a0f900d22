// The procedural checkerboard: 8 by 8 texel squares, black at the origin.
#include <algorithm>

#include "textures/image.h"

Image makeCheckerBoard(int width, int height) {
  const size_t columns = static_cast<size_t>(std::max(width, 0));
  const size_t rows = static_cast<size_t>(std::max(height, 0));
  Image board;
  board.width = static_cast<uint32_t>(columns);
  board.height = static_cast<uint32_t>(rows);
  board.data.assign(columns * rows * 3, 0);
  for (size_t y = 0; y < rows; ++y) {
    for (size_t x = 0; x < columns; ++x) {
      const unsigned char v = ((y >> 3) + (x >> 3)) & 1 ? 255 : 0;
      std::fill_n(&board.data[(y * columns + x) * 3], 3, v);
    }
  }
  return board;
}

#include "capture/readback.h"

#include <GL/gl.h>

#include <algorithm>

Frame readDrawnFrame(int width, int height) {
  Frame frame;
  if (width <= 0 || height <= 0) return frame;
  frame.width = width;
  frame.height = height;
  const size_t row = static_cast<size_t>(width) * 3;
  frame.rgb.resize(row * static_cast<size_t>(height));
  // Rows packed tightly for the read, and the packing put back after it.
  GLint alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, alignment);
  // GL's rows run from the bottom up.
  for (int y = 0; y < height / 2; ++y) {
    std::swap_ranges(frame.rgb.begin() + static_cast<std::ptrdiff_t>(row * y),
                     frame.rgb.begin() + static_cast<std::ptrdiff_t>(row * (y + 1)),
                     frame.rgb.begin() + static_cast<std::ptrdiff_t>(row * (height - 1 - y)));
  }
  return frame;
}

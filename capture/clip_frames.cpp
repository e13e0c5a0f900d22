// A clip's frames: their size and which of the window's frames are kept.
#include <algorithm>

#include "capture/capture.h"

namespace {

Frame halved(const Frame& f) {
  Frame half;
  half.width = f.width / 2;
  half.height = f.height / 2;
  half.rgb.resize(static_cast<size_t>(half.width) * static_cast<size_t>(half.height) * 3);
  const size_t stride = static_cast<size_t>(f.width) * 3;
  for (int y = 0; y < half.height; ++y) {
    const std::uint8_t* top = &f.rgb[static_cast<size_t>(2 * y) * stride];
    const std::uint8_t* bottom = top + stride;
    std::uint8_t* out = &half.rgb[static_cast<size_t>(y) * static_cast<size_t>(half.width) * 3];
    for (int x = 0; x < half.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        const size_t i = static_cast<size_t>(6 * x + c);
        out[3 * x + c] =
            static_cast<std::uint8_t>((top[i] + top[i + 3] + bottom[i] + bottom[i + 3] + 2) / 4);
      }
    }
  }
  return half;
}

}  // namespace

Frame fitForClip(Frame frame) {
  while ((frame.width > kClipMaxWidth || frame.height > kClipMaxHeight) && frame.width >= 2 &&
         frame.height >= 2) {
    frame = halved(frame);
  }
  return frame;
}

Frame onCanvas(const Frame& frame, int width, int height) {
  if (frame.width == width && frame.height == height) return frame;
  Frame canvas;
  canvas.width = width;
  canvas.height = height;
  canvas.rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
  // Offsets of the frame on the canvas (negative: the frame is cut there).
  const int dx = (width - frame.width) / 2;
  const int dy = (height - frame.height) / 2;
  const int x0 = std::max(0, dx);
  const int x1 = std::min(width, dx + frame.width);
  if (x1 <= x0) return canvas;
  for (int y = std::max(0, dy); y < std::min(height, dy + frame.height); ++y) {
    const std::uint8_t* from =
        &frame.rgb[(static_cast<size_t>(y - dy) * static_cast<size_t>(frame.width) +
                    static_cast<size_t>(x0 - dx)) *
                   3];
    std::copy(
        from, from + static_cast<size_t>(x1 - x0) * 3,
        &canvas
             .rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x0)) *
                  3]);
  }
  return canvas;
}

bool ClipPacer::keep(int elapsedMs) {
  if (over(elapsedMs)) return false;
  if (lastKept_ >= 0 && elapsedMs - lastKept_ < kClipFrameMs) return false;
  lastKept_ = elapsedMs;
  return true;
}

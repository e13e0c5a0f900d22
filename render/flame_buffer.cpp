#include "render/flame_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

int powerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n) p *= 2;
  return p;
}

// Column-major 4 by 4 times (x, y, z, w).
void transform(const float m[16], const float in[4], float out[4]) {
  for (int row = 0; row < 4; ++row) {
    out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
  }
}

// A point this close to the eye's plane, or behind it, has no place on screen.
constexpr float kNearestW = 1e-6f;

// Corner `corner` of the box from low to high (its bits pick high x, y, z)
// in clip coordinates.
void clipOfCorner(const float projection[16], const float modelview[16], const float low[3],
                  const float high[3], int corner, float clip[4]) {
  const float p[4] = {(corner & 1) ? high[0] : low[0], (corner & 2) ? high[1] : low[1],
                      (corner & 4) ? high[2] : low[2], 1.0f};
  float eye[4];
  transform(modelview, p, eye);
  transform(projection, eye, clip);
}

// "4.5 (Compatibility Profile) Mesa 22.3.6" gives 4; "OpenGL ES 2.0 (WebGL
// 1.0)" gives 2 and sets `es`.
int majorVersion(const char* version, bool& es) {
  constexpr const char kEs[] = "OpenGL ES";
  es = std::strncmp(version, kEs, sizeof kEs - 1) == 0;
  const char* digits = version + std::strspn(version, "OpenGL ES-CM");
  return std::atoi(digits);
}

bool hasWord(const char* list, const char* word) {
  const size_t n = std::strlen(word);
  for (const char* at = std::strstr(list, word); at != nullptr; at = std::strstr(at + 1, word)) {
    const bool starts = at == list || at[-1] == ' ';
    const bool ends = at[n] == '\0' || at[n] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

}  // namespace

PixelBox windowBoxOf(const float projection[16], const float modelview[16], const float low[3],
                     const float high[3], int width, int height) {
  const PixelBox window{0, 0, std::max(0, width), std::max(0, height)};
  if (window.empty()) return window;
  float xLow = static_cast<float>(width), yLow = static_cast<float>(height);
  float xHigh = 0.0f, yHigh = 0.0f;
  for (int corner = 0; corner < 8; ++corner) {
    float clip[4];
    clipOfCorner(projection, modelview, low, high, corner, clip);
    if (!(clip[3] > kNearestW)) return window;
    const float x = (clip[0] / clip[3] + 1.0f) * 0.5f * static_cast<float>(width);
    const float y = (clip[1] / clip[3] + 1.0f) * 0.5f * static_cast<float>(height);
    xLow = std::min(xLow, x);
    yLow = std::min(yLow, y);
    xHigh = std::max(xHigh, x);
    yHigh = std::max(yHigh, y);
  }
  PixelBox box{static_cast<int>(std::floor(xLow)), static_cast<int>(std::floor(yLow)),
               static_cast<int>(std::ceil(xHigh)), static_cast<int>(std::ceil(yHigh))};
  return grownWithin(box, 0, window);
}

float nearestDepthOf(const float projection[16], const float modelview[16], const float low[3],
                     const float high[3]) {
  float nearest = 1.0f;
  for (int corner = 0; corner < 8; ++corner) {
    float clip[4];
    clipOfCorner(projection, modelview, low, high, corner, clip);
    if (!(clip[3] > kNearestW)) return -1.0f;
    nearest = std::min(nearest, clip[2] / clip[3]);
  }
  return std::max(-1.0f, nearest);
}

FlameBufferSize flameBufferSize(int windowWidth, int windowHeight, int divisor) {
  FlameBufferSize size;
  if (windowWidth <= 0 || windowHeight <= 0 || divisor <= 0) return size;
  size.width = (windowWidth + divisor - 1) / divisor;
  size.height = (windowHeight + divisor - 1) / divisor;
  size.textureWidth = powerOfTwoAtLeast(size.width);
  size.textureHeight = powerOfTwoAtLeast(size.height);
  return size;
}

PixelBox bufferBoxOf(const PixelBox& windowBox, int windowWidth, int windowHeight,
                     const FlameBufferSize& size) {
  if (size.empty() || windowBox.empty() || windowWidth <= 0 || windowHeight <= 0) return {};
  const double kx = static_cast<double>(size.width) / windowWidth;
  const double ky = static_cast<double>(size.height) / windowHeight;
  const PixelBox box{static_cast<int>(std::floor(windowBox.x0 * kx)),
                     static_cast<int>(std::floor(windowBox.y0 * ky)),
                     static_cast<int>(std::ceil(windowBox.x1 * kx)),
                     static_cast<int>(std::ceil(windowBox.y1 * ky))};
  return grownWithin(box, 0, PixelBox{0, 0, size.width, size.height});
}

PixelBox grownWithin(const PixelBox& box, int by, const PixelBox& limits) {
  PixelBox out{std::max(limits.x0, box.x0 - by), std::max(limits.y0, box.y0 - by),
               std::min(limits.x1, box.x1 + by), std::min(limits.y1, box.y1 + by)};
  if (out.empty()) return {};
  return out;
}

bool hasFramebufferObjects(const char* version, const char* extensions) {
  if (version == nullptr) return false;
  bool es = false;
  const int major = majorVersion(version, es);
  if (es ? major >= 2 : major >= 3) return true;
  return extensions != nullptr && hasWord(extensions, "GL_ARB_framebuffer_object");
}

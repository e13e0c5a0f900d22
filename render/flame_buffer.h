// The plain side of Lit's flame buffer: the flame is drawn into a buffer a
// fraction of the window's size, only over the particles' box on screen,
// then added onto the frame. Sizes and boxes here; GL in lit_flame.cpp.
//
// Pixels count from the lower-left corner, as GL's viewport does; a box is
// [x0, x1) by [y0, y1).
#pragma once

struct PixelBox {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int width() const { return x1 - x0; }
  int height() const { return y1 - y0; }
  bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// The window pixels that the box from `low` to `high` (in the coordinates
// `modelview` takes, column-major as GL hands matrices back) covers through
// `projection` and a viewport of the whole window, clipped to the window.
// A box reaching behind the eye covers the whole window.
PixelBox windowBoxOf(const float projection[16], const float modelview[16], const float low[3],
                     const float high[3], int width, int height);

// The depth, as the projection leaves it (-1 at the near plane, 1 at the far
// one), of the nearest point of that box: the flame's buffer is added onto
// the frame at that depth, so that whatever of the frame is nearer still
// hides it. A box reaching behind the eye is at the near plane.
float nearestDepthOf(const float projection[16], const float modelview[16], const float low[3],
                     const float high[3]);

// The flame buffer is the window's size over this, in each direction.
inline constexpr int kFlameBufferDivisor = 3;

// The buffer for a window, and the power-of-two texture that holds it (which
// every GL with textures can make); all zero for a window without pixels.
struct FlameBufferSize {
  int width = 0, height = 0;
  int textureWidth = 0, textureHeight = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};
FlameBufferSize flameBufferSize(int windowWidth, int windowHeight,
                                int divisor = kFlameBufferDivisor);

// The buffer's pixels that cover `windowBox`, whole, within the buffer.
PixelBox bufferBoxOf(const PixelBox& windowBox, int windowWidth, int windowHeight,
                     const FlameBufferSize& size);

// `box` grown by `by` on every side, within `limits`.
PixelBox grownWithin(const PixelBox& box, int by, const PixelBox& limits);

// What the frames keep of the buffer: how it is made, its GL names (0 until
// the first frame that needs them) and the texture size they were made for.
// Through a framebuffer object where GL has them; otherwise the flame is
// drawn into a corner of the back buffer and copied into a texture
// (glCopyTexSubImage2D), the corner saved before and put back after.
struct FlameTarget {
  enum class Path { kUnchosen, kFramebuffer, kCopy };
  Path path = Path::kUnchosen;  // chosen by the first frame that draws the flame
  unsigned int framebuffer = 0;
  unsigned int flameTexture = 0;
  unsigned int savedTexture = 0;  // the copy path's saved corner
  int textureWidth = 0, textureHeight = 0;
};

// Whether a GL of this version and these extensions (glGetString's) has
// framebuffer objects under the names GL 3.0 gave them: GL 3.0 or later,
// OpenGL ES 2.0 or later (WebGL), or GL_ARB_framebuffer_object. Null
// strings (no context) have none.
bool hasFramebufferObjects(const char* version, const char* extensions);

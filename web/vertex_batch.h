// Immediate mode as GL defines it, collected into arrays. Each vertex takes
// the colour, normal and texture coordinate current when it is given, however
// long ago they were set. The web build's GL emulation instead packs the
// calls between glBegin and glEnd into one stream and expects every vertex to
// repeat the same attributes in the same order; the frame sets the colour
// once per face (and the flame's outside glBegin), so the web adapter feeds
// the emulation these arrays instead, many glBegin/glEnd pairs to a draw.
#pragma once

#include <cstddef>
#include <vector>

namespace web {

// The primitives, by GL's numbers (this file includes no GL).
inline constexpr unsigned kLines = 0x0001;
inline constexpr unsigned kLineLoop = 0x0002;
inline constexpr unsigned kTriangles = 0x0004;
inline constexpr unsigned kTriangleStrip = 0x0005;

// Vertices with every attribute, interleaved as the emulation draws fastest:
// position x y z, colour r g b a, normal x y z, texture point s t.
struct VertexBatch {
  static constexpr std::size_t kFloats = 12;
  static constexpr std::size_t kColorAt = 3;
  static constexpr std::size_t kNormalAt = 7;
  static constexpr std::size_t kTexCoordAt = 10;

  unsigned mode = 0;  // the primitive, as glBegin got it
  std::vector<float> data;
  std::size_t vertexCount() const { return data.size() / kFloats; }
  void clear() { data.clear(); }  // keeps the capacity: a frame has thousands
};

// Adds `batch` to `pending` as independent triangles or lines, so that many
// batches make one draw: a triangle strip becomes its triangles, a line loop
// its lines. False, with `pending` unchanged, for a primitive that is not
// merged (points, quads, polygons) or whose kind differs from what `pending`
// already holds; an empty `pending` takes the kind of the batch.
bool appendIndependent(const VertexBatch& batch, VertexBatch& pending);

class ImmediateMode {
 public:
  void begin(unsigned mode);
  void color(float r, float g, float b, float a);
  void normal(float x, float y, float z);
  void texCoord(float s, float t);
  // Adds a vertex with the current attributes; outside glBegin/glEnd GL
  // ignores it, and so does this.
  void vertex(float x, float y, float z);
  // The finished batch, valid until the next begin; empty outside a batch.
  const VertexBatch& end();
  bool inside() const { return inside_; }

 private:
  // GL's start values of the current attributes.
  float color_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  float normal_[3] = {0.0f, 0.0f, 1.0f};
  float texCoord_[2] = {0.0f, 0.0f};
  bool inside_ = false;
  VertexBatch batch_;
};

}  // namespace web

// Immediate mode as GL defines it, collected into arrays. Each vertex takes
// the colour, normal and texture coordinate current when it is given, however
// long ago they were set. The web build's GL emulation instead packs the
// calls between glBegin and glEnd into one stream and expects every vertex to
// repeat the same attributes in the same order; the frame sets the colour
// once per face (and the flame's outside glBegin), so the web adapter feeds
// the emulation these arrays instead.
#pragma once

#include <cstddef>
#include <vector>

namespace web {

// The vertices between one glBegin and its glEnd, every attribute given for
// every vertex.
struct VertexBatch {
  unsigned mode = 0;             // the primitive, as glBegin got it
  std::vector<float> positions;  // x, y, z
  std::vector<float> colors;     // r, g, b, a
  std::vector<float> normals;    // x, y, z
  std::vector<float> texCoords;  // s, t
  std::size_t vertexCount() const { return positions.size() / 3; }
};

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

#include "web/vertex_batch.h"

namespace web {

namespace {

// What a primitive is drawn as once merged; 0: it is not merged.
unsigned independentKind(unsigned mode) {
  switch (mode) {
    case kTriangles:
    case kTriangleStrip:
      return kTriangles;
    case kLines:
    case kLineLoop:
      return kLines;
    default:
      return 0;
  }
}

void copyVertex(const VertexBatch& from, std::size_t index, VertexBatch& to) {
  const auto first = from.data.begin() + static_cast<std::ptrdiff_t>(index * VertexBatch::kFloats);
  to.data.insert(to.data.end(), first, first + VertexBatch::kFloats);
}

}  // namespace

bool appendIndependent(const VertexBatch& batch, VertexBatch& pending) {
  const unsigned kind = independentKind(batch.mode);
  if (kind == 0 || (pending.vertexCount() > 0 && pending.mode != kind)) return false;
  pending.mode = kind;
  const std::size_t n = batch.vertexCount();
  switch (batch.mode) {
    case kTriangleStrip:
      // Every second triangle swaps its first two corners, keeping the
      // strip's winding.
      for (std::size_t i = 0; i + 2 < n; ++i) {
        copyVertex(batch, i % 2 == 0 ? i : i + 1, pending);
        copyVertex(batch, i % 2 == 0 ? i + 1 : i, pending);
        copyVertex(batch, i + 2, pending);
      }
      break;
    case kLineLoop:
      for (std::size_t i = 0; n >= 2 && i < n; ++i) {
        copyVertex(batch, i, pending);
        copyVertex(batch, (i + 1) % n, pending);
      }
      break;
    default:  // already independent; an incomplete last one is dropped, as GL does
      const std::size_t per = kind == kTriangles ? 3 : 2;
      for (std::size_t i = 0; i < n / per * per; ++i) copyVertex(batch, i, pending);
      break;
  }
  return true;
}

void ImmediateMode::begin(unsigned mode) {
  batch_.mode = mode;
  batch_.clear();
  inside_ = true;
}

void ImmediateMode::color(float r, float g, float b, float a) {
  color_[0] = r;
  color_[1] = g;
  color_[2] = b;
  color_[3] = a;
}

void ImmediateMode::normal(float x, float y, float z) {
  normal_[0] = x;
  normal_[1] = y;
  normal_[2] = z;
}

void ImmediateMode::texCoord(float s, float t) {
  texCoord_[0] = s;
  texCoord_[1] = t;
}

void ImmediateMode::vertex(float x, float y, float z) {
  if (!inside_) return;
  batch_.data.insert(batch_.data.end(), {x, y, z});
  batch_.data.insert(batch_.data.end(), color_, color_ + 4);
  batch_.data.insert(batch_.data.end(), normal_, normal_ + 3);
  batch_.data.insert(batch_.data.end(), texCoord_, texCoord_ + 2);
}

const VertexBatch& ImmediateMode::end() {
  if (!inside_) begin(batch_.mode);  // an empty batch: nothing to draw
  inside_ = false;
  return batch_;
}

}  // namespace web

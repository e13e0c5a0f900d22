#include "web/vertex_batch.h"

namespace web {

void ImmediateMode::begin(unsigned mode) {
  // The vectors keep their capacity: a frame begins thousands of batches.
  batch_.mode = mode;
  batch_.positions.clear();
  batch_.colors.clear();
  batch_.normals.clear();
  batch_.texCoords.clear();
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
  batch_.positions.insert(batch_.positions.end(), {x, y, z});
  batch_.colors.insert(batch_.colors.end(), color_, color_ + 4);
  batch_.normals.insert(batch_.normals.end(), normal_, normal_ + 3);
  batch_.texCoords.insert(batch_.texCoords.end(), texCoord_, texCoord_ + 2);
}

const VertexBatch& ImmediateMode::end() {
  if (!inside_) begin(batch_.mode);  // an empty batch: nothing to draw
  inside_ = false;
  return batch_;
}

}  // namespace web

// glDrawElements on the web, with the client arrays it draws from: 32-bit
// indices become 16-bit ones where every index fits, or else the arrays are
// laid out in index order and drawn with glDrawArrays (web/element_arrays.h).
// Each call draws the pending immediate-mode batch first (immediate_mode.cpp).
#include <GL/gl.h>

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "web/element_arrays.h"
#include "web/immediate_mode.h"
#include "web/lighting.h"
#include "web/lit_substitutes.h"

extern "C" {
void emscripten_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glNormalPointer(GLenum type, GLsizei stride, const void* pointer);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
void emscripten_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);
void emscripten_glGetFloatv(GLenum pname, GLfloat* params);
}

namespace {

// The arrays as the program gave them; only float ones can be laid out again.
web::FloatArray gVertices;
web::FloatArray gNormals;
bool gFloatVertices = false;
bool gFloatNormals = false;

// The model's middle, worked out once per model (its arrays do not change
// once built) and kept by where its arrays are.
view::Vec3 modelMiddle(const std::uint32_t* indices, std::size_t count) {
  static std::map<std::tuple<const float*, const std::uint32_t*, std::size_t>, view::Vec3> known;
  const auto key = std::make_tuple(gVertices.data, indices, count);
  const auto found = known.find(key);
  if (found != known.end()) return found->second;
  return known[key] = web::middleOf(gVertices, indices, count);
}

// The emulation lights a draw as if every light were far away: the lights
// shine at the model's middle, as seen from the eye now.
void aimLightsAtModel(const std::uint32_t* indices, std::size_t count) {
  web::Matrix4f modelview{};
  emscripten_glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
  web::aimLightsAt(web::eyePointOf(modelview, modelMiddle(indices, count)));
}

// Draws the arrays in index order, then gives the program's arrays back.
void drawGathered(GLenum mode, const std::uint32_t* indices, std::size_t count) {
  const std::vector<float> vertices = web::gatherVertices(gVertices, indices, count);
  std::vector<float> normals;
  emscripten_glVertexPointer(gVertices.components, GL_FLOAT, 0, vertices.data());
  if (gFloatNormals) {
    normals = web::gatherVertices(gNormals, indices, count);
    emscripten_glNormalPointer(GL_FLOAT, 0, normals.data());
  }
  emscripten_glDrawArrays(mode, 0, static_cast<GLsizei>(count));
  emscripten_glVertexPointer(gVertices.components, GL_FLOAT, gVertices.strideBytes, gVertices.data);
  if (gFloatNormals) emscripten_glNormalPointer(GL_FLOAT, gNormals.strideBytes, gNormals.data);
}

}  // namespace

extern "C" {

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
  web::drawPending();
  gFloatVertices = type == GL_FLOAT;
  gVertices = {static_cast<const float*>(pointer), size, stride};
  emscripten_glVertexPointer(size, type, stride, pointer);
}

void glNormalPointer(GLenum type, GLsizei stride, const void* pointer) {
  web::drawPending();
  gFloatNormals = type == GL_FLOAT;
  gNormals = {static_cast<const float*>(pointer), 3, stride};
  emscripten_glNormalPointer(type, stride, pointer);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
  web::drawPending();
  if (type != GL_UNSIGNED_INT || count <= 0) {
    emscripten_glDrawElements(mode, count, type, indices);
    return;
  }
  static std::vector<std::uint16_t> narrow;
  const auto* wide = static_cast<const std::uint32_t*>(indices);
  const auto n = static_cast<std::size_t>(count);
  if (gFloatVertices) aimLightsAtModel(wide, n);
  if (web::narrowIndices(wide, n, narrow)) {
    emscripten_glDrawElements(mode, count, GL_UNSIGNED_SHORT, narrow.data());
  } else if (gFloatVertices) {
    drawGathered(mode, wide, n);
  }
}

}  // extern "C"

// The few fixed-function calls of the Lit frame that GL emulations on top of
// WebGL may not offer; a web build can put its own file in place of this one.
#include <GL/gl.h>

#include "render/lit_drawing.h"

namespace {

// The flame's light weakens with distance, so the parts nearest the flame
// glow warmest.
constexpr GLfloat kFlameConstantFalloff = 0.8f;
constexpr GLfloat kFlameLinearFalloff = 0.0f;
constexpr GLfloat kFlameQuadraticFalloff = 1.2f;
constexpr GLfloat kMetalShininess = 24.0f;

}  // namespace

void applyLitExtras() {
  glLightf(GL_LIGHT1, GL_CONSTANT_ATTENUATION, kFlameConstantFalloff);
  glLightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, kFlameLinearFalloff);
  glLightf(GL_LIGHT1, GL_QUADRATIC_ATTENUATION, kFlameQuadraticFalloff);
  glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, kMetalShininess);
  // The light model stays GL's default, the viewer at infinity: a local
  // viewer looked no different here and cost a third of a 20,000-face frame.
}

void setColourMaterial(bool on) {
  if (on) {
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
  } else {
    glDisable(GL_COLOR_MATERIAL);
  }
}

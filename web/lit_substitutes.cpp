// The lighting calls of the Lit frame, on the web. The emulation lacks
// glLightf and glMaterialf, throws (and stops the page) on a material's
// GL_EMISSION or GL_AMBIENT_AND_DIFFUSE, lights everything as if from
// infinitely far, and has no fall-off. These take the place of its calls,
// approximate as web/lighting.h says (each model lit as its middle is:
// element_draw.cpp aims the lights there), and draw the pending
// immediate-mode batch first as every state change on the web does
// (immediate_mode.cpp).
#include <GL/gl.h>
#include <emscripten.h>

#include <array>

#include "web/immediate_mode.h"
#include "web/lighting.h"
#include "web/lit_substitutes.h"

extern "C" {
void emscripten_glLightfv(GLenum light, GLenum pname, const GLfloat* params);
void emscripten_glMaterialfv(GLenum face, GLenum pname, const GLfloat* params);
void emscripten_glGetFloatv(GLenum pname, GLfloat* params);
}

namespace {

constexpr int kLights = 8;  // GL_LIGHT0 to GL_LIGHT7, as the emulation has
std::array<web::LightRecord, kLights> gLights;

web::LightRecord* recordOf(GLenum light) {
  const auto index = static_cast<int>(light) - GL_LIGHT0;
  return index >= 0 && index < kLights ? &gLights[static_cast<std::size_t>(index)] : nullptr;
}

web::Vec4 vec4Of(const GLfloat* p) { return {p[0], p[1], p[2], p[3]}; }

// Where the lights shine to: the middle of the model being drawn, or until
// the first draw the lighter's place (web::aimLightsAt).
view::Vec3 gTarget = web::sceneCentreInEye();

// The diffuse and specular colours as the emulation sees them: weakened by
// the light's fall-off at the target.
void giveColours(GLenum light, const web::LightRecord& record) {
  const float factor = web::falloffAt(record, gTarget);
  const web::Vec4 diffuse = web::dimmed(record.diffuse, factor);
  const web::Vec4 specular = web::dimmed(record.specular, factor);
  emscripten_glLightfv(light, GL_DIFFUSE, diffuse.data());
  emscripten_glLightfv(light, GL_SPECULAR, specular.data());
}

// The emulation multiplies a position by the current modelview and takes it
// as a direction from the eye's origin: it gets the direction from the
// target to the light instead, under an identity modelview.
void giveDirection(GLenum light, const web::Vec4& direction) {
  glPushMatrix();
  glLoadIdentity();
  emscripten_glLightfv(light, GL_POSITION, direction.data());
  glPopMatrix();
}

void givePosition(GLenum light, web::LightRecord& record, const GLfloat* position) {
  web::Matrix4f modelview{};
  emscripten_glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
  const web::Vec4 direction = web::lightDirectionFrom(modelview, vec4Of(position), gTarget);
  record.positional = position[3] != 0.0f;
  record.eyePosition = gTarget + view::Vec3{direction[0], direction[1], direction[2]};
  giveDirection(light, direction);
  giveColours(light, record);  // the fall-off depends on where the light is
}

// GL_EMISSION: the emulation has the uniform but no way in but this.
EM_JS(void, setMaterialEmission, (const GLfloat* rgba), {
  for (var i = 0; i < 4; ++i) GLEmulation.materialEmission[i] = HEAPF32[(rgba >> 2) + i];
});

}  // namespace

namespace web {

void aimLightsAt(view::Vec3 target) {
  gTarget = target;
  for (std::size_t i = 0; i < gLights.size(); ++i) {
    const LightRecord& record = gLights[i];
    if (!record.positional) continue;
    const view::Vec3 d = record.eyePosition - target;
    const auto light = static_cast<GLenum>(GL_LIGHT0 + i);
    giveDirection(
        light, {static_cast<float>(d.x), static_cast<float>(d.y), static_cast<float>(d.z), 0.0f});
    giveColours(light, record);
  }
}

}  // namespace web

extern "C" {

void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  web::drawPending();
  web::LightRecord* record = recordOf(light);
  if (record == nullptr) return;
  switch (pname) {
    case GL_POSITION:
      givePosition(light, *record, params);
      return;
    case GL_DIFFUSE:
      record->diffuse = vec4Of(params);
      giveColours(light, *record);
      return;
    case GL_SPECULAR:
      record->specular = vec4Of(params);
      giveColours(light, *record);
      return;
    case GL_AMBIENT:
      emscripten_glLightfv(light, pname, params);
      return;
    default:
      return;  // spot lights: none in the program
  }
}

// Fall-off: weakens the light's colours by their factor at the lighter.
void glLightf(GLenum light, GLenum pname, GLfloat param) {
  web::drawPending();
  web::LightRecord* record = recordOf(light);
  if (record == nullptr) return;
  switch (pname) {
    case GL_CONSTANT_ATTENUATION:
      record->constantFalloff = param;
      break;
    case GL_LINEAR_ATTENUATION:
      record->linearFalloff = param;
      break;
    case GL_QUADRATIC_ATTENUATION:
      record->quadraticFalloff = param;
      break;
    default:
      return;  // spot lights: none in the program
  }
  giveColours(light, *record);
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
  web::drawPending();
  switch (pname) {
    case GL_AMBIENT_AND_DIFFUSE:
      emscripten_glMaterialfv(face, GL_AMBIENT, params);
      emscripten_glMaterialfv(face, GL_DIFFUSE, params);
      return;
    case GL_EMISSION:
      setMaterialEmission(params);
      return;
    default:
      emscripten_glMaterialfv(face, pname, params);
  }
}

void glMaterialf(GLenum face, GLenum pname, GLfloat param) { glMaterialfv(face, pname, &param); }

// The emulation has no colour material. Lit asks for it only for a model
// with colours of its own (look sidecars), and the page shows only the
// shipped lighter, which has none: the call is taken so that the program
// links, and does nothing.
void glColorMaterial(GLenum /*face*/, GLenum /*mode*/) {}

}  // extern "C"

// Fixed-function lighting as the web build's GL emulation can draw it, as
// plain math. The emulation lights every vertex as if each light were
// infinitely far away, in the direction of the light's position from the
// eye's origin, and has no fall-off. The web adapter hands it instead the
// direction from a point (the middle of the model drawn) to the light, and
// the light's colour weakened by its fall-off there: exact at that point,
// close across a model small beside its distance to the light.
#pragma once

#include <array>

#include "view/view_model.h"

namespace web {

using Vec4 = std::array<float, 4>;
// Column-major, as glGetFloatv gives the modelview matrix.
using Matrix4f = std::array<float, 16>;

// Where the lighter stands in eye coordinates: on the line of sight, as far
// from the eye as the camera looks.
view::Vec3 sceneCentreInEye();

// The point under the modelview, in eye coordinates.
view::Vec3 eyePointOf(const Matrix4f& modelview, view::Vec3 point);

// What the emulation is told for GL_POSITION `position`, given under
// `modelview`, to be given under an identity modelview: a directional light
// (w = 0) as GL turns it, a positional one as the direction from `centre`
// (eye coordinates) to it.
Vec4 lightDirectionFrom(const Matrix4f& modelview, const Vec4& position, view::Vec3 centre);

// One light's share of GL's state that the emulation lacks.
struct LightRecord {
  bool positional = false;
  view::Vec3 eyePosition{0.0, 0.0, 0.0};
  Vec4 diffuse{0.0f, 0.0f, 0.0f, 1.0f};
  Vec4 specular{0.0f, 0.0f, 0.0f, 1.0f};
  float constantFalloff = 1.0f;
  float linearFalloff = 0.0f;
  float quadraticFalloff = 0.0f;
};

// GL's attenuation factor 1 / (c + l d + q d^2) at distance d from the light
// to `centre`; 1 for a directional light or a non-positive denominator.
float falloffAt(const LightRecord& light, view::Vec3 centre);

// The colour weakened by `factor` (alpha kept).
Vec4 dimmed(const Vec4& color, float factor);

}  // namespace web

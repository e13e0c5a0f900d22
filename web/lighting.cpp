#include "web/lighting.h"

namespace web {

view::Vec3 sceneCentreInEye() { return {0.0, 0.0, -view::length(view::kLookAt - view::kEye)}; }

view::Vec3 eyePointOf(const Matrix4f& m, view::Vec3 p) {
  const Vec4 point{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z), 1.0f};
  const Vec4 eye = lightDirectionFrom(m, point, {0.0, 0.0, 0.0});
  return {eye[0], eye[1], eye[2]};
}

Vec4 lightDirectionFrom(const Matrix4f& m, const Vec4& p, view::Vec3 centre) {
  Vec4 eye{};
  for (int row = 0; row < 4; ++row) {
    eye[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row] * p[3];
  }
  if (eye[3] == 0.0f) return eye;
  return {static_cast<float>(eye[0] / eye[3] - centre.x),
          static_cast<float>(eye[1] / eye[3] - centre.y),
          static_cast<float>(eye[2] / eye[3] - centre.z), 0.0f};
}

float falloffAt(const LightRecord& light, view::Vec3 centre) {
  if (!light.positional) return 1.0f;
  const auto d = static_cast<float>(view::length(light.eyePosition - centre));
  const float denominator =
      light.constantFalloff + light.linearFalloff * d + light.quadraticFalloff * d * d;
  return denominator > 0.0f ? 1.0f / denominator : 1.0f;
}

Vec4 dimmed(const Vec4& color, float factor) {
  return {color[0] * factor, color[1] * factor, color[2] * factor, color[3]};
}

}  // namespace web

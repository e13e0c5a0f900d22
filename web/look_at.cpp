#include "web/look_at.h"

namespace web {

namespace {

view::Vec3 normalised(view::Vec3 v) { return (1.0 / view::length(v)) * v; }

}  // namespace

Matrix4 lookAtMatrix(view::Vec3 eye, view::Vec3 centre, view::Vec3 up) {
  const view::Vec3 forward = normalised(centre - eye);
  const view::Vec3 side = normalised(view::cross(forward, up));
  const view::Vec3 trueUp = view::cross(side, forward);
  // Rows side, up and -forward, then the eye moved to the origin.
  return {side.x,
          trueUp.x,
          -forward.x,
          0.0,
          side.y,
          trueUp.y,
          -forward.y,
          0.0,
          side.z,
          trueUp.z,
          -forward.z,
          0.0,
          -view::dot(side, eye),
          -view::dot(trueUp, eye),
          view::dot(forward, eye),
          1.0};
}

view::Vec3 transformPoint(const Matrix4& m, view::Vec3 p) {
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
          m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

}  // namespace web

// The camera matrix that gluLookAt multiplies onto the current matrix, as
// plain math: the web build's GLU gets it wrong, so the web adapter makes it
// here from the same eye, centre and up the desktop hands to GLU.
#pragma once

#include <array>

#include "view/view_model.h"

namespace web {

// Sixteen numbers in column-major order, as glMultMatrixd takes them.
using Matrix4 = std::array<double, 16>;

// GLU's camera: the eye goes to the origin, the line of sight to -z and `up`
// (made perpendicular to it) to +y.
Matrix4 lookAtMatrix(view::Vec3 eye, view::Vec3 centre, view::Vec3 up);

// The matrix applied to a point, w taken as 1.
view::Vec3 transformPoint(const Matrix4& m, view::Vec3 p);

}  // namespace web

#include "importer/solve.h"

namespace importer {

view::Mat3 inverse(const view::Mat3& m) {
  const view::Vec3 r0{m[0][0], m[0][1], m[0][2]};
  const view::Vec3 r1{m[1][0], m[1][1], m[1][2]};
  const view::Vec3 r2{m[2][0], m[2][1], m[2][2]};
  // The inverse's columns are the cross products of the rows over the determinant.
  const view::Vec3 c0 = view::cross(r1, r2), c1 = view::cross(r2, r0), c2 = view::cross(r0, r1);
  const double det = view::dot(r0, c0);
  if (det == 0.0 || !std::isfinite(det)) throw std::domain_error("singular matrix");
  const double k = 1.0 / det;
  return {{{k * c0.x, k * c1.x, k * c2.x},
           {k * c0.y, k * c1.y, k * c2.y},
           {k * c0.z, k * c1.z, k * c2.z}}};
}

Affine inverse(const Affine& a) {
  Affine inv;
  inv.m = inverse(a.m);
  inv.b = -1.0 * (inv.m * a.b);
  return inv;
}

}  // namespace importer

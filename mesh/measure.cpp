#include "mesh/measure.h"

#include <cmath>

void widenBox(MeshState& m, const Vector3& v) {
  if (v.x > m.max_x) m.max_x = v.x;
  if (v.x < m.min_x) m.min_x = v.x;
  if (v.y > m.max_y) m.max_y = v.y;
  if (v.y < m.min_y) m.min_y = v.y;
  if (v.z > m.max_z) m.max_z = v.z;
  if (v.z < m.min_z) m.min_z = v.z;
}

float boxExtent(const MeshState& m) {
  float extent = m.max_x - m.min_x;
  if (m.max_y - m.min_y > extent) {
    extent = m.max_y - m.min_y;
  }
  return extent;
}

float readerExtent(const std::vector<Vector3>& vertices) {
  MeshState box;
  for (const Vector3& v : vertices) widenBox(box, v);
  return boxExtent(box);
}

void divideCentre(Vector3& centre, size_t vertexCount) {
  if (vertexCount == 0) {
    return;
  }
  const float n = static_cast<float>(vertexCount);
  centre.x /= n;
  centre.y /= n;
  centre.z /= n;
}

Vector3 floatMean(const std::vector<Vector3>& vertices) {
  Vector3 sum;
  for (const Vector3& v : vertices) {
    sum.x += v.x;
    sum.y += v.y;
    sum.z += v.z;
  }
  divideCentre(sum, vertices.size());
  return sum;
}

Vector3 faceNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
  const Vector3 a{p2.x - p1.x, p2.y - p1.y, p2.z - p1.z};
  const Vector3 b{p3.x - p1.x, p3.y - p1.y, p3.z - p1.z};
  const Vector3 n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  return {n.x / length, n.y / length, n.z / length};
}

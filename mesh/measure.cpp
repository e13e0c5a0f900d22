#include "mesh/measure.h"

#include <cmath>

float planExtent(const Box<Vector3>& box) {
  float extent = box.max.x - box.min.x;
  if (box.max.y - box.min.y > extent) {
    extent = box.max.y - box.min.y;
  }
  return extent;
}

Box<Vector3> sharedBox(const MeshState& m) {
  return {{m.min_x, m.min_y, m.min_z}, {m.max_x, m.max_y, m.max_z}};
}

void widenBox(MeshState& m, const Vector3& v) {
  widenRange(m.min_x, m.max_x, v.x);
  widenRange(m.min_y, m.max_y, v.y);
  widenRange(m.min_z, m.max_z, v.z);
}

float boxExtent(const MeshState& m) { return planExtent(sharedBox(m)); }

float readerExtent(const std::vector<Vector3>& vertices) {
  // A fresh mesh state's box holds the reader's start values.
  return planExtent(boxOf(vertices, sharedBox(MeshState{})));
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

// Records of the two lighter meshes and the state the mesh reader fills.
#pragma once

#include <vector>

// A point, a direction or a mesh centre.
struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// One face: the 1-based numbers of its corners in its mesh's vertex array,
// and its unit normal.
struct Tri {
  int corner1 = 0;
  int corner2 = 0;
  int corner3 = 0;
  Vector3 normal;
};

// Start values of the shared bounding box. The maxima start at a tiny
// positive value, not at the most negative float: the framing of the model
// depends on it, so keep them as they are.
inline constexpr float kBoxMaxStart = 1.1754e-38f;
inline constexpr float kBoxMinStart = 1.1754e38f;

// The base mesh (the lighter's body), the lid mesh, the bounding box both
// share and the model's scale divisor. Vertices, faces and normals are kept
// in file order; normals hold one entry per vertex, at the same position.
struct MeshState {
  std::vector<Vector3> lighterBaseVertices;
  std::vector<Tri> lighterBaseTriangles;
  std::vector<Vector3> lighterBaseNormals;
  Vector3 centerBase;

  std::vector<Vector3> lighterTopVertices;
  std::vector<Tri> lighterTopTriangles;
  std::vector<Vector3> lighterTopNormals;
  Vector3 centerTop;

  float max_x = kBoxMaxStart;
  float max_y = kBoxMaxStart;
  float max_z = kBoxMaxStart;
  float min_x = kBoxMinStart;
  float min_y = kBoxMinStart;
  float min_z = kBoxMinStart;

  float max_extent = 1.0f;
};

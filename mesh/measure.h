// The reader's and the preparation's arithmetic as functions of their own:
// the program uses them as it reads, and whoever writes mesh files (the
// importer) predicts with the very same code what the program will make of
// them.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "mesh/mesh.h"

// An axis-aligned bounding box: the least and the greatest of each
// coordinate. Point is Vector3, or any record of x, y and z.
template <typename Point>
struct Box {
  Point min, max;
  Point size() const { return {max.x - min.x, max.y - min.y, max.z - min.z}; }
};

// Widens the range from `low` to `high` to take in `value`. Comparisons
// with a value that is not a number are false, so such a value widens
// nothing.
template <typename T>
void widenRange(T& low, T& high, T value) {
  if (value > high) high = value;
  if (value < low) low = value;
}

// Widens the box by one point, coordinate by coordinate as widenRange does.
template <typename Point>
void widen(Box<Point>& box, const Point& p) {
  widenRange(box.min.x, box.max.x, p.x);
  widenRange(box.min.y, box.max.y, p.y);
  widenRange(box.min.z, box.max.z, p.z);
}

// The box widened from `start` by each of the points.
template <typename Point, typename Points>
Box<Point> boxOf(const Points& points, Box<Point> start) {
  for (const Point& p : points) widen(start, p);
  return start;
}

// The box around points that are not empty, started at the first one: a
// coordinate of the first point that is not a number therefore stays in
// the box, where a box started at infinities would skip it.
template <typename Point, typename Points>
Box<Point> boxFromFirst(const Points& points) {
  const Point& first = *std::begin(points);
  return boxOf(points, Box<Point>{first, first});
}

// The larger of the box's x and y extents; z plays no part.
float planExtent(const Box<Vector3>& box);

// The box the reader widens as it reads, held in the mesh state's six
// fields; from the start values wherever no vertex widened it.
Box<Vector3> sharedBox(const MeshState& m);

// Widens the shared bounding box by one vertex, as reading a "v" line does.
void widenBox(MeshState& m, const Vector3& v);

// planExtent of the shared box. The box still holds its start values
// wherever the base mesh did not widen it, so an all-negative x range
// measures from the maximum's start value, near 0.
float boxExtent(const MeshState& m);

// The scale divisor the program derives from a base mesh with these
// vertices: the box widened from its start values by each, then boxExtent.
float readerExtent(const std::vector<Vector3>& vertices);

// Turns a centre sum into the mean. A mesh without vertices keeps (0, 0, 0)
// rather than 0 / 0, so that the rest of the model is still placed sensibly.
void divideCentre(Vector3& centre, size_t vertexCount);

// A mesh's centre as the program computes it: the vertices summed in floats
// in file order, then divided by their number.
Vector3 floatMean(const std::vector<Vector3>& vertices);

// The unit normal of the face P1 P2 P3 by the cross product of its edges
// (counter-clockwise seen from outside is outward). Corners on one line give
// 0 / 0, not a number, by design: no guard.
Vector3 faceNormal(const Vector3& p1, const Vector3& p2, const Vector3& p3);

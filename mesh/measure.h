// The reader's and the preparation's arithmetic as functions of their own:
// the program uses them as it reads, and whoever writes mesh files (the
// importer) predicts with the very same code what the program will make of
// them.
#pragma once

#include <cstddef>
#include <vector>

#include "mesh/mesh.h"

// Widens the shared bounding box by one vertex, as reading a "v" line does.
// Comparisons with a coordinate that is not a number are false, so such a
// coordinate widens nothing.
void widenBox(MeshState& m, const Vector3& v);

// The larger of the box's x and y extents; z plays no part. The box still
// holds its start values wherever the base mesh did not widen it, so an
// all-negative x range measures from the maximum's start value, near 0.
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

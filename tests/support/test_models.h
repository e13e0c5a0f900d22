// Small model files written by the tests themselves, in the forms real
// exporters write: no third-party model is needed.
#pragma once

#include <string>

namespace testmodels {

// A house (a prism with a gabled front and back, 2 wide, 3 tall, 1 deep,
// y up) as an OBJ file the way modellers write them: two objects and groups,
// texture and normal lines between the vertex lines, faces as v/vt/vn and
// v//vn, quads and pentagons, negative indices in the second object, a
// tab-separated face line. 16 triangles on 10 positions.
std::string houseObj();
// The same house with none of that: vertex lines, then triangles with
// positive indices only, in the same order the OBJ's polygons have.
std::string houseObjPlain();

// A square pyramid, 2 by 2 at its base and 3 tall, z up, as binary STL:
// 6 triangles, each corner repeated per triangle as STL does.
std::string pyramidStl();

// A bar 4 wide, 1 high and 1 deep, y up, as ASCII PLY with normals and
// quads: 12 triangles on 8 positions. Longer than it is high or deep.
std::string barPly();

// Writes `content` to `path`; throws std::runtime_error when it cannot.
void writeFile(const std::string& path, const std::string& content);

}  // namespace testmodels

// Stage 3: the model upright and facing the viewer.
#pragma once

#include <optional>
#include <string>

#include "importer/records.h"
#include "view/view_model.h"

namespace importer {

// Which axis of the file points up: 0 for x, 1 for y, 2 for z, and its sign.
struct UpAxis {
  int axis = 1;
  int sign = 1;
};

// "x", "y", "z", "-x", "-y" or "-z" (upper case too, and "+x" and so on).
std::optional<UpAxis> parseUpAxis(const std::string& text);
std::string upAxisName(UpAxis up);

// The axis that points up in files of this format as their tools write
// them: Z for STL and 3DS (CAD and 3D printing, 3ds Max), Y for the rest
// (OBJ, glTF, Collada, PLY, ...). By the file name's extension.
UpAxis conventionalUpAxis(const std::string& path);

// The up axis of the positions Assimp delivers for such a file, which
// --up defaults to. Assimp turns 3DS scenes (and Collada scenes that declare
// Z up) Y up itself, so of the Z-up formats only STL stays Z up.
UpAxis defaultUpAxis(const std::string& path);

// Rows: the file's directions of the model's right, up and front. A point's
// upright coordinates are this matrix times its file coordinates.
view::Mat3 uprightBasis(UpAxis up);

struct Orientation {
  UpAxis up;
  double turnDegrees = 0.0;  // about the up axis, counter-clockwise seen from above
};

// Rewrites the positions so that x points right, y up and z towards the
// viewer: the up axis becomes y, and the model's front, the side a viewer
// of the file's conventions sees first (+z for Y up, -y for Z up), faces +z.
// Then turns the model about y by `turnDegrees`.
// The coordinates stay floats, as the program will read them.
void orientMesh(Mesh& mesh, const Orientation& orientation);

}  // namespace importer

// Plain triangle meshes and the shapes the lighter is built from.
#pragma once

#include <vector>

#include "dataset/mesh.h"

namespace datagen {

// The program's own vector and matrix types, so that the model is built and
// placed with the very math the view module frames it with.
using view::Mat3;
using view::rotation;
using view::transpose;
using view::Vec3;

using dataset::Mesh;

// Building a mesh: a vertex (its index returned), a face, and a quad with
// corners counter-clockwise from outside, a to b being the direction the
// texture's rows should run along (see dataset::Face).
int add(Mesh& mesh, Vec3 v);
void triangle(Mesh& mesh, int a, int b, int c);
void quad(Mesh& mesh, int a, int b, int c, int d);

// Points of a rectangle with rounded corners in the x-z plane at height y,
// centred on (cx, cz), going round so that the front (+z) side runs towards
// +x; starts at the right end of the front side, `segments` steps per corner.
std::vector<Vec3> roundedOutline(double cx, double cz, double halfX, double halfZ, double radius,
                                 int segments, double y);

// Upright walls between two copies of an outline, split into `rows` bands.
// Faces point outward, or inward when `inward` is set.
void addWalls(Mesh& mesh, const std::vector<Vec3>& outline, double y0, double y1, int rows,
              bool inward);

// A flat cap over an outline (a fan from its centre), facing up or down.
void addCap(Mesh& mesh, const std::vector<Vec3>& outline, bool up);

// Strip joining two outlines of equal length (a rim between an outer and an
// inner wall), facing up or down.
void addRim(Mesh& mesh, const std::vector<Vec3>& outer, const std::vector<Vec3>& inner, bool up);

// A flat wall of a thin shell, seen from outside with `right` pointing right
// and `up` pointing up; `origin` is its lower-left outer corner and the shell
// is `thickness` deep behind it. The wall is cut into cols x rows cells; the
// cells flagged in `holes` (row-major, row 0 at the bottom) get a round hole
// of `holeRadius` through the wall.
struct Panel {
  Vec3 origin;
  Vec3 right;
  Vec3 up;
  double width = 1.0;
  double height = 1.0;
  double thickness = 0.1;
  int cols = 1;
  int rows = 1;
  std::vector<bool> holes;
  double holeRadius = 0.0;
};
void addPanel(Mesh& mesh, const Panel& panel);

// A cylinder along z from z0 to z1 around (cx, cy), closed at both ends. With
// `teeth` > 0 its rim alternates between radius and radius * toothDepth, like
// a knurled wheel.
void addCylinderZ(Mesh& mesh, double cx, double cy, double z0, double z1, double radius,
                  int segments, int teeth = 0, double toothDepth = 1.0);

}  // namespace datagen

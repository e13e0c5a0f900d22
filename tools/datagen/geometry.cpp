#include "tools/datagen/geometry.h"

#include <cmath>
#include <cstddef>

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

// Vertices of a ring of points lifted to height y.
std::vector<int> addRing(Mesh& mesh, const std::vector<Vec3>& outline, double y) {
  std::vector<int> ids;
  ids.reserve(outline.size());
  for (Vec3 p : outline) ids.push_back(add(mesh, {p.x, y, p.z}));
  return ids;
}

Vec3 centreOf(const std::vector<Vec3>& points) {
  Vec3 sum;
  for (Vec3 p : points) sum = sum + p;
  return (1.0 / static_cast<double>(points.size())) * sum;
}

// The 12 points round the border of a panel cell, counter-clockwise from its
// lower-left corner, as (column, row) steps of the panel's point grid.
std::array<std::array<int, 2>, 12> cellBorder(int col, int row) {
  std::array<std::array<int, 2>, 12> border{};
  const int i0 = 3 * col;
  const int j0 = 3 * row;
  for (int k = 0; k < 3; ++k) {
    border[k] = {i0 + k, j0};
    border[3 + k] = {i0 + 3, j0 + k};
    border[6 + k] = {i0 + 3 - k, j0 + 3};
    border[9 + k] = {i0, j0 + 3 - k};
  }
  return border;
}

struct PanelSurface {
  std::vector<int> grid;  // (3 cols + 1) x (3 rows + 1) points, row-major
  int stride = 0;
  int at(int i, int j) const { return grid[static_cast<size_t>(j * stride + i)]; }
};

PanelSurface addPanelGrid(Mesh& mesh, const Panel& p, Vec3 offset) {
  PanelSurface s;
  s.stride = 3 * p.cols + 1;
  const int lines = 3 * p.rows + 1;
  for (int j = 0; j < lines; ++j) {
    for (int i = 0; i < s.stride; ++i) {
      const double u = p.width * i / (3.0 * p.cols);
      const double v = p.height * j / (3.0 * p.rows);
      s.grid.push_back(add(mesh, p.origin + offset + u * p.right + v * p.up));
    }
  }
  return s;
}

void addPlainCell(Mesh& mesh, const PanelSurface& s, int col, int row, bool inward) {
  for (int j = 3 * row; j < 3 * row + 3; ++j) {
    for (int i = 3 * col; i < 3 * col + 3; ++i) {
      const int a = s.at(i, j), b = s.at(i + 1, j), c = s.at(i + 1, j + 1), d = s.at(i, j + 1);
      if (inward) {
        quad(mesh, b, a, d, c);
      } else {
        quad(mesh, a, b, c, d);
      }
    }
  }
}

// A cell with a round hole: a ring from the cell's border to the hole's edge
// on both surfaces, and the hole's wall between them.
void addHoleCell(Mesh& mesh, const Panel& p, const PanelSurface& outer, const PanelSurface& inner,
                 int col, int row) {
  const Vec3 normal = cross(p.right, p.up);
  const double cellW = p.width / p.cols;
  const double cellH = p.height / p.rows;
  const double cu = (col + 0.5) * cellW;
  const double cv = (row + 0.5) * cellH;
  const auto border = cellBorder(col, row);
  std::array<int, 12> outerEdge{}, innerEdge{};
  for (size_t k = 0; k < border.size(); ++k) {
    const double u = p.width * border[k][0] / (3.0 * p.cols) - cu;
    const double v = p.height * border[k][1] / (3.0 * p.rows) - cv;
    const double angle = std::atan2(v, u);
    const Vec3 onEdge = p.origin + (cu + p.holeRadius * std::cos(angle)) * p.right +
                        (cv + p.holeRadius * std::sin(angle)) * p.up;
    outerEdge[k] = add(mesh, onEdge);
    innerEdge[k] = add(mesh, onEdge - p.thickness * normal);
  }
  for (size_t k = 0; k < border.size(); ++k) {
    const size_t n = (k + 1) % border.size();
    const auto [i0, j0] = border[k];
    const auto [i1, j1] = border[n];
    quad(mesh, outer.at(i0, j0), outer.at(i1, j1), outerEdge[n], outerEdge[k]);
    quad(mesh, inner.at(i1, j1), inner.at(i0, j0), innerEdge[k], innerEdge[n]);
    quad(mesh, outerEdge[n], outerEdge[k], innerEdge[k], innerEdge[n]);
  }
}

}  // namespace

int add(Mesh& mesh, Vec3 v) {
  mesh.vertices.push_back(v);
  return static_cast<int>(mesh.vertices.size()) - 1;
}

void triangle(Mesh& mesh, int a, int b, int c) { mesh.faces.push_back({a, b, c}); }

void quad(Mesh& mesh, int a, int b, int c, int d) {
  triangle(mesh, d, a, b);
  triangle(mesh, b, c, d);
}

std::vector<Vec3> roundedOutline(double cx, double cz, double halfX, double halfZ, double radius,
                                 int segments, double y) {
  const double sx[4] = {1, 1, -1, -1};
  const double sz[4] = {1, -1, -1, 1};
  std::vector<Vec3> points;
  for (int corner = 0; corner < 4; ++corner) {
    const double ox = cx + sx[corner] * (halfX - radius);
    const double oz = cz + sz[corner] * (halfZ - radius);
    const double start = 90.0 - 90.0 * corner;
    for (int k = 0; k <= segments; ++k) {
      const double a = radians(start - 90.0 * k / segments);
      points.push_back({ox + radius * std::cos(a), y, oz + radius * std::sin(a)});
    }
  }
  return points;
}

void addWalls(Mesh& mesh, const std::vector<Vec3>& outline, double y0, double y1, int rows,
              bool inward) {
  std::vector<std::vector<int>> rings;
  for (int j = 0; j <= rows; ++j)
    rings.push_back(addRing(mesh, outline, y0 + (y1 - y0) * j / rows));
  const size_t n = outline.size();
  for (int j = 0; j < rows; ++j) {
    for (size_t i = 0; i < n; ++i) {
      const size_t next = (i + 1) % n;
      const int a = rings[j][i], b = rings[j][next], c = rings[j + 1][next], d = rings[j + 1][i];
      if (inward) {
        quad(mesh, b, a, d, c);
      } else {
        quad(mesh, a, b, c, d);
      }
    }
  }
}

void addCap(Mesh& mesh, const std::vector<Vec3>& outline, bool up) {
  const int centre = add(mesh, centreOf(outline));
  const std::vector<int> ring = addRing(mesh, outline, outline.front().y);
  const size_t n = ring.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t next = (i + 1) % n;
    if (up) {
      triangle(mesh, centre, ring[i], ring[next]);
    } else {
      triangle(mesh, centre, ring[next], ring[i]);
    }
  }
}

void addRim(Mesh& mesh, const std::vector<Vec3>& outer, const std::vector<Vec3>& inner, bool up) {
  const std::vector<int> o = addRing(mesh, outer, outer.front().y);
  const std::vector<int> in = addRing(mesh, inner, inner.front().y);
  const size_t n = o.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t next = (i + 1) % n;
    if (up) {
      quad(mesh, o[i], o[next], in[next], in[i]);
    } else {
      quad(mesh, o[next], o[i], in[i], in[next]);
    }
  }
}

void addPanel(Mesh& mesh, const Panel& p) {
  const Vec3 normal = cross(p.right, p.up);
  const PanelSurface outer = addPanelGrid(mesh, p, {});
  const PanelSurface inner = addPanelGrid(mesh, p, -p.thickness * normal);
  for (int row = 0; row < p.rows; ++row) {
    for (int col = 0; col < p.cols; ++col) {
      const size_t cell = static_cast<size_t>(row * p.cols + col);
      if (cell < p.holes.size() && p.holes[cell]) {
        addHoleCell(mesh, p, outer, inner, col, row);
      } else {
        addPlainCell(mesh, outer, col, row, false);
        addPlainCell(mesh, inner, col, row, true);
      }
    }
  }
}

void addCylinderZ(Mesh& mesh, double cx, double cy, double z0, double z1, double radius,
                  int segments, int teeth, double toothDepth) {
  const int n = teeth > 0 ? 2 * teeth : segments;
  std::vector<Vec3> rim;
  for (int k = 0; k < n; ++k) {
    const double a = 2.0 * kPi * k / n;
    const double r = (teeth > 0 && k % 2 == 1) ? radius * toothDepth : radius;
    rim.push_back({cx + r * std::cos(a), cy + r * std::sin(a), 0.0});
  }
  std::vector<int> back, front;
  for (Vec3 p : rim) {
    back.push_back(add(mesh, {p.x, p.y, z0}));
    front.push_back(add(mesh, {p.x, p.y, z1}));
  }
  const int backCentre = add(mesh, {cx, cy, z0});
  const int frontCentre = add(mesh, {cx, cy, z1});
  for (size_t k = 0; k < rim.size(); ++k) {
    const size_t next = (k + 1) % rim.size();
    quad(mesh, back[k], back[next], front[next], front[k]);
    triangle(mesh, frontCentre, front[k], front[next]);
    triangle(mesh, backCentre, back[next], back[k]);
  }
}

}  // namespace datagen

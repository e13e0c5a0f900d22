#include "importer/winding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace importer {

namespace {

using dataset::Face;
using view::Vec3;

// One side of a face: the undirected edge it lies on, and whether the face
// runs along it from the lower vertex number to the higher.
struct Side {
  std::uint64_t edge;
  size_t face;
  bool rising;
  bool operator<(const Side& other) const { return edge < other.edge; }
};

std::vector<Side> sidesOf(const dataset::Mesh& mesh) {
  std::vector<Side> sides;
  sides.reserve(3 * mesh.faces.size());
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    for (int k = 0; k < 3; ++k) {
      const auto a = static_cast<std::uint32_t>(mesh.faces[f][k]);
      const auto b = static_cast<std::uint32_t>(mesh.faces[f][(k + 1) % 3]);
      sides.push_back({(std::uint64_t{std::min(a, b)} << 32) | std::max(a, b), f, a < b});
    }
  }
  std::stable_sort(sides.begin(), sides.end());
  return sides;
}

// For every face, whether to turn it over so that it agrees with the face
// its piece started from, and which piece it belongs to.
struct Pieces {
  std::vector<bool> turn;
  std::vector<size_t> piece;
  size_t count = 0;
};

Pieces matchNeighbours(const dataset::Mesh& mesh) {
  const std::vector<Side> sides = sidesOf(mesh);
  // Each face's three sides, as positions in `sides`.
  std::vector<std::array<size_t, 3>> sidesOfFace(mesh.faces.size());
  std::vector<int> filled(mesh.faces.size(), 0);
  for (size_t i = 0; i < sides.size(); ++i) {
    sidesOfFace[sides[i].face][static_cast<size_t>(filled[sides[i].face]++)] = i;
  }
  const size_t none = mesh.faces.size();
  Pieces p{std::vector<bool>(mesh.faces.size(), false), std::vector<size_t>(none, none), 0};
  std::vector<size_t> queue;
  for (size_t start = 0; start < mesh.faces.size(); ++start) {
    if (p.piece[start] != none) continue;
    p.piece[start] = p.count;
    queue.assign(1, start);
    while (!queue.empty()) {
      const size_t f = queue.back();
      queue.pop_back();
      for (size_t at : sidesOfFace[f]) {
        // Every other face on the same edge.
        size_t first = at, last = at;
        while (first > 0 && sides[first - 1].edge == sides[at].edge) --first;
        while (last + 1 < sides.size() && sides[last + 1].edge == sides[at].edge) ++last;
        for (size_t j = first; j <= last; ++j) {
          const size_t g = sides[j].face;
          if (g == f || p.piece[g] != none) continue;
          // Agreeing neighbours run along their shared edge in opposite directions.
          p.turn[g] = p.turn[f] != (sides[j].rising == sides[at].rising);
          p.piece[g] = p.count;
          queue.push_back(g);
        }
      }
    }
    ++p.count;
  }
  return p;
}

Vec3 at(const dataset::Mesh& mesh, int corner) {
  return mesh.vertices[static_cast<size_t>(corner)];
}

}  // namespace

size_t windOutward(dataset::Mesh& mesh) {
  if (mesh.faces.empty()) return 0;
  Pieces pieces = matchNeighbours(mesh);
  // Each piece's signed volume (six times it) as its faces now agree, about
  // the piece's first corner so that distant models lose no precision, and
  // the sizes for telling a flat piece from a solid.
  std::vector<double> volume(pieces.count, 0.0), scale(pieces.count, 0.0);
  std::vector<size_t> agreeing(pieces.count, 0), faces(pieces.count, 0);
  std::vector<Vec3> origin(pieces.count);
  std::vector<bool> seen(pieces.count, false);
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    const size_t piece = pieces.piece[f];
    const Face& c = mesh.faces[f];
    if (!seen[piece]) origin[piece] = at(mesh, c[0]), seen[piece] = true;
    const Vec3 a = at(mesh, c[0]) - origin[piece];
    const Vec3 b = at(mesh, c[1]) - origin[piece];
    const Vec3 d = at(mesh, c[2]) - origin[piece];
    const double v = view::dot(a, view::cross(b, d));
    volume[piece] += pieces.turn[f] ? -v : v;
    scale[piece] += std::abs(v);
    faces[piece] += 1;
    agreeing[piece] += pieces.turn[f] ? 0 : 1;
  }
  std::vector<bool> turnPiece(pieces.count);
  for (size_t k = 0; k < pieces.count; ++k) {
    const bool flat = !(std::abs(volume[k]) > 1e-9 * scale[k]);
    turnPiece[k] = flat ? 2 * agreeing[k] < faces[k] : volume[k] < 0.0;
  }
  size_t turned = 0;
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    if (pieces.turn[f] != turnPiece[pieces.piece[f]]) {
      std::swap(mesh.faces[f][1], mesh.faces[f][2]);
      ++turned;
    }
  }
  return turned;
}

}  // namespace importer

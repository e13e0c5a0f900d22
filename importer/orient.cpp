#include "importer/orient.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>

namespace importer {

namespace {

view::Vec3 unit(int axis, int sign) {
  view::Vec3 v;
  (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = sign;
  return v;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

view::Mat3 uprightBasis(UpAxis up) {
  const view::Vec3 u = unit(up.axis, up.sign);
  // Y up and Z up keep the file's x as the right; with X up the file's z
  // stays the front. Right-handed: right x up is front.
  const view::Vec3 front = up.axis == 1   ? unit(2, up.sign)
                           : up.axis == 2 ? unit(1, -up.sign)
                                          : unit(2, 1);
  const view::Vec3 right = view::cross(u, front);
  return {{{right.x, right.y, right.z}, {u.x, u.y, u.z}, {front.x, front.y, front.z}}};
}

std::optional<UpAxis> parseUpAxis(const std::string& text) {
  std::string t = lower(text);
  int sign = 1;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    sign = t[0] == '-' ? -1 : 1;
    t.erase(0, 1);
  }
  if (t == "x") return UpAxis{0, sign};
  if (t == "y") return UpAxis{1, sign};
  if (t == "z") return UpAxis{2, sign};
  return std::nullopt;
}

std::string upAxisName(UpAxis up) { return std::string(up.sign < 0 ? "-" : "+") + "xyz"[up.axis]; }

UpAxis conventionalUpAxis(const std::string& path) {
  const std::string extension = lower(std::filesystem::path(path).extension().string());
  if (extension == ".stl" || extension == ".3ds") return UpAxis{2, 1};
  return UpAxis{1, 1};
}

UpAxis defaultUpAxis(const std::string& path) {
  const std::string extension = lower(std::filesystem::path(path).extension().string());
  if (extension == ".stl") return UpAxis{2, 1};
  return UpAxis{1, 1};
}

void orientMesh(Mesh& mesh, const Orientation& orientation) {
  // Counter-clockwise seen from above is a positive turn about +y.
  const view::Mat3 turn = view::rotation({orientation.turnDegrees, {0.0, 1.0, 0.0}});
  const view::Mat3 basis = uprightBasis(orientation.up);
  auto asFloat = [](double c) {
    // A turn can take a coordinate near the largest float beyond it.
    if (!(std::abs(c) <= std::numeric_limits<float>::max())) {
      throw ImportError("a coordinate is too large for floats once the model is turned");
    }
    return static_cast<double>(static_cast<float>(c));
  };
  for (view::Vec3& v : mesh.vertices) {
    const view::Vec3 turned = turn * (basis * v);
    v = {asFloat(turned.x), asFloat(turned.y), asFloat(turned.z)};
  }
}

}  // namespace importer

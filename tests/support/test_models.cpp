#include "tests/support/test_models.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace testmodels {

std::string houseObj() {
  return "# a house, written as a modeller writes it\n"
         "mtllib house.mtl\n"
         "o walls\n"
         "v -1 0 0.5\n"
         "v 1 0 0.5\n"
         "vt 0 0\n"
         "vn 0 0 1\n"
         "v 1 2 0.5\n"
         "v 0 3 0.5\n"
         "v -1 2 0.5\n"
         "vt 1 0\n"
         "vt 1 1\n"
         "vn 0 0 -1\n"
         "vn 1 0 0\n"
         "v -1 0 -0.5\n"
         "v 1 0 -0.5\n"
         "v 1 2 -0.5\n"
         "v 0 3 -0.5\n"
         "v -1 2 -0.5\n"
         "vn -1 0 0\n"
         "vn 0 -1 0\n"
         "g front\n"
         "usemtl brick\n"
         "f 1/1/1 2/2/1 3/3/1 4/1/1 5/2/1\n"
         "g back\n"
         "f 6/1/2 10/2/2 9/3/2 8/1/2 7/2/2\n"
         "g sides\n"
         "f 2//3 7//3 8//3 3//3\n"
         "f\t6//4\t1//4\t5//4\t10//4\n"
         "s 1\n"
         "f 6/1 7/2 2/3 1/1\n"
         "o roof\n"
         "vn 0.7 0.7 0\n"
         "vn -0.7 0.7 0\n"
         "usemtl tiles\n"
         "f -8//-2 -3//-2 -2//-2 -7//-2\n"
         "f -6//-1 -7//-1 -2//-1 -1//-1\n";
}

std::string houseObjPlain() {
  return "v -1 0 0.5\nv 1 0 0.5\nv 1 2 0.5\nv 0 3 0.5\nv -1 2 0.5\n"
         "v -1 0 -0.5\nv 1 0 -0.5\nv 1 2 -0.5\nv 0 3 -0.5\nv -1 2 -0.5\n"
         "f 1 2 3 4 5\nf 6 10 9 8 7\nf 2 7 8 3\nf 6 1 5 10\nf 6 7 2 1\n"
         "f 3 8 9 4\nf 5 4 9 10\n";
}

namespace {

void putFloat(std::string& out, float value) {
  char bytes[4];
  std::memcpy(bytes, &value, 4);  // little-endian on the machines the tests run on
  out.append(bytes, 4);
}

}  // namespace

std::string pyramidStl() {
  struct P {
    float x, y, z;
  };
  const P a{-1, -1, 0}, b{1, -1, 0}, c{1, 1, 0}, d{-1, 1, 0}, apex{0, 0, 3};
  const P triangles[6][3] = {{a, c, b},    {a, d, c},    {a, b, apex},
                             {b, c, apex}, {c, d, apex}, {d, a, apex}};
  // An 80-byte header that must not begin with "solid", the ASCII form's word.
  std::string out = "pyramid, binary STL";
  out.resize(80, ' ');
  const std::uint32_t count = 6;
  out.append(reinterpret_cast<const char*>(&count), 4);
  for (const auto& t : triangles) {
    for (int i = 0; i < 3; ++i) putFloat(out, 0.0f);  // normal: readers recompute it
    for (const P& p : t) {
      putFloat(out, p.x);
      putFloat(out, p.y);
      putFloat(out, p.z);
    }
    out.append(2, '\0');
  }
  return out;
}

std::string barPly() {
  return "ply\n"
         "format ascii 1.0\n"
         "comment a bar, longer than it is high or deep\n"
         "element vertex 8\n"
         "property float x\nproperty float y\nproperty float z\n"
         "property float nx\nproperty float ny\nproperty float nz\n"
         "element face 6\n"
         "property list uchar int vertex_indices\n"
         "end_header\n"
         "-2 0 -0.5 0 0 -1\n2 0 -0.5 0 0 -1\n2 1 -0.5 0 0 -1\n-2 1 -0.5 0 0 -1\n"
         "-2 0 0.5 0 0 1\n2 0 0.5 0 0 1\n2 1 0.5 0 0 1\n-2 1 0.5 0 0 1\n"
         "4 4 5 6 7\n4 1 0 3 2\n4 5 1 2 6\n4 0 4 7 3\n4 7 6 2 3\n4 0 1 5 4\n";
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace testmodels

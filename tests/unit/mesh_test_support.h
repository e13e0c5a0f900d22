// Helpers for the mesh tests: read `.m` text without a file and keep what
// the reader and the preparation write.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "mesh/mesh.h"
#include "mesh/reader.h"

namespace meshtest {

// Runs `f` with a stream and returns everything it wrote there.
template <typename F>
std::string printedBy(F&& f) {
  std::ostringstream out;
  std::forward<F>(f)(out);
  return out.str();
}

// Reads `text` as the file "t.m" into `meshes`; returns what was printed.
inline std::string readText(MeshState& meshes, const std::string& text, int isBase) {
  std::istringstream in(text);
  return printedBy([&](std::ostream& out) { readStream(meshes, in, isBase, "t.m", out); });
}

// The lines a base-mesh face prints when it is read with corners a, b, c.
inline std::string baseFaceOutput(int a, int b, int c) {
  return "j is " + std::to_string(a) + "\nj is " + std::to_string(b) + "\nj is " +
         std::to_string(c) +
         "\ncalculating center and normal...\nint isBase is 1...\n"
         "vectors set and ready...\nfinished calculations\n";
}

// A string literal with its NUL bytes kept.
template <size_t N>
std::string bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

inline void expectVector(const Vector3& v, float x, float y, float z) {
  EXPECT_FLOAT_EQ(v.x, x);
  EXPECT_FLOAT_EQ(v.y, y);
  EXPECT_FLOAT_EQ(v.z, z);
}

}  // namespace meshtest

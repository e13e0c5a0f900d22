#include "tools/bench/synthetic_mesh.h"

#include <cmath>
#include <cstdio>

namespace bench {
namespace {

constexpr size_t kCellsAcross = 100;
constexpr size_t kFacesPerRow = 2 * kCellsAcross;

void appendLine(std::string& text, const char* format, double a, double b, double c) {
  char line[96];
  const int n = std::snprintf(line, sizeof line, format, a, b, c);
  text.append(line, static_cast<size_t>(n));
}

void appendFace(std::string& text, size_t a, size_t b, size_t c) {
  char line[64];
  const int n = std::snprintf(line, sizeof line, "f %zu %zu %zu\n", a, b, c);
  text.append(line, static_cast<size_t>(n));
}

}  // namespace

std::string syntheticMesh(size_t faces) {
  const size_t rows = (faces + kFacesPerRow - 1) / kFacesPerRow;
  const size_t across = kCellsAcross + 1;
  std::string text;
  text.reserve(rows * (across * 30 + kFacesPerRow * 24));
  for (size_t j = 0; j <= rows; ++j) {
    for (size_t i = 0; i < across; ++i) {
      const double x = 0.01 * static_cast<double>(i);
      const double y = 0.01 * static_cast<double>(j);
      appendLine(text, "v %.6f %.6f %.6f\n", x, y, 0.05 * std::sin(7.0 * x) * std::cos(5.0 * y));
    }
  }
  for (size_t j = 0; j < rows; ++j) {
    for (size_t i = 0; i < kCellsAcross; ++i) {
      const size_t a = j * across + i + 1;  // 1-based vertex numbers
      const size_t b = a + 1;
      const size_t c = a + across;
      const size_t d = c + 1;
      appendFace(text, a, b, d);
      appendFace(text, a, d, c);
    }
  }
  return text;
}

}  // namespace bench

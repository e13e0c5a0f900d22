#include "tools/datagen/data_set.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "tools/datagen/images.h"
#include "tools/datagen/lighter_model.h"

namespace datagen {

namespace {

void writeBytes(const std::filesystem::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void writeText(const std::filesystem::path& path, const std::string& text) {
  writeBytes(path, text.data(), text.size());
}

void writeImage(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  writeBytes(path, bytes.data(), bytes.size());
}

}  // namespace

std::string meshText(const Mesh& mesh, const std::string& title) {
  std::string text = "# " + title + ": " + std::to_string(mesh.vertices.size()) + " vertices, " +
                     std::to_string(mesh.faces.size()) + " faces\n";
  char line[128];
  for (const Vec3& v : mesh.vertices) {
    std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", v.x, v.y, v.z);
    text += line;
  }
  for (const auto& f : mesh.faces) {
    std::snprintf(line, sizeof line, "f %d %d %d\n", f[0] + 1, f[1] + 1, f[2] + 1);
    text += line;
  }
  return text;
}

void writeDataSet(const std::filesystem::path& dir) {
  std::filesystem::create_directories(dir / "Data");
  const Lighter lighter = buildLighter();
  writeText(dir / "lighterBase.m", meshText(lighter.base, "lighter body"));
  writeText(dir / "lighterTop.m", meshText(lighter.lid, "lighter lid"));
  writeImage(dir / "topTexture.bmp", encodeBmp(lidPattern()));
  writeImage(dir / "baseTexture.bmp", encodeBmp(bodyPattern()));
  writeImage(dir / "silverTexture.bmp", encodeBmp(brushedSilver()));
  writeImage(dir / "Data" / "Particle.raw", particleGlow());
}

}  // namespace datagen

#include "tests/support/look_data.h"

#include <fstream>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "dataset/data_directory.h"
#include "framing/frame.h"
#include "look/look.h"
#include "textures/image.h"

namespace lookdata {

namespace {

// A model as the importer's framing takes it (upright, facing the viewer),
// with its look, one entry per vertex.
struct Model {
  dataset::Mesh mesh;
  MeshLook look;
};

void addVertex(Model& m, float x, float y, float z) { m.mesh.vertices.push_back({x, y, z}); }

void addQuad(Model& m, unsigned a, unsigned b, unsigned c, unsigned d) {
  const int v[4] = {static_cast<int>(a), static_cast<int>(b), static_cast<int>(c),
                    static_cast<int>(d)};
  m.mesh.faces.push_back({v[0], v[1], v[2]});
  m.mesh.faces.push_back({v[0], v[2], v[3]});
}

// A box from (x0, y0, z0) to (x1, y1, z1), eight corners, faces wound
// outward.
void addBox(Model& m, float x0, float y0, float z0, float x1, float y1, float z1, Rgb8 colour) {
  const auto base = static_cast<unsigned>(m.mesh.vertices.size());
  for (int i = 0; i < 8; ++i) {
    addVertex(m, (i & 1) ? x1 : x0, (i & 2) ? y1 : y0, (i & 4) ? z1 : z0);
    m.look.rgb.insert(m.look.rgb.end(), {colour.r, colour.g, colour.b});
  }
  const unsigned faces[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
  for (const auto& f : faces) addQuad(m, base + f[0], base + f[1], base + f[2], base + f[3]);
}

Image fourColourTexture() {
  // Row 0 is the picture's bottom row, as the BMP reader gives it.
  Image image;
  image.width = 4;
  image.height = 4;
  for (uint32_t y = 0; y < 4; ++y) {
    for (uint32_t x = 0; x < 4; ++x) {
      const bool top = y >= 2, right = x >= 2;
      const Rgb8 c = top ? (right ? kTopRight : kTopLeft) : (right ? kBottomRight : kBottomLeft);
      image.data.insert(image.data.end(), {c.r, c.g, c.b});
    }
  }
  return image;
}

void writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

// Frames the model as the importer does, writes the data directory, then the
// body's sidecar. Vertices the framing adds (depth markers) are named by no
// face; they get the look's first entry.
void writeModel(const std::string& dir, Model model) {
  const framing::FramedModel framed = framing::frameModel(model.mesh);
  const size_t count = framed.base.vertices.size();
  auto pad = [&](auto& values, size_t per) {
    if (values.empty()) return;
    std::vector<typename std::decay_t<decltype(values)>::value_type> first(values.begin(),
                                                                           values.begin() + per);
    while (values.size() < per * count) values.insert(values.end(), first.begin(), first.end());
  };
  pad(model.look.uv, 2);
  pad(model.look.rgb, 3);
  dataset::DataSet data;
  data.body = &framed.base;
  dataset::writeDataDirectory(dir, data, false);
  writeFileBytes(dir + "/" + kBaseLookFile, encodeLook(model.look, count));
}

}  // namespace

void writeTexturedQuad(const std::string& dir, bool texture) {
  Model quad;
  const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
  for (const auto& c : corners) {
    addVertex(quad, c[0], c[1], 0.0f);
    quad.look.uv.insert(quad.look.uv.end(), {(c[0] + 1) / 2, (c[1] + 1) / 2});
  }
  addQuad(quad, 0, 1, 2, 3);
  writeModel(dir, std::move(quad));
  if (texture) writeFileBytes(dir + "/" + kModelTextureFile, encodeBmp(fourColourTexture()));
}

void writeTwoColourBoxes(const std::string& dir) {
  Model boxes;
  addBox(boxes, -1, 0, -1, 1, 2, 1, kLowerBox);
  addBox(boxes, -1, 2, -1, 1, 4, 1, kUpperBox);
  writeModel(dir, std::move(boxes));
}

size_t bodyVertexCount(const std::string& dir) {
  std::ifstream in(dir + "/lighterBase.m");
  size_t count = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t at = line.find_first_not_of(" \t\r\v\f");
    if (at != std::string::npos && line[at] == 'v') ++count;
  }
  return count;
}

void writeBytes(const std::string& dir, const std::string& name, const std::string& bytes) {
  writeFileBytes(dir + "/" + name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

}  // namespace lookdata

#include "tools/shapes/shapes.h"

#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Exporter.hpp>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>

namespace shapes {

using importer::Mesh;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct ProfilePoint {
  double radius;
  double height;
};

// A surface of revolution about y through the profile's points, bottom to
// top; points on the axis (radius 0) become single vertices.
Mesh lathe(const std::vector<ProfilePoint>& profile, size_t segments) {
  Mesh m;
  std::vector<std::vector<int>> rings;
  for (const ProfilePoint& p : profile) {
    std::vector<int> ring;
    const size_t count = p.radius == 0.0 ? 1 : segments;
    for (size_t k = 0; k < count; ++k) {
      const double a = 2.0 * kPi * static_cast<double>(k) / static_cast<double>(segments);
      ring.push_back(static_cast<int>(m.vertices.size()));
      // Floats, as a model file holds them.
      m.vertices.push_back({static_cast<float>(p.radius * std::sin(a)),
                            static_cast<float>(p.height),
                            static_cast<float>(p.radius * std::cos(a))});
    }
    rings.push_back(std::move(ring));
  }
  auto at = [](const std::vector<int>& ring, size_t k) { return ring[k % ring.size()]; };
  for (size_t r = 0; r + 1 < rings.size(); ++r) {
    const auto& lo = rings[r];
    const auto& hi = rings[r + 1];
    for (size_t k = 0; k < segments; ++k) {
      // Counter-clockwise seen from outside.
      if (lo.size() > 1) m.faces.push_back({at(lo, k), at(lo, k + 1), at(hi, k)});
      if (hi.size() > 1) {
        m.faces.push_back({at(lo, k + 1), at(hi, k + 1), at(hi, k)});
      }
    }
  }
  return m;
}

// The profile with each of its spans cut into pieces, and the number of
// segments around, so that the lathe has about `faces` triangles, no fewer.
Mesh latheWithFaces(const std::vector<ProfilePoint>& profile, size_t faces) {
  const size_t spans = profile.size() - 1;
  const auto segments = std::max<size_t>(12, static_cast<size_t>(std::sqrt(faces)));
  const size_t perPiece = 2 * segments * spans;
  const auto pieces = std::max<size_t>(1, (faces + perPiece - 1) / perPiece);
  std::vector<ProfilePoint> fine;
  for (size_t i = 0; i < spans; ++i) {
    for (size_t k = 0; k < pieces; ++k) {
      const double t = static_cast<double>(k) / static_cast<double>(pieces);
      fine.push_back({profile[i].radius + t * (profile[i + 1].radius - profile[i].radius),
                      profile[i].height + t * (profile[i + 1].height - profile[i].height)});
    }
  }
  fine.push_back(profile.back());
  return lathe(fine, segments);
}

void addQuadGrid(Mesh& m, const double origin[3], const double u[3], const double v[3],
                 size_t cells) {
  const auto first = static_cast<int>(m.vertices.size());
  for (size_t j = 0; j <= cells; ++j) {
    for (size_t i = 0; i <= cells; ++i) {
      const double s = static_cast<double>(i) / static_cast<double>(cells);
      const double t = static_cast<double>(j) / static_cast<double>(cells);
      float p[3];
      for (int c = 0; c < 3; ++c) p[c] = static_cast<float>(origin[c] + s * u[c] + t * v[c]);
      m.vertices.push_back({p[0], p[1], p[2]});
    }
  }
  const auto row = static_cast<int>(cells + 1);
  for (int j = 0; j < static_cast<int>(cells); ++j) {
    for (int i = 0; i < static_cast<int>(cells); ++i) {
      const int a = first + j * row + i;
      m.faces.push_back({a, a + 1, a + row + 1});
      m.faces.push_back({a, a + row + 1, a + row});
    }
  }
}

// An axis-aligned box from `low` to `high`, each side a grid of cells.
Mesh boxBetween(const double low[3], const double high[3], size_t faces) {
  const auto cells = std::max<size_t>(1, static_cast<size_t>(std::ceil(std::sqrt(faces / 12.0))));
  Mesh m;
  const double x0 = low[0], y0 = low[1], z0 = low[2], x1 = high[0], y1 = high[1], z1 = high[2];
  const double w = x1 - x0, h = y1 - y0, d = z1 - z0;
  // Each side: an origin and two edges whose cross product points outward.
  const double sides[6][9] = {
      {x0, y0, z1, w, 0, 0, 0, h, 0},  {x1, y0, z0, -w, 0, 0, 0, h, 0},
      {x1, y0, z1, 0, 0, -d, 0, h, 0}, {x0, y0, z0, 0, 0, d, 0, h, 0},
      {x0, y1, z1, w, 0, 0, 0, 0, -d}, {x0, y0, z0, w, 0, 0, 0, 0, d},
  };
  for (const auto& s : sides) addQuadGrid(m, &s[0], &s[3], &s[6], cells);
  return m;
}

// Turns the upright model into the axes of a file whose up axis is `up`.
std::vector<aiVector3D> fileVertices(const Mesh& mesh, importer::UpAxis up) {
  const view::Mat3 toFile = view::transpose(importer::uprightBasis(up));
  std::vector<aiVector3D> out;
  for (const view::Vec3& v : mesh.vertices) {
    const view::Vec3 p = toFile * v;
    out.emplace_back(static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z));
  }
  return out;
}

// OFF, which Assimp reads but does not write.
void writeOff(const std::vector<aiVector3D>& vertices, const Mesh& mesh, const std::string& path) {
  std::ofstream out(path);
  out << "OFF\n" << vertices.size() << " " << mesh.faces.size() << " 0\n";
  for (const aiVector3D& v : vertices) out << v.x << " " << v.y << " " << v.z << "\n";
  for (const dataset::Face& f : mesh.faces)
    out << "3 " << f[0] << " " << f[1] << " " << f[2] << "\n";
  if (!out) throw std::runtime_error("cannot write " + path);
}

// An Assimp scene of one mesh. The scene owns what it points to and frees it
// in its destructor, so the arrays are handed over as they are made.
std::unique_ptr<aiScene> sceneOf(const std::vector<aiVector3D>& vertices, const Mesh& mesh) {
  auto scene = std::make_unique<aiScene>();
  scene->mRootNode = new aiNode("model");
  scene->mRootNode->mNumMeshes = 1;
  scene->mRootNode->mMeshes = new unsigned int[1]{0};
  scene->mNumMaterials = 1;
  scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
  scene->mNumMeshes = 1;
  scene->mMeshes = new aiMesh* [1] { new aiMesh() };
  aiMesh& m = *scene->mMeshes[0];
  m.mName = "model";
  m.mMaterialIndex = 0;
  m.mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
  m.mNumVertices = static_cast<unsigned int>(vertices.size());
  m.mVertices = new aiVector3D[vertices.size()];
  std::copy(vertices.begin(), vertices.end(), m.mVertices);
  m.mNumFaces = static_cast<unsigned int>(mesh.faces.size());
  m.mFaces = new aiFace[mesh.faces.size()];
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    const dataset::Face& c = mesh.faces[f];
    m.mFaces[f].mNumIndices = 3;
    m.mFaces[f].mIndices = new unsigned int[3]{
        static_cast<unsigned>(c[0]), static_cast<unsigned>(c[1]), static_cast<unsigned>(c[2])};
  }
  return scene;
}

}  // namespace

Mesh candle(size_t faces) {
  // A church candle 4 cm across and 9 cm tall, its top melted into a shallow
  // bowl, the wick standing up from the middle.
  const std::vector<ProfilePoint> profile = {
      {0.0, 0.0},  {1.95, 0.0}, {2.0, 0.05}, {2.0, 8.6},  {1.98, 8.9}, {1.85, 9.0}, {1.6, 8.85},
      {0.9, 8.65}, {0.2, 8.6},  {0.09, 8.6}, {0.08, 9.3}, {0.1, 9.7},  {0.07, 9.9}, {0.0, 9.95},
  };
  return latheWithFaces(profile, faces);
}

Mesh box(size_t faces, double width, double height, double depth) {
  const double low[3] = {-width / 2.0, 0.0, -depth / 2.0};
  const double high[3] = {width / 2.0, height, depth / 2.0};
  return boxBetween(low, high, faces);
}

Mesh lighterCase(size_t faces) {
  const double low[3] = {-1.9, 0.0, -0.65}, high[3] = {1.9, 3.6, 0.65};
  return boxBetween(low, high, faces);
}

Mesh lighterLid(size_t faces) {
  const double low[3] = {-1.9, 3.6, -0.65}, high[3] = {1.9, 5.6, 0.65};
  return boxBetween(low, high, faces);
}

void exportModel(const Mesh& mesh, const std::string& path, importer::UpAxis up) {
  const std::vector<aiVector3D> vertices = fileVertices(mesh, up);
  std::string extension = path.substr(std::min(path.size(), path.rfind('.') + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "off") return writeOff(vertices, mesh, path);
  // Binary where a format has both; OBJ without a material file.
  const std::map<std::string, std::string> formats = {
      {"obj", "objnomtl"}, {"stl", "stlb"},    {"ply", "plyb"}, {"glb", "glb2"},
      {"gltf", "gltf2"},   {"dae", "collada"}, {"3ds", "3ds"}};
  const auto format = formats.find(extension);
  if (format == formats.end()) throw std::runtime_error("no exporter for ." + extension);
  const std::unique_ptr<aiScene> scene = sceneOf(vertices, mesh);
  Assimp::Exporter exporter;
  if (exporter.Export(scene.get(), format->second, path) != AI_SUCCESS) {
    throw std::runtime_error("cannot write " + path + ": " + exporter.GetErrorString());
  }
}

}  // namespace shapes

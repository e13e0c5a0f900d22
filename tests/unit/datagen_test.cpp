// The shipped data set: file layouts the program accepts, repeatable output,
// and the lighter framed in the window the way the click rectangle and the
// flame expect.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "tools/datagen/data_set.h"
#include "view/view_model.h"

namespace {

namespace fs = std::filesystem;

const char* const kFiles[] = {"lighterBase.m",   "lighterTop.m",      "topTexture.bmp",
                              "baseTexture.bmp", "silverTexture.bmp", "Data/Particle.raw"};

// A fresh directory under the temporary directory, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "datagen-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<uint8_t> bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The data set, made once per test process.
const fs::path& dataSet() {
  static TempDir dir;
  static bool made = false;
  if (!made) {
    datagen::writeDataSet(dir.path());
    made = true;
  }
  return dir.path();
}

// ---- Meshes as the program reads them ----------------------------------

struct Point {
  float x = 0, y = 0, z = 0;
};

struct MeshFile {
  std::vector<Point> vertices;
  std::vector<std::array<int, 3>> faces;  // 1-based, as written
  std::vector<std::string> problems;      // contract breaches, with line numbers
};

// Reads a mesh file checking the contract the reader relies on: lines of at
// most 255 characters, vertex lines with three numbers, face lines with
// exactly three corners that name vertices whose lines came before.
MeshFile readMesh(const fs::path& path) {
  MeshFile mesh;
  std::ifstream in(path);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const std::string where = path.filename().string() + ":" + std::to_string(number) + ": ";
    if (line.size() > 255) mesh.problems.push_back(where + "line longer than 255 characters");
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line.substr(1));
    if (line[0] == 'v') {
      Point p;
      if (std::sscanf(line.c_str(), "v %g %g %g", &p.x, &p.y, &p.z) != 3) {
        mesh.problems.push_back(where + "vertex line without three numbers");
      }
      mesh.vertices.push_back(p);
    } else if (line[0] == 'f') {
      std::vector<long> corners;
      for (std::string f; fields >> f;) corners.push_back(std::strtol(f.c_str(), nullptr, 10));
      if (corners.size() != 3) mesh.problems.push_back(where + "face without three corners");
      for (long c : corners) {
        if (c < 1 || c > static_cast<long>(mesh.vertices.size())) {
          mesh.problems.push_back(where + "corner " + std::to_string(c) + " not read yet");
        }
      }
      if (corners.size() == 3) {
        mesh.faces.push_back({static_cast<int>(corners[0]), static_cast<int>(corners[1]),
                              static_cast<int>(corners[2])});
      }
    } else {
      mesh.problems.push_back(where + "unexpected line");
    }
  }
  return mesh;
}

// ---- The program's view of the meshes ------------------------------------
// The program's own reader gives the scale divisor and the centres, and the
// program's view module takes each vertex to its window pixel.

view::MeshFrame frameOf(const fs::path& base, const fs::path& lid) {
  MeshState meshes;
  std::ostringstream commentary;  // not looked at here
  ReadFile(meshes, base.c_str(), 1, commentary, commentary);
  prepareMesh(meshes, 1, commentary);
  ReadFile(meshes, lid.c_str(), 0, commentary, commentary);
  prepareMesh(meshes, 0, commentary);
  const auto vec = [](const Vector3& v) { return view::Vec3{v.x, v.y, v.z}; };
  return {meshes.max_extent, vec(meshes.centerBase), vec(meshes.centerTop)};
}

struct Pixel {
  double x, y;  // from the window's lower-left corner
  double distance;
};

Pixel toWindow(const view::Vec3& world) {
  const view::Pixel p = view::worldToWindow(world);
  return {p.x, p.y, -view::worldToEye(world).z};
}

struct Projected {
  std::vector<Pixel> points;
  std::vector<std::array<int, 3>> faces;
};

Projected project(const MeshFile& mesh, const view::MeshFrame& frame, bool lid) {
  Projected p;
  for (const Point& v : mesh.vertices) {
    const view::Vec3 model{v.x, v.y, v.z};
    p.points.push_back(
        toWindow(lid ? view::lidToWorld(frame, model) : view::baseToWorld(frame, model)));
  }
  p.faces = mesh.faces;
  return p;
}

// Whether any face of the mesh covers the window point (x, y).
bool covers(const Projected& mesh, double x, double y) {
  for (const auto& f : mesh.faces) {
    const Pixel& a = mesh.points[static_cast<size_t>(f[0] - 1)];
    const Pixel& b = mesh.points[static_cast<size_t>(f[1] - 1)];
    const Pixel& c = mesh.points[static_cast<size_t>(f[2] - 1)];
    const double d1 = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
    const double d2 = (c.x - b.x) * (y - b.y) - (c.y - b.y) * (x - b.x);
    const double d3 = (a.x - c.x) * (y - c.y) - (a.y - c.y) * (x - c.x);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0;
    const bool positive = d1 > 0 || d2 > 0 || d3 > 0;
    if (!(negative && positive)) return true;
  }
  return false;
}

struct Box {
  double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
};

Box boxOf(const Projected& mesh) {
  Box b;
  for (const Pixel& p : mesh.points) {
    b.left = std::min(b.left, p.x);
    b.right = std::max(b.right, p.x);
    b.bottom = std::min(b.bottom, p.y);
    b.top = std::max(b.top, p.y);
  }
  return b;
}

struct Scene {
  MeshFile base, lid;
  Projected body, cover;
};

const Scene& scene() {
  static const Scene s = [] {
    Scene out;
    out.base = readMesh(dataSet() / "lighterBase.m");
    out.lid = readMesh(dataSet() / "lighterTop.m");
    const view::MeshFrame frame = frameOf(dataSet() / "lighterBase.m", dataSet() / "lighterTop.m");
    out.body = project(out.base, frame, false);
    out.cover = project(out.lid, frame, true);
    return out;
  }();
  return s;
}

// ---- Tests -----------------------------------------------------------------

TEST(DataSet, WritesEveryFileTheProgramLoads) {
  for (const char* name : kFiles) EXPECT_TRUE(fs::is_regular_file(dataSet() / name)) << name;
}

TEST(DataSet, IsTheSameByteForByteOnEveryRun) {
  TempDir again;
  datagen::writeDataSet(again.path());
  for (const char* name : kFiles) {
    EXPECT_EQ(bytesOf(dataSet() / name), bytesOf(again.path() / name)) << name;
  }
}

TEST(MeshFiles, FacesNameOnlyVerticesReadBeforeThem) {
  for (const MeshFile* mesh : {&scene().base, &scene().lid}) {
    EXPECT_TRUE(mesh->problems.empty()) << mesh->problems.front();
    EXPECT_FALSE(mesh->faces.empty());
  }
}

TEST(MeshFiles, HaveNoFaceWithoutAreaWhoseNormalWouldBeNotANumber) {
  for (const MeshFile* mesh : {&scene().base, &scene().lid}) {
    for (const auto& f : mesh->faces) {
      const Point& a = mesh->vertices[static_cast<size_t>(f[0] - 1)];
      const Point& b = mesh->vertices[static_cast<size_t>(f[1] - 1)];
      const Point& c = mesh->vertices[static_cast<size_t>(f[2] - 1)];
      const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
      const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
      const float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
      ASSERT_GT(std::sqrt(nx * nx + ny * ny + nz * nz), 0.0f)
          << "face " << f[0] << " " << f[1] << " " << f[2];
    }
  }
}

TEST(MeshFiles, StayCheapToDrawEveryFrame) {
  EXPECT_LE(scene().base.faces.size() + scene().lid.faces.size(), 5000u);
}

// Faces are blended additively under the depth test: a face drawn after a
// farther one adds onto it, so each mesh must come nearest first.
TEST(MeshFiles, ListFacesNearestFirstFromTheProgramsViewpoint) {
  for (const Projected* mesh : {&scene().body, &scene().cover}) {
    double previous = 0;
    for (const auto& f : mesh->faces) {
      double d = 0;
      for (int c : f) d += mesh->points[static_cast<size_t>(c - 1)].distance;
      ASSERT_GE(d, previous - 1e-4);
      previous = d;
    }
  }
}

TEST(Framing, BodyFillsTheClickRectangle) {
  const Box b = boxOf(scene().body);
  const view::PixelRect& area = view::kClickArea;
  // Inside the click rectangle (a pixel's slack at the top, where the
  // chimney's top sits on the window centre's row)...
  EXPECT_GE(b.left, area.left);
  EXPECT_LE(b.right, area.right);
  EXPECT_GE(b.bottom, area.bottom);
  EXPECT_LE(b.top, area.top + 1.0);
  // ...and filling it, so that clicks on the lighter count.
  EXPECT_LE(b.left, area.left + 10.0);
  EXPECT_GE(b.right, area.right - 10.0);
  EXPECT_LE(b.bottom, area.bottom + 10.0);
  EXPECT_GE(b.top, area.top - 5.0);
  EXPECT_TRUE(covers(scene().body, 390, 150));
}

TEST(Framing, ChimneyTopSitsUnderTheFlameAtTheWindowCentre) {
  // The flame rises from the window centre: just below it is the chimney,
  // wide enough on both sides, and nothing of the lighter is in the column
  // above it.
  const view::Pixel flame = view::flameOrigin();
  EXPECT_EQ(flame.x, view::kWindowWidth / 2.0);
  EXPECT_EQ(flame.y, view::kWindowHeight / 2.0);
  for (double dx : {-30.0, 0.0, 30.0}) {
    EXPECT_TRUE(covers(scene().body, flame.x + dx, flame.y - 3)) << dx;
  }
  for (double y = flame.y + 3; y < view::kWindowHeight; y += 10) {
    EXPECT_FALSE(covers(scene().body, flame.x, y)) << y;
    EXPECT_FALSE(covers(scene().cover, flame.x, y)) << y;
  }
}

// The lid hangs on the case's upper right edge, its hinge: vertices along it
// are the case's own, on the same pixels and at the same depth (a lid moved
// along the line of sight would show alike, but apart from the case).
TEST(Framing, LidHangsOnTheCasesEdgeInDepthToo) {
  size_t onTheHinge = 0;
  for (const Pixel& l : scene().cover.points) {
    for (const Pixel& b : scene().body.points) {
      if (std::abs(l.x - b.x) < 0.01 && std::abs(l.y - b.y) < 0.01 &&
          std::abs(l.distance - b.distance) < 1e-5 * b.distance) {
        ++onTheHinge;
        break;
      }
    }
  }
  EXPECT_GE(onTheHinge, 2u);
}

TEST(Framing, LidStaysInsideTheWindow) {
  const Box b = boxOf(scene().cover);
  EXPECT_GE(b.left, 0.0);
  EXPECT_LE(b.right, view::kWindowWidth);
  EXPECT_GE(b.bottom, 0.0);
  EXPECT_LE(b.top, view::kWindowHeight);
  // Open beside the body, to the right of the flame.
  EXPECT_GT(b.left, view::flameOrigin().x);
  for (const Pixel& p : scene().cover.points) ASSERT_GT(p.distance, 0.1);
}

// ---- Images ----------------------------------------------------------------

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

TEST(Textures, HaveExactlyTheBmpLayoutTheProgramReads) {
  for (const char* name : {"topTexture.bmp", "baseTexture.bmp", "silverTexture.bmp"}) {
    SCOPED_TRACE(name);
    const auto b = bytesOf(dataSet() / name);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());  // file size
    EXPECT_EQ(le32(b, 10), 54u);      // pixel data offset
    EXPECT_EQ(le32(b, 14), 40u);      // information header
    const uint32_t width = le32(b, 18), height = le32(b, 22);
    EXPECT_EQ(le16(b, 26), 1u);   // planes
    EXPECT_EQ(le16(b, 28), 24u);  // bits per pixel
    EXPECT_EQ(le32(b, 30), 0u);   // no compression
    EXPECT_GT(width, 0u);
    EXPECT_GT(height, 0u);
    EXPECT_LE(height, 4096u);  // bottom row first, no top-down sign bit
    EXPECT_EQ(width % 4, 0u);  // rows need no padding
    EXPECT_EQ(b.size(), 54u + width * height * 3);
  }
}

// Every face and every flame particle is multiplied by this texture: light
// grey, so the lighter reads as metal and the flame stays bright.
TEST(Textures, SilverIsALightGrey) {
  const auto b = bytesOf(dataSet() / "silverTexture.bmp");
  double sum = 0;
  for (size_t i = 54; i + 2 < b.size(); i += 3) {
    for (size_t c = 0; c < 3; ++c) {
      ASSERT_GE(b[i + c], 140) << "byte " << i + c;
      ASSERT_LE(b[i + c], 240) << "byte " << i + c;
    }
    ASSERT_LE(std::abs(b[i] - b[i + 2]), 12) << "pixel at byte " << i << " is not grey";
    sum += b[i + 1];
  }
  EXPECT_GT(sum / ((b.size() - 54) / 3.0), 170.0);
}

TEST(ParticleImage, IsA32By32SoftRoundGlow) {
  const auto b = bytesOf(dataSet() / "Data/Particle.raw");
  ASSERT_EQ(b.size(), 3072u);
  auto at = [&](int x, int y) { return b[static_cast<size_t>((y * 32 + x) * 3)]; };
  EXPECT_GT(at(16, 16), 200);
  EXPECT_EQ(at(0, 0), 0);
  EXPECT_EQ(at(31, 31), 0);
  EXPECT_GT(at(16, 16), at(16, 8));  // fades towards the edge
  EXPECT_GT(at(16, 8), at(16, 2));
}

}  // namespace

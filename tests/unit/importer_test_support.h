// Helpers for the importer's tests: scratch directories, the program's own
// reading of a data directory, and its picture through the program's view.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "framing/frame.h"
#include "importer/pipeline.h"
#include "mesh/mesh.h"
#include "mesh/prepare.h"
#include "mesh/reader.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/mesh_test_support.h"
#include "view/view_model.h"

namespace importertest {

namespace fs = std::filesystem;

// A scratch directory, removed at the end, with paths built by `/`.
class TempDir {
 public:
  fs::path path() const { return dir_.path(); }
  fs::path operator/(const std::string& name) const { return path() / name; }

 private:
  support::TempDir dir_{"importer-test"};
};

inline std::string contentOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A data directory as the program itself reads and prepares it at start-up.
struct ProgramRun {
  MeshState meshes;
  std::string printed;  // the reader's and the preparation's commentary
  view::MeshFrame frame;
};

inline ProgramRun readAsProgram(const fs::path& dir) {
  ProgramRun run;
  const std::string base = (dir / "lighterBase.m").string();
  const std::string lid = (dir / "lighterTop.m").string();
  run.printed = meshtest::printedBy([&](std::ostream& out) {
    ReadFile(run.meshes, base.c_str(), 1, out, out);
    prepareMesh(run.meshes, 1, out);
    ReadFile(run.meshes, lid.c_str(), 0, out, out);
    prepareMesh(run.meshes, 0, out);
  });
  const MeshState& m = run.meshes;
  run.frame.maxExtent = m.max_extent;
  run.frame.centerBase = {m.centerBase.x, m.centerBase.y, m.centerBase.z};
  run.frame.centerTop = {m.centerTop.x, m.centerTop.y, m.centerTop.z};
  return run;
}

// Where the program shows the vertices its faces name.
inline framing::PixelBox pictureOf(const std::vector<Vector3>& vertices,
                                   const std::vector<Tri>& faces, const view::MeshFrame& frame,
                                   bool lid) {
  std::vector<bool> drawn(vertices.size(), false);
  for (const Tri& f : faces) {
    for (int c : {f.corner1, f.corner2, f.corner3}) drawn[static_cast<size_t>(c - 1)] = true;
  }
  framing::PixelBox box;
  for (size_t i = 0; i < vertices.size(); ++i) {
    if (!drawn[i]) continue;
    const view::Vec3 v{vertices[i].x, vertices[i].y, vertices[i].z};
    box.add(view::worldToWindow(lid ? view::lidToWorld(frame, v) : view::baseToWorld(frame, v)));
  }
  return box;
}

inline framing::PixelBox bodyOf(const ProgramRun& run) {
  return pictureOf(run.meshes.lighterBaseVertices, run.meshes.lighterBaseTriangles, run.frame,
                   false);
}

inline framing::PixelBox lidOf(const ProgramRun& run) {
  return pictureOf(run.meshes.lighterTopVertices, run.meshes.lighterTopTriangles, run.frame, true);
}

// The body framed as it must be: inside the click rectangle, its top on the
// flame's row, and touching the bottom or both sides.
inline void expectFramed(const framing::PixelBox& b) {
  const view::PixelRect& area = view::kClickArea;
  constexpr double kPixel = 0.5;
  EXPECT_GE(b.left, area.left - kPixel);
  EXPECT_LE(b.right, area.right + kPixel);
  EXPECT_GE(b.bottom, area.bottom - kPixel);
  EXPECT_NEAR(b.top, view::flameOrigin().y, kPixel);
  const bool touchesBottom = b.bottom <= area.bottom + 1.0;
  const bool touchesSides = b.left <= area.left + 1.0 && b.right >= area.right - 1.0;
  EXPECT_TRUE(touchesBottom || touchesSides)
      << "x " << b.left << " to " << b.right << ", y " << b.bottom << " to " << b.top;
}

// Runs the importer's stages in this process; what they print is returned.
inline std::string import(const importer::Options& options) {
  std::ostringstream out;
  const importer::Summary summary = importer::runImport(options, out);
  importer::printSummary(summary, out);
  return out.str();
}

inline importer::Options optionsFor(const fs::path& body, const fs::path& output) {
  importer::Options o;
  o.body = body.string();
  o.output = output.string();
  return o;
}

}  // namespace importertest

// lighter-import, the real binary, on the project's models with a look of
// their own in each format it reads them from: the sidecar, the model's
// texture with its four colours where the quad shows them, the material
// colours, and the warning for a texture the model names but lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/command.h"
#include "tests/unit/import_command.h"
#include "tests/unit/importer_test_support.h"
#include "tests/unit/look_test_support.h"
#include "tools/model_looks/look_models.h"

namespace {

using importertest::TempDir;
namespace fs = std::filesystem;

using importcmd::Result;
using importcmd::run;

TEST(ImportLookCommand, TheTexturedQuadInEveryFormatShowsItsFourColoursInPlace) {
  for (const char* name : {"quad.obj", "quad.dae", "quad.gltf", "quad.glb"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    looks::writeTexturedQuad((dir / name).string());
    const Result r = run(dir, {name, "-o", "out"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Look: texture "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(", 2\u00d72, drawn in Lit through the model's texture coordinates."),
              std::string::npos)
        << r.out;
    EXPECT_FALSE(fs::exists(dir / "out" / kTopLookFile));
    looktest::expectFourColoursInPlace(dir / "out");
  }
}

TEST(ImportLookCommand, TwoMaterialsGiveEachVertexItsColour) {
  for (const char* name : {"boxes.obj", "boxes.dae", "boxes.gltf", "boxes.glb"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    looks::writeTwoColourBoxes((dir / name).string());
    const Result r = run(dir, {name, "-o", "out"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Look: 2 material colours, shown in Lit."), std::string::npos) << r.out;
    const importertest::ProgramRun run = importertest::readAsProgram(dir / "out");
    const MeshLook look = looktest::bodyLook(dir / "out", run);
    EXPECT_EQ(look.rgb.size(), 3 * run.meshes.lighterBaseVertices.size());
    EXPECT_FALSE(fs::exists(dir / "out" / kModelTextureFile));
  }
}

TEST(ImportLookCommand, AMissingTextureIsOneWarningLineAndTheSilverLook) {
  TempDir dir;
  looks::writeTexturedQuad((dir / "quad.obj").string(), false);
  const Result r = run(dir, {"quad.obj", "-o", "out"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err.rfind("lighter-import: warning: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("quad.png"), std::string::npos) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(fs::exists(dir / "out" / "lighterBase.m"));
  EXPECT_FALSE(fs::exists(dir / "out" / kBaseLookFile));
  EXPECT_FALSE(fs::exists(dir / "out" / kModelTextureFile));
}

}  // namespace

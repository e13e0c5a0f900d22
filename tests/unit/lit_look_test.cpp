// An imported model's look in Lit, without GL: which surface each mesh gets,
// and what start-up reads from the sidecars and the model's texture, and
// says on standard error when it cannot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "render/lit_look.h"
#include "tests/support/temp_dir.h"
#include "textures/image.h"

namespace {

LitMesh triangle() {
  LitMesh mesh;
  mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  mesh.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
  mesh.indices = {0, 1, 2};
  return mesh;
}

TEST(LitSurface, TextureOverColoursOverSilverAndOnlyWithAnEntryPerVertex) {
  LitMesh mesh = triangle();
  EXPECT_EQ(surfaceOf(mesh, true), LitSurface::kSilver);
  mesh.rgb = {255, 0, 0, 255, 0, 0, 255, 0, 0};
  EXPECT_EQ(surfaceOf(mesh, true), LitSurface::kColoured);
  mesh.uv = {0, 0, 1, 0, 0, 1};
  EXPECT_EQ(surfaceOf(mesh, true), LitSurface::kTextured);
  EXPECT_EQ(surfaceOf(mesh, false), LitSurface::kColoured);  // no texture: the colours
  mesh.uv.pop_back();
  mesh.rgb.pop_back();
  EXPECT_EQ(surfaceOf(mesh, true), LitSurface::kSilver);  // short arrays are never read
}

TEST(LitSurface, ALookAttachesOnlyToAMeshOfItsVertexCount) {
  LitMesh mesh = triangle();
  MeshLook look;
  look.uv = {0, 0, 1, 0, 0, 1};
  EXPECT_FALSE(attachLook(mesh, 4, MeshLook(look)));
  EXPECT_TRUE(mesh.uv.empty());
  EXPECT_TRUE(attachLook(mesh, 3, MeshLook(look)));
  EXPECT_EQ(mesh.uv, look.uv);
}

// A working directory holding what start-up finds beside the mesh files.
class LitLooks : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
    ASSERT_EQ(chdir(dir_.path().c_str()), 0);
    meshes_.lighterBaseVertices.resize(3);
    meshes_.lighterTopVertices.resize(3);
    lit_.body = triangle();
    lit_.lid = triangle();
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_), 0); }

  static void write(const char* name, const std::vector<unsigned char>& bytes) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  static MeshLook uvAndColours() {
    MeshLook look;
    look.uv = {0, 0, 1, 0, 0, 1};
    look.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    return look;
  }
  static std::vector<unsigned char> picture() {
    Image image;
    image.width = 4;
    image.height = 1;
    image.data.assign(12, 200);
    return encodeBmp(image);
  }
  std::string load() {
    std::ostringstream err;
    loadLitLooks(meshes_, lit_, err);
    return err.str();
  }

  support::TempDir dir_{"lighter-lit-looks"};
  char previous_[4096] = {};
  MeshState meshes_;
  LitState lit_;
};

TEST_F(LitLooks, WithoutSidecarsNothingIsReadOrSaid) {
  write(kModelTextureFile, picture());  // unused without texture coordinates
  EXPECT_EQ(load(), "");
  EXPECT_EQ(surfaceOf(lit_.body, false), LitSurface::kSilver);
  EXPECT_TRUE(lit_.modelImage.data.empty());
}

TEST_F(LitLooks, ReadsBothSidecarsAndTheTexture) {
  write(kBaseLookFile, encodeLook(uvAndColours(), 3));
  MeshLook colours = uvAndColours();
  colours.uv.clear();
  write(kTopLookFile, encodeLook(colours, 3));
  write(kModelTextureFile, picture());
  EXPECT_EQ(load(), "");
  EXPECT_EQ(lit_.body.uv, uvAndColours().uv);
  EXPECT_EQ(lit_.body.rgb, uvAndColours().rgb);
  EXPECT_EQ(lit_.lid.rgb, colours.rgb);
  EXPECT_EQ(lit_.modelImage.width, 4u);
  EXPECT_EQ(lit_.modelImage.data.size(), 12u);
  EXPECT_EQ(surfaceOf(lit_.body, true), LitSurface::kTextured);
  EXPECT_EQ(surfaceOf(lit_.lid, true), LitSurface::kColoured);
}

TEST_F(LitLooks, ABadSidecarIsOneLineNamingItAndThatMeshStaysSilver) {
  std::vector<unsigned char> cut = encodeLook(uvAndColours(), 3);
  cut.resize(cut.size() - 1);
  write(kBaseLookFile, cut);
  write(kTopLookFile, encodeLook(uvAndColours(), 4));  // another mesh's
  write(kModelTextureFile, picture());
  EXPECT_EQ(load(),
            "lighter: lighterBase.look: wrong size, so the body is drawn silver in Lit\n"
            "lighter: lighterTop.look: describes 4 vertices, the mesh has 3, so the lid is drawn "
            "silver in Lit\n");
  EXPECT_EQ(surfaceOf(lit_.body, true), LitSurface::kSilver);
  EXPECT_EQ(surfaceOf(lit_.lid, true), LitSurface::kSilver);
  EXPECT_TRUE(lit_.modelImage.data.empty());  // no mesh has coordinates to use it
}

TEST_F(LitLooks, AMissingOrBrokenTextureIsOneLineAndTheColoursRemain) {
  write(kBaseLookFile, encodeLook(uvAndColours(), 3));
  EXPECT_EQ(load(),
            "lighter: modelTexture.bmp: No such file or directory, so the model is drawn without "
            "its texture in Lit\n");
  EXPECT_EQ(surfaceOf(lit_.body, !lit_.modelImage.data.empty()), LitSurface::kColoured);

  std::vector<unsigned char> bmp = picture();
  bmp[28] = 32;  // bits per pixel
  write(kModelTextureFile, bmp);
  lit_ = LitState{};
  lit_.body = triangle();
  EXPECT_EQ(load(),
            "lighter: modelTexture.bmp: not 24 bits per pixel, so the model is drawn without its "
            "texture in Lit\n");
  EXPECT_TRUE(lit_.modelImage.data.empty());
  bmp = picture();
  bmp.resize(bmp.size() - 5);
  write(kModelTextureFile, bmp);
  lit_ = LitState{};
  lit_.body = triangle();
  EXPECT_NE(load().find("modelTexture.bmp: the pixels are cut short"), std::string::npos);
  EXPECT_TRUE(lit_.modelImage.data.empty());
}

}  // namespace

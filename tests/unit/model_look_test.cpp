// A model's look as the importer finds it in each format: the texture the
// material names (beside the model or embedded) decoded to its pixels, and
// each material's colour.
#include <gtest/gtest.h>

#include <assimp/postprocess.h>

#include <assimp/Importer.hpp>

#include "importer/model_look.h"
#include "tests/support/temp_dir.h"
#include "tools/model_looks/look_models.h"

namespace {

struct Loaded {
  Assimp::Importer assimp;
  const aiScene* scene = nullptr;
};

void load(Loaded& loaded, const std::string& path) {
  loaded.scene = loaded.assimp.ReadFile(path, aiProcess_Triangulate);
  ASSERT_NE(loaded.scene, nullptr) << loaded.assimp.GetErrorString();
}

importer::MaterialLook lookOfMesh(const aiScene& scene, unsigned mesh) {
  return importer::lookOfMaterial(*scene.mMaterials[scene.mMeshes[mesh]->mMaterialIndex]);
}

float meanHeight(const aiMesh& mesh) {
  float sum = 0.0f;
  for (unsigned v = 0; v < mesh.mNumVertices; ++v) sum += mesh.mVertices[v].y;
  return sum / static_cast<float>(mesh.mNumVertices);
}

TEST(ModelLook, FindsTheTextureBesideOrInsideTheModelInEveryFormat) {
  support::TempDir dir("model-look");
  const looks::Picture expected = looks::fourColours();
  for (const char* name : {"quad.obj", "quad.dae", "quad.gltf", "quad.glb"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.path() + "/" + name;
    looks::writeTexturedQuad(path);
    Loaded loaded;
    load(loaded, path);
    const importer::MaterialLook look = lookOfMesh(*loaded.scene, 0);
    ASSERT_FALSE(look.texture.empty());
    std::string warning;
    const auto picture = importer::loadModelTexture(*loaded.scene, path, look.texture, warning);
    ASSERT_TRUE(picture) << warning;
    EXPECT_EQ(picture->width, 2);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->rgb, expected.rgb);
  }
}

TEST(ModelLook, AMissingTextureIsAWarningNamingIt) {
  support::TempDir dir("model-look");
  const std::string path = dir.path() + "/quad.dae";
  looks::writeTexturedQuad(path, false);
  Loaded loaded;
  load(loaded, path);
  std::string warning;
  const importer::MaterialLook look = lookOfMesh(*loaded.scene, 0);
  EXPECT_FALSE(importer::loadModelTexture(*loaded.scene, path, look.texture, warning));
  EXPECT_NE(warning.find("quad.tga"), std::string::npos) << warning;
}

TEST(ModelLook, EachMaterialKeepsItsOwnColour) {
  support::TempDir dir("model-look");
  for (const char* name : {"boxes.obj", "boxes.gltf"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.path() + "/" + name;
    looks::writeTwoColourBoxes(path);
    Loaded loaded;
    load(loaded, path);
    ASSERT_EQ(loaded.scene->mNumMeshes, 2u);
    for (unsigned m = 0; m < 2; ++m) {
      const importer::MaterialLook look = lookOfMesh(*loaded.scene, m);
      EXPECT_TRUE(look.hasColour);
      EXPECT_TRUE(look.texture.empty());
      // The red box stands below the blue one.
      const bool lower = meanHeight(*loaded.scene->mMeshes[m]) < 2.0f;
      const bool red = look.rgb[0] > 200 && look.rgb[2] < 40;
      const bool blue = look.rgb[2] > 200 && look.rgb[0] < 40;
      EXPECT_TRUE(lower ? red : blue) << int(look.rgb[0]) << " " << int(look.rgb[2]);
    }
  }
}

}  // namespace

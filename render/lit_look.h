// An imported model's own look in Lit: the sidecar files beside the mesh
// files and the model's texture, read at start-up without GL and without a
// word on standard output. No GL.
#pragma once

#include <ostream>

#include "look/look.h"
#include "mesh/mesh.h"
#include "render/lit_model.h"

// Gives `mesh` the look's arrays when the mesh holds exactly `vertexCount`
// vertices (the mesh file's vertex lines); false, leaving the mesh as it
// was, when it does not.
bool attachLook(LitMesh& mesh, size_t vertexCount, MeshLook&& look);

// Reads kBaseLookFile and kTopLookFile from the working directory for the
// built meshes and, when either has texture coordinates, kModelTextureFile
// into lit.modelImage. A missing sidecar is the usual case and says nothing;
// one that cannot be used, or a texture that cannot be read, is one line on
// `err` naming the file and why, and the meshes are drawn without it.
void loadLitLooks(const MeshState& meshes, LitState& lit, std::ostream& err);

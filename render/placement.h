// What every mode shares when it draws the lighter: the silver texture's
// name and the placement of the body and the lid on the modelview matrix.
#pragma once

#include "mesh/mesh.h"
#include "render/view.h"

// The meshes' texture in the wireframe-less modes, loaded by start-up.
inline constexpr unsigned int kSilverTextureName = 3;

// Multiplies the body's placement onto the modelview matrix.
void placeBody(const ViewState& view, const MeshState& meshes);

// Multiplies the lid's placement relative to the body onto the modelview
// matrix; the body's placement must be there already.
void placeLidOnBody(const MeshState& meshes);

// The meshes as the camera shows them: what the turntable turns about, how
// deep the flame's origin stands on the body, and whether a window pixel
// shows the lighter once the camera has moved. The meshes are walked in
// their own coordinates, the rays brought into them (view/picking.h), so
// nothing is copied. No GL.
#pragma once

#include "mesh/mesh.h"
#include "render/view.h"
#include "view/camera.h"

// The placement of the meshes as the program draws them.
view::MeshFrame meshFrameOf(const MeshState& meshes);

// The turntable for the drawn vertices of the body and the lid, in the world.
view::Stage stageOf(const MeshState& meshes);

// The depth in front of the start view's eye at which the flame's origin
// stands on the body (view::flameDepth's rule).
double flameDepthOf(const MeshState& meshes);

// Start-up's: the view's stage and flame depth for the meshes read.
void stageModel(ViewState& view, const MeshState& meshes);

// Whether window pixel (x, yUp) of a window of the given size, counted from
// the lower-left corner, shows the body or the lid through `rig`.
bool showsModel(const MeshState& meshes, const view::Rig& rig, int x, int yUp, int width,
                int height);

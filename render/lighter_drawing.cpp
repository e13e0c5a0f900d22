// The lighter's two meshes, placed in front of the camera.
#include <GL/gl.h>

#include "render/render.h"

// Stand-in until the mesh drawing lands: keeps the matrix stack balanced.
void drawObjects(const ViewState& /*view*/, const MeshState& /*meshes*/) {
  glPushMatrix();
  glPopMatrix();
}

// The lighter's two meshes, placed in front of the camera.
#include <GL/gl.h>

#include <cstddef>
#include <vector>

#include "render/placement.h"
#include "render/render.h"

namespace {

// Every face shows the same half of the texture square, whatever its shape.
constexpr float kCornerTexCoords[3][2] = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}};

// Corner numbers are 1-based. The reader keeps faces with impossible corners
// out of the mesh, but the frame must never read outside the arrays even if
// a mesh reaches it some other way: such a face is skipped, drawn not at all.
bool indexes(int corner, const std::vector<Vector3>& array) {
  return corner >= 1 && static_cast<std::size_t>(corner) <= array.size();
}

bool drawable(const Tri& face, const std::vector<Vector3>& vertices,
              const std::vector<Vector3>& normals, bool smooth) {
  for (int corner : {face.corner1, face.corner2, face.corner3}) {
    if (!indexes(corner, vertices) || (smooth && !indexes(corner, normals))) return false;
  }
  return true;
}

// One face of either mesh: a blue outline in wireframe mode, a white
// textured triangle with per-corner normals otherwise.
void drawFace(const Tri& face, const std::vector<Vector3>& vertices,
              const std::vector<Vector3>& normals, int display_mode) {
  const bool smooth = display_mode != kWireframe;
  if (!drawable(face, vertices, normals, smooth)) return;
  if (smooth) {
    glBindTexture(GL_TEXTURE_2D, kSilverTextureName);
    glBegin(GL_TRIANGLES);
    glColor3f(1.0f, 1.0f, 1.0f);
  } else {
    glBegin(GL_LINE_LOOP);
    glColor3f(0.0f, 0.0f, 0.5f);
  }
  const int corners[3] = {face.corner1, face.corner2, face.corner3};
  for (int i = 0; i < 3; ++i) {
    const std::size_t at = static_cast<std::size_t>(corners[i] - 1);
    if (smooth) {
      const Vector3& n = normals[at];
      glNormal3f(n.x, n.y, n.z);
    }
    glTexCoord2f(kCornerTexCoords[i][0], kCornerTexCoords[i][1]);
    const Vector3& v = vertices[at];
    glVertex3f(v.x, v.y, v.z);
  }
  glEnd();
}

}  // namespace

void drawLighterTop(const ViewState& view, const MeshState& meshes, const Tri& face) {
  drawFace(face, meshes.lighterTopVertices, meshes.lighterTopNormals, view.display_mode);
}

void drawLighterBase(const ViewState& view, const MeshState& meshes, const Tri& face) {
  drawFace(face, meshes.lighterBaseVertices, meshes.lighterBaseNormals, view.display_mode);
}

// The view module's placement, handed to GL as the floats it is exact in.
namespace {

void translate(const view::Vec3& offset) {
  glTranslatef(static_cast<float>(offset.x), static_cast<float>(offset.y),
               static_cast<float>(offset.z));
}

void rotate(const view::Turn& turn) {
  glRotatef(static_cast<float>(turn.degrees), static_cast<float>(turn.axis.x),
            static_cast<float>(turn.axis.y), static_cast<float>(turn.axis.z));
}

}  // namespace

// The chain of view::baseToWorld and view::lidToWorld, on the modelview
// matrix: the call made last acts first. The lid's two offsets stay separate
// translations, in this order (their sum is not the same float computation).
void placeBody(const ViewState& state, const MeshState& meshes) {
  const float s = 1.0f / meshes.max_extent;
  glScalef(s, s, s);
  glTranslatef(-meshes.centerBase.x, -meshes.centerBase.y, -meshes.centerBase.z);
  glTranslatef(state.positionX, state.positionY, 0.0f);
  rotate(view::kBodyTurn);
  glScalef(state.scaleSize, state.scaleSize, state.scaleSize);
}

void placeLidOnBody(const MeshState& meshes) {
  glTranslatef(-meshes.centerTop.x, -meshes.centerTop.y, -meshes.centerTop.z);
  translate(view::kLidDrop);
  translate(view::kLidLift);
  rotate(view::kLidTilt);
}

void drawObjects(const ViewState& state, const MeshState& meshes) {
  glPushMatrix();
  placeBody(state, meshes);

  glPushMatrix();
  placeLidOnBody(meshes);
  for (const Tri& face : meshes.lighterTopTriangles) drawLighterTop(state, meshes, face);
  glPopMatrix();

  for (const Tri& face : meshes.lighterBaseTriangles) drawLighterBase(state, meshes, face);
  glPopMatrix();
}

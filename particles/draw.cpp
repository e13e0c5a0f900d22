// The flame's GL side: one textured square per particle, immediate mode.
#include <GL/gl.h>

#include "particles/draw.h"

namespace {

// A 1 by 1 square facing the viewer, its life as alpha. It binds no texture:
// the square is textured with whatever the frame has bound.
void drawParticle(const Particle& p, float zoom) {
  const float x = p.position[0];
  const float y = p.position[1];
  const float z = p.position[2] + zoom;
  glColor4f(p.color[0], p.color[1], p.color[2], p.life);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2d(1, 1);
  glVertex3f(x + 0.5f, y + 0.5f, z);
  glTexCoord2d(0, 1);
  glVertex3f(x - 0.5f, y + 0.5f, z);
  glTexCoord2d(1, 0);
  glVertex3f(x + 0.5f, y - 0.5f, z);
  glTexCoord2d(0, 0);
  glVertex3f(x - 0.5f, y - 0.5f, z);
  glEnd();
}

}  // namespace

void drawParticles(FlameState& flame, RandomSource random) {
  particlePass(flame, random, drawParticle);
}

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

// The same square, corners in the same order, where a moved camera sees the
// particle: `square` in eye coordinates.
void drawPlacedParticle(const Particle& p, const view::ParticleSquare& square) {
  const float x = static_cast<float>(square.centre.x);
  const float y = static_cast<float>(square.centre.y);
  const float z = static_cast<float>(square.centre.z);
  const float h = static_cast<float>(square.half);
  glColor4f(p.color[0], p.color[1], p.color[2], p.life);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2d(1, 1);
  glVertex3f(x + h, y + h, z);
  glTexCoord2d(0, 1);
  glVertex3f(x - h, y + h, z);
  glTexCoord2d(1, 0);
  glVertex3f(x + h, y - h, z);
  glTexCoord2d(0, 0);
  glVertex3f(x - h, y - h, z);
  glEnd();
}

}  // namespace

void drawParticles(FlameState& flame, RandomSource random) {
  particlePass(flame, random, drawParticle);
}

void drawPlacedParticles(FlameState& flame, RandomSource random,
                         const view::FlamePlacement& placement) {
  particlePassWith(flame, random, [&](const Particle& p, float zoom) {
    const view::Vec3 position{p.position[0], p.position[1], p.position[2]};
    if (const auto square = view::placedSquare(placement, position, zoom)) {
      drawPlacedParticle(p, *square);
    }
  });
}

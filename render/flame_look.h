// How Lit draws each particle, from the particle state alone (no GL, and no
// random number): the steady flame as a lighter's flame, by how long each
// particle has burnt, and the bursts as a flint's sparks, streaks along
// their flight. The particles themselves stay as they are: only where and
// how each square is drawn changes.
//
// Space: the particles' own, in particle units (a square of the other modes
// is one unit wide): the origin where the flame is born, y up, and the start
// view looking along -z. A look gives its square's centre and half sides in
// that space; the frame places the square (flame_quads.h).
#pragma once

#include "particles/particles.h"
#include "view/view_model.h"

struct ParticleLook {
  float centre[3] = {0.0f, 0.0f, 0.0f};      // where the square is drawn
  float rgba[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // colour, and alpha: its weight in the sum
  float halfU[3] = {0.0f, 0.0f, 0.0f};       // centre to the middle of the side where s = 1
  float halfV[3] = {0.0f, 0.0f, 0.0f};       // centre to the middle of the side where t = 1
  bool visible() const { return rgba[3] > 0.0f; }
};

// Frames since a particle of the flame was born: the life it has used over
// the life it loses a frame; 0 in the frame after its birth, when it is
// first drawn. (Its life alone would not do: the slowest-fading particles
// are above the window a fifth of the way through theirs, the fastest die
// half a square above the chimney.)
float framesLived(const Particle& p);

// From this age on a flame particle is no longer drawn: the tip has faded.
inline constexpr float kFlameTipAge = 44.0f;

// A particle of the steady flame `age` frames old, born in `colour` (a row
// of `colors`), centred on the origin: a small, faint, bluish base; a bright
// core, whitened toward the colour; the colour itself in the body; a deeper,
// dimmer tip that fades out by kFlameTipAge. Squares grow from the base
// into the body and shrink toward the tip.
ParticleLook flameLook(float age, const float colour[3]);

// How far from the flame's axis, as a share of its own distance, a flame
// particle `age` frames old is drawn: 1 near the base, less and less toward
// the tip, so that the flame narrows upward to a point where the particles
// themselves fan out (they keep the sideways speed they were born with).
float flameNarrowing(float age);

// A spark: a short, thin, bright streak along its velocity as the view
// sees it (`seenX` and `seenY`, the velocity's components along the view's
// right and up), white-hot with a hint of its colour, fading out as it
// flies away from the flint and gone kSparkReach units from it. A burst far
// off (the flame's zoom beyond -10) is drawn spread out as far as it would
// show at -10: flying as it does, it would hardly leave the chimney's top.
inline constexpr float kSparkReach = 1.2f;
ParticleLook sparkLook(const Particle& p, const FlameState& flame, float seenX, float seenY);

// The look the particle takes as it flies, placed where it is drawn: the
// flame's for a particle flying as the flame launched it, nearer the axis
// as the flame narrows; a spark's otherwise (a burst and the start state).
// `toView` turns the particles' axes into the view's (a moved camera's
// rotation); without it they are the start view's own. The centre stays in
// the particles' space; the half sides lie in the view's plane.
ParticleLook lookOf(const Particle& p, const FlameState& flame, const view::Mat3* toView = nullptr);

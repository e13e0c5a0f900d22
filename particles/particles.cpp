// Stand-ins until the flame lands.
#include "particles/particles.h"

const float colors[kColorCount][3] = {
    {1.0f, 0.5f, 0.5f}, {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f}, {0.75f, 1.0f, 0.5f},
    {0.5f, 1.0f, 0.5f}, {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f}, {0.5f, 0.75f, 1.0f},
    {0.5f, 0.5f, 1.0f}, {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f}, {1.0f, 0.5f, 0.75f},
};

void initParticles(FlameState& /*flame*/, RandomSource /*random*/) {}
void drawParticles(FlameState& /*flame*/, RandomSource /*random*/) {}
void check_keys(FlameState& /*flame*/) {}

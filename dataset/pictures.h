// The pictures of a data set: three BMP textures and the particle glow, the
// same in the shipped data set and in every imported one.
#pragma once

#include <vector>

#include "textures/image.h"

namespace dataset {

// Brushed steel with fine horizontal streaks: the texture of every face and,
// multiplied in, of every flame particle, so it is kept light.
Image brushedSilver();
// An engraved lid and a framed body panel, loaded but not drawn.
Image lidPattern();
Image bodyPattern();

// A soft round white glow, 32 by 32 red-green-blue bytes with no header.
std::vector<unsigned char> particleGlow();

}  // namespace dataset

// The one generator behind every random draw of the effects: particle
// emission and the random delays. Seeded from the clock at first use; tests
// reseed it so their draws repeat.
#pragma once

#include "tsl2/random.h"

Tsl::Random& getParticleRandom();

#include "effects/particlerandom.h"

Tsl::Random& getParticleRandom() {
    static Tsl::Random s_random;
    return s_random;
}

#pragma once
#include <cstdint>

// The program's one pseudo-random generator: a linear congruence whose draws are the
// bits 16 to 30 of the new state, so every draw lies in 0..32767.
struct RandomGenerator {
    uint32_t state = 0;
};

void seed_random(RandomGenerator& generator, uint32_t tick_count);
int next_random(RandomGenerator& generator);

// Seeded once at start-up; the random start-up choice and random frame stays draw from it.
extern RandomGenerator g_random;

#include "core/random.h"

RandomGenerator g_random;

void seed_random(RandomGenerator& generator, uint32_t tick_count)
{
    generator.state = tick_count % 0xFFFFu;
}

int next_random(RandomGenerator& generator)
{
    generator.state = generator.state * 214013u + 2531011u;
    return static_cast<int>((generator.state >> 16) & 0x7FFFu);
}

#include "session/random.h"

#include <chrono>
#include <random>

namespace kav {

namespace {
std::mt19937& engine()
{
    static std::mt19937 e(12345u);
    return e;
}
std::optional<std::uint32_t> fixedSeed;
}  // namespace

void SetFixedSeed(std::optional<std::uint32_t> seed)
{
    fixedSeed = seed;
}

std::optional<std::uint32_t> FixedSeed()
{
    return fixedSeed;
}

void Randomize()
{
    if (fixedSeed)
        SeedRandom(*fixedSeed);
    else
        SeedRandom(std::uint32_t(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                 std::chrono::system_clock::now().time_since_epoch().count()));
}

void SeedRandom(std::uint32_t seed)
{
    engine().seed(seed);
}

int Random(int k)
{
    if (k < 1)
        return 0;
    // Rejection sampling keeps every value equally likely.
    const std::uint32_t range = std::uint32_t(k);
    const std::uint32_t limit = std::uint32_t(0xFFFFFFFFu - (0xFFFFFFFFu % range + 1) % range);
    std::uint32_t v;
    do {
        v = engine()();
    } while (v > limit);
    return int(v % range);
}

double RandomReal()
{
    return (engine()() >> 5) * (1.0 / 134217728.0);
}

RandomState SaveRandom()
{
    return engine();
}

void RestoreRandom(const RandomState& state)
{
    engine() = state;
}

}  // namespace kav

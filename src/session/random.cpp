#include "session/random.h"

#include <chrono>
#include <random>
#include <utility>

namespace kav {

namespace {
std::mt19937& engine()
{
    static std::mt19937 e(12345u);
    return e;
}
std::optional<std::uint32_t> fixedSeed;
std::vector<std::uint32_t>* recording = nullptr;
const std::vector<std::uint32_t>* replaying = nullptr;
std::size_t replayed = 0;

// The next raw number: the one replayed, or the engine's.
std::uint32_t next()
{
    std::uint32_t v;
    if (replaying && replayed < replaying->size())
        v = (*replaying)[replayed++];
    else
        v = engine()();
    if (recording)
        recording->push_back(v);
    return v;
}
}  // namespace

std::vector<std::uint32_t>* RecordRandom(std::vector<std::uint32_t>* into)
{
    return std::exchange(recording, into);
}

void ReplayRandom(const std::vector<std::uint32_t>* from)
{
    replaying = from;
    replayed = 0;
}

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
        v = next();
    } while (v > limit);
    return int(v % range);
}

double RandomReal()
{
    return (next() >> 5) * (1.0 / 134217728.0);
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

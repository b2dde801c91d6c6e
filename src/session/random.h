// The one random source of the program. Seeded from the clock when the session window is
// activated, or from a fixed seed given on the command line, so that the same seed gives
// the same items.
#pragma once
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace kav {

// A fixed seed (--seed N) replaces the clock for every activation.
void SetFixedSeed(std::optional<std::uint32_t> seed);
std::optional<std::uint32_t> FixedSeed();
// Seeds from the fixed seed when there is one, else from the clock.
void Randomize();
void SeedRandom(std::uint32_t seed);
// A uniform whole number 0 .. k-1 (0 when k < 1).
int Random(int k);
// A uniform real in [0, 1).
double RandomReal();

// The source's whole state: taken before work that must leave the source as it found it
// (a worksheet made while the program runs), and put back after.
using RandomState = std::mt19937;
RandomState SaveRandom();
void RestoreRandom(const RandomState& state);

// While `into` is set, every raw number the source gives is added to it (nullptr stops it);
// the numbers the program draws stay the same. Gives the list recorded into before.
std::vector<std::uint32_t>* RecordRandom(std::vector<std::uint32_t>* into);
// While `from` is set, the source gives its numbers first, in their order, and goes on from
// its own state after the last (nullptr stops it): an item drawn again gets the numbers it
// was drawn with.
void ReplayRandom(const std::vector<std::uint32_t>* from);

}  // namespace kav

// The relations themes of the topic "Verbanden": each a generator and its worked explanation.
#pragma once
#include <array>
#include <cstdint>

namespace kav {

// --- Themes 4, 6 and 7: Dotland house numbers, diagonals, the nail board ---

// One layer of dots in Dotland: house number h holds start + (h - 1) * step dots; count is
// the number at the asked house number.
struct DotLayer {
    std::uint8_t step = 0;
    std::uint8_t start = 0;
    std::uint8_t count = 0;
};
constexpr int MaxDotLayers = 5;
// Layers 1 .. 5 (entry 0 stays empty); made with each new Dotland item and kept for its
// second attempt and its explanation.
using DotLayerTable = std::array<DotLayer, MaxDotLayers + 1>;
DotLayerTable& DotLayers();

void Theme4();  // Dotland: layers of dots for a house number, or the number for a layer
void Theme4Explanation();
void Theme6();  // diagonals of a regular polygon
void Theme6Explanation();
void Theme7();  // threads on a nail board: crossings and areas
void Theme7Explanation();

// --- end of themes 4, 6 and 7 ---

}  // namespace kav

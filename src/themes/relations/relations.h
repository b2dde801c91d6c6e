// The relations themes of the topic "Verbanden": each a generator and its worked explanation.
#pragma once
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

namespace kav {

class Canvas;

// --- Themes 1 and 5: machine chains and RaRa machines (the machine drawing is shared, machines.h) ---

void Theme1();             // "Rekenmachines schakelen": the output, the input or a machine's number
void Theme1Explanation();  // the values between the machines, downward and upward
void Theme5();             // "RaRa met KeerEnPlus of KeerEnMin": a Keer machine and a Plus or Min machine
void Theme5Explanation();  // the chain, or what the table's differences tell

// --- Themes 2 and 3: the mouse in the grid and the frog that jumps through it ---

void Theme2();  // in which cell does the mouse hide
// The mouse shown in its cell after every final answer; after a wrong one in practice also
// the worked explanation, under the judgement at Session().TextLine.
void Theme2Explanation(bool right);
void Theme3();  // where does the frog jump to
// The worked explanation after a final wrong answer in practice.
void Theme3Explanation();
// A jump written as a bracketed pair of arrows: Top steps to the right over Bottom steps up,
// the top left corner at (x, y) pixels of Target.
void DrawJumpVector(int x, int y, const QString& top, const QString& bottom, const QColor& color, Canvas* target);

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

}  // namespace kav

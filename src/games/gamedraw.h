// What the two games share: boxes and texts, and asking for the new balance.
#pragma once
#include <QColor>
#include <QString>

#include "draw/canvas.h"

namespace kav {

// A box filled with Fill and outlined in black with a pen of PenWidth pixels; corners as
// the canvas takes them (right and bottom outside).
void FilledBox(Canvas* c, int x1, int y1, int x2, int y2, const QColor& fill, int penWidth);
// The yellow title box at the top of the picture, from the margin down to Bottom.
void TitleBox(int bottom);

// Asks for the new balance (ExpectedAnswer) as a whole number at text line 5. Every balance
// is one final answer: a wrong one is counted and the game goes on from the true balance.
void AskNewBalance();

}  // namespace kav

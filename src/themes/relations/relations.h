// The relations themes ("Verbanden"): each a generator with its worked explanation.
#pragma once
#include <QColor>
#include <QString>

namespace kav {

class Canvas;

// Themes 2 and 3: the mouse in the grid and the frog that jumps through it.
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

}  // namespace kav

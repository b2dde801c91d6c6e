#include "themes/relations/textlines.h"

#include "draw/numbers.h"

namespace kav::textlines {

void WritePieces(double x, double line, const QVector<Piece>& pieces)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    LastTextEnd = Round(x);
    for (const Piece& p : pieces)
        if (!p.text.isEmpty())
            DrawTextItem(p.text, p.color, false, LastTextEnd, line, 1, t);
}

}  // namespace kav::textlines

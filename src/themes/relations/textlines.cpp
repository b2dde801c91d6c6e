#include "themes/relations/textlines.h"

#include "draw/numbers.h"

namespace kav::textlines {

void WritePieces(double x, double line, const QVector<Piece>& pieces)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const double room = t->width() - TextMargin / 2.0 - x;
    auto widthAt = [&](double size) {
        Canvas measure(1, 1);
        measure.font = t->font;
        measure.font.bold = false;
        measure.font.size = Round(BaseFontSize * size);
        int w = 0;
        for (const Piece& p : pieces)
            w += measure.textWidth(p.text);
        return w;
    };
    double size = 1;
    while (size > 0.6 && widthAt(size) > room)
        size -= 0.05;
    LastTextEnd = Round(x);
    for (const Piece& p : pieces)
        if (!p.text.isEmpty())
            DrawTextItem(p.text, p.color, false, LastTextEnd, line, size, t);
}

}  // namespace kav::textlines

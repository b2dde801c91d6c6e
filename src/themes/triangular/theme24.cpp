// Theme 24: a staircase terrace of tiles with its lower right corner missing; how many tiles?
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

namespace {

// The height of a column written under it, with an arrow pointing up at the column.
void ColumnLabel(int column, int base, int value)
{
    Canvas* pic = PictureBitmap();
    const double x = CellCentreX(column, base);
    const QString text = QString::number(value);
    pic->font.size = BaseFontSize;
    pic->font.bold = false;
    DrawTextItem(text, col::Black, false, x - pic->textWidth(text) / 2.0, PercentY(90) / double(Max(LineHeight, 1)),
                 1, pic);
    DrawArrow(pic, col::Black, x, PercentY(89), x, PercentY(85), 1);
}

}  // namespace

// The base is kept in ThemeMemory[24], the side of the missing corner in QuestionParams[0].
void DrawPicture24()
{
    const SessionState& s = Session();
    const int base = s.ThemeMemory[24];
    Canvas* pic = PictureBitmap();
    if (!UsableBase(base) || !pic)
        return;
    const int corner = qBound(0, s.QuestionParams[0], base - 1);
    DrawTextItem(QStringLiteral("Terras met tegels"), col::Red, false, Centred, 0.5, 1.5, pic);
    // Row r from the bottom holds Base - r + 1 tiles; the columns past Base - Corner make the
    // missing corner, marked with small black dots for starters.
    for (int r = 1; r <= base; ++r)
        for (int i = 1; i <= base - r + 1; ++i) {
            if (i <= base - corner)
                DrawTriangleCell(r, i, base, 2, TileSize, col::Blue);
            else if (ThemeLevel() == 1)
                DrawTriangleCell(r, i, base, 0, MarkDotSize, col::Black);
        }
    DrawBaseLabel(base, PercentX(35));
    // Column 1 holds Base tiles, column Base - Corner holds Corner + 1.
    ColumnLabel(1, base, base);
    ColumnLabel(base - corner, base, corner + 1);
}

void Theme24()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int base = RandomBase(10, s.ThemeMemory[24]);
        s.ThemeMemory[24] = base;
        const int corner = Random(base - 7) + 3;
        s.QuestionParams[0] = corner;
        DescribeTrianglePicture(QStringLiteral("Een driehoekig terras van gele tegels met basis %1, waarvan een "
                                               "hoek ontbreekt.").arg(base));
        DrawPicture24();
        if (TableShown())
            DrawTriangleTable();
        s.ExpectedAnswer = Triangular(base) - Triangular(corner);
    }
    QuestionLine(1, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    QuestionLine(2.5, QStringLiteral("Hoeveel gele tegels liggen hier"), col::Blue);
    QuestionLine(3.5, QStringLiteral("op het terras ?"), col::Blue);
    AskWholeNumber(8, QStringLiteral("aantal tegels: "), QStringLiteral("| Hoeveel tegels liggen er ?"));
}

}  // namespace kav

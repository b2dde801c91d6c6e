// Theme 25: a square terrace of tiles with a triangular pond in it; how many tiles?
#include <QPoint>
#include <QVector>

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

// The pond's cells as (column, row): a right-angled triangle of side Pond whose right angle
// points to corner Direction of the square (0 lower left, 1 upper left, 2 upper right,
// 3 lower right), Offset cells in from both edges of that corner.
QVector<QPoint> PondCells(int base, int pond, int offset, int direction)
{
    QVector<QPoint> cells;
    for (int i = 1; i <= pond; ++i)
        for (int j = 1; j <= pond - i + 1; ++j) {
            const int nearCol = offset + i - 1, nearRow = offset + j - 1;
            const int farCol = base - offset - i + 2, farRow = base - offset - j + 2;
            switch (direction) {
            case 0: cells.append(QPoint(nearCol, nearRow)); break;
            case 1: cells.append(QPoint(nearCol, farRow)); break;
            case 2: cells.append(QPoint(farCol, farRow)); break;
            default: cells.append(QPoint(farCol, nearRow)); break;
            }
        }
    return cells;
}

}  // namespace

// The base is kept in ThemeMemory[25]; the pond's side, its distance from the edges and the
// corner it points to in QuestionParams[0], [1] and [2].
void DrawPicture25()
{
    const SessionState& s = Session();
    const int base = s.ThemeMemory[25];
    Canvas* pic = PictureBitmap();
    if (!UsableBase(base) || !pic)
        return;
    const int pond = s.QuestionParams[0];
    const int offset = s.QuestionParams[1];
    DrawTextItem(QStringLiteral("Terras met tegels"), col::Red, false, PercentX(10), 24, 1.25, pic);
    DrawTextItem(QStringLiteral(" en een vijvertje"), col::Blue, false, LastTextEnd, 24, 1.25, pic);
    for (int r = 1; r <= base; ++r)
        for (int i = 1; i <= base; ++i)
            DrawTriangleCell(r, i, base, 2, TileSize, col::Blue);
    DrawTextItem(QStringLiteral("basis = ") + QString::number(base), col::Blue, false, PercentX(35), 22.5, 1, pic);
    // The pond tiles turn blue inside their borders; a pond that would leave the square
    // (never with the values the generator chooses) is not drawn.
    if (pond >= 1 && offset >= 2 && offset + pond <= base)
        for (const QPoint& cell : PondCells(base, pond, offset, s.QuestionParams[2])) {
            pic->setBrush(col::Blue);
            pic->floodFill(Round(CellCentreX(cell.x(), base)), Round(CellCentreY(cell.y(), base)), col::Yellow,
                           FillMode::Surface);
            if (ThemeLevel() == 1)
                DrawTriangleCell(cell.y(), cell.x(), base, 0, MarkDotSize, col::Black);
        }
}

void Theme25()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int base = RandomBase(12, s.ThemeMemory[25]);
        s.ThemeMemory[25] = base;
        const int pond = Random(base - 7) + 3;
        s.QuestionParams[0] = pond;
        s.QuestionParams[1] = Random(base - pond - 3) + 2;
        s.QuestionParams[2] = Random(4);
        DescribeTrianglePicture(QStringLiteral("Een vierkant terras van gele tegels met basis %1, met daarin een "
                                               "driehoekig blauw vijvertje.").arg(base));
        DrawPicture25();
        if (TableShown())
            DrawTriangleTable();
        s.ExpectedAnswer = base * base - Triangular(pond);
    }
    QuestionLine(1, QStringLiteral("In een vierkant terras ligt"), col::Blue);
    QuestionLine(2, QStringLiteral("een vijvertje."), col::Blue);
    QuestionLine(3.5, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    QuestionLine(5, QStringLiteral("Hoeveel gele tegels liggen er ?"), col::Red);
    AskWholeNumber(8, QStringLiteral("aantal tegels: "), QStringLiteral("| Hoeveel tegels liggen er ?"));
}

}  // namespace kav

// Theme 22: a triangle of dots with its top taken off; how many dots are left?
#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

// The base is kept in ThemeMemory[22], the side of the removed top in QuestionParams[0].
void DrawPicture22()
{
    const SessionState& s = Session();
    const int base = s.ThemeMemory[22];
    if (!UsableBase(base))
        return;
    const int top = qBound(0, s.QuestionParams[0], base);
    // Starters see where the top was: a small black dot in each removed cell.
    if (ThemeLevel() == 1)
        for (int r = 1; r <= top; ++r)
            for (int c = 1; c <= r; ++c)
                DrawTriangleCell(base - r + 1, c, base, 1, MarkDotSize, col::Black);
    for (int r = top + 1; r <= base; ++r)
        for (int c = 1; c <= r; ++c)
            DrawTriangleCell(base - r + 1, c, base, 1, CountedDotSize(base), col::Blue);
    DrawBaseLabel(base);
}

void Theme22()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int base = RandomBase(10, s.ThemeMemory[22]);
        s.ThemeMemory[22] = base;
        const int top = Random(base - 7) + 3;
        s.QuestionParams[0] = top;
        DescribeTrianglePicture(QStringLiteral("Een driehoek van blauwe stippen met basis %1, waarvan de punt "
                                               "bovenaan is weggehaald.").arg(base));
        DrawPicture22();
        if (TableShown())
            DrawTriangleTable();
        s.ExpectedAnswer = Triangular(base) - Triangular(top);
    }
    QuestionLine(1, QStringLiteral("Hoeveel blauwe stippen staan"), col::Blue);
    QuestionLine(2, QStringLiteral("hier ?"), col::Blue);
    QuestionLine(3.5, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    AskWholeNumber(6, QStringLiteral("aantal stippen: "), QStringLiteral("| Hoeveel blauwe stippen staan er ?"));
}

}  // namespace kav

// Theme 21: a triangle of dots or tiles; how large is its triangular number?
#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

// The base is kept in ThemeMemory[21], the cell style (dots or tiles, staircase or
// isosceles) in QuestionParams[2].
void DrawPicture21()
{
    const SessionState& s = Session();
    const int base = s.ThemeMemory[21];
    const int style = s.QuestionParams[2];
    if (!UsableBase(base))
        return;
    // The row with r cells is row Base - r + 1 from the bottom: one cell at the top.
    for (int r = 1; r <= base; ++r)
        for (int c = 1; c <= r; ++c)
            DrawTriangleCell(base - r + 1, c, base, style, CountedDotSize(base), col::Blue);
    DrawBaseLabel(base);
}

void Theme21()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int base = RandomBase(ThemeLevel() + 5, s.ThemeMemory[21]);
        s.ThemeMemory[21] = base;
        s.QuestionParams[2] = Random(4);
        DrawPicture21();
        const QString cells = s.QuestionParams[2] <= 1 ? QStringLiteral("stippen") : QStringLiteral("tegels");
        DescribeTrianglePicture(QStringLiteral("Een driehoek van %1, de onderste rij heeft %2 %1.").arg(cells).arg(base));
        s.ExpectedAnswer = Triangular(base);
    }
    QuestionLine(1, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    QuestionLine(2.5, QStringLiteral("Hoe groot is het driehoeks-"), col::Blue);
    QuestionLine(3.5, QStringLiteral("getal met basis ") + QString::number(s.ThemeMemory[21]) + QStringLiteral(" ?"),
                 col::Blue);
    AskWholeNumber(8, QStringLiteral("driehoeksgetal: "), QStringLiteral("| Hoe groot is dit driehoeksgetal ?"));
}

}  // namespace kav

// Theme 23: a triangle of dots with its two lower corners taken off; how many are left?
#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

// QuestionParams[0], [1] and [2] keep the base, the lower-left corner and the lower-right
// corner; ThemeMemory[23] keeps Base + 40 * First, so that neither repeats next time.
void DrawPicture23()
{
    const SessionState& s = Session();
    const int base = s.QuestionParams[0];
    if (!UsableBase(base))
        return;
    const int first = s.QuestionParams[1];
    const int second = s.QuestionParams[2];
    for (int i = 1; i <= base; ++i)
        for (int j = 1; j <= base - i + 1; ++j) {
            if (i + j - 2 >= first && j <= base - second)
                DrawTriangleCell(i, j, base, 1, CountedDotSize(base), col::Blue);
            else if (ThemeLevel() <= 2)
                DrawTriangleCell(i, j, base, 1, MarkDotSize, col::Black);
        }
    DrawBaseLabel(base);
}

void Theme23()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        // Nothing is remembered before the first item of a session (the memory is then -1).
        const int memory = s.ThemeMemory[23];
        const int previousBase = memory >= 0 ? memory % 40 : -1;
        const int previousFirst = memory >= 0 ? memory / 40 : -1;
        const int level = ThemeLevel();
        int base;
        do {
            base = Random(2 * level + 5) + 3 * level + 11;
        } while (base == previousBase);
        int first;
        do {
            first = Random(base / 2 - 5) + 3;
        } while (first == previousFirst);
        s.ThemeMemory[23] = base + 40 * first;
        s.QuestionParams[0] = base;
        s.QuestionParams[1] = first;
        // The two corners never meet: First + Second stays below Base.
        int second;
        do {
            second = Random(base - first) + 3;
        } while (second >= base - first);
        s.QuestionParams[2] = second;
        DescribeTrianglePicture(QStringLiteral("Een driehoek van blauwe stippen met basis %1, waarvan de twee "
                                               "onderste hoeken zijn weggehaald.").arg(base));
        DrawPicture23();
        if (TableShown())
            DrawTriangleTable();
        s.ExpectedAnswer = Triangular(base) - Triangular(first) - Triangular(second);
    }
    QuestionLine(1, QStringLiteral("Hoeveel blauwe stippen staan"), col::Blue);
    QuestionLine(2, QStringLiteral("hier ?"), col::Blue);
    QuestionLine(3.5, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    AskWholeNumber(8, QStringLiteral("aantal stippen: "), QStringLiteral("| Hoeveel blauwe stippen staan er ?"));
}

}  // namespace kav

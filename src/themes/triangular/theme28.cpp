// Theme 28: a triangle of dots from which smaller triangles are alternately taken away and
// put back; how many blue dots are there?
#include <array>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

namespace {

using CellFlags = std::array<std::array<bool, 31>, 31>;  // rows and columns 1..30

// Triangle t (t = 1 .. Rings + 1) holds rows t .. b - t + 1 and, in row i, columns
// t .. b - i + 1: it keeps the right slanting edge and loses the bottom row and the left
// column of the triangle before it. Odd triangles are blue, even ones taken away again;
// each inner triangle overwrites the ones around it.
CellFlags RingFlags(int b, int rings)
{
    CellFlags flags{};
    for (int t = 1; t <= rings + 1; ++t)
        for (int i = t; i <= b - t + 1; ++i)
            for (int j = t; j <= b - i + 1; ++j)
                flags[size_t(i)][size_t(j)] = t % 2 == 1;
    return flags;
}

}  // namespace

// The base is kept in ThemeMemory[28] (and QuestionParams[0]), the number of rings in
// QuestionParams[1].
void DrawPicture28()
{
    const SessionState& s = Session();
    const int b = s.ThemeMemory[28];
    if (!UsableBase(b))
        return;
    const int rings = qBound(0, s.QuestionParams[1], (b - 1) / 2);
    const CellFlags flags = RingFlags(b, rings);
    for (int i = 1; i <= b; ++i)
        for (int j = 1; j <= b - i + 1; ++j) {
            if (flags[size_t(i)][size_t(j)])
                DrawTriangleCell(i, j, b, 1, TileSize, col::Blue);
            else
                DrawTriangleCell(i, j, b, 1, MarkDotSize, col::Black);
        }
    DrawBaseLabel(b);
}

void Theme28()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        const int b = RandomLargeBase(s.ThemeMemory[28]);
        s.ThemeMemory[28] = b;
        int rings;
        do {
            rings = level + 1 + Random(2 * level + 1);
        } while (b - 2 * rings < 1);
        s.QuestionParams[0] = b;
        s.QuestionParams[1] = rings;
        DescribeTrianglePicture(QStringLiteral("Een driehoek van stippen met basis %1, waaruit steeds kleinere "
                                               "driehoeken om en om zijn weggehaald en teruggezet; de blauwe "
                                               "stippen tellen.").arg(b));
        DrawPicture28();
        if (TableShown())
            DrawTriangleTable();
        // T(b) - T(b - 2) + T(b - 4) - ... down to T(b - 2 * rings).
        int sum = 0;
        for (int t = 0; t <= rings; ++t)
            sum += (t % 2 == 0 ? 1 : -1) * Triangular(b - 2 * t);
        s.ExpectedAnswer = sum;
    }
    QuestionLine(1, QStringLiteral("Zie het plaatje hiernaast."), col::Black);
    QuestionLine(2.5, QStringLiteral("Hoeveel blauwe stippen staan"), col::Blue);
    QuestionLine(3.5, QStringLiteral("hier ?"), col::Blue);
    AskWholeNumber(5, QStringLiteral("aantal stippen: "), QStringLiteral("| Hoeveel blauwe stippen staan er ?"));
}

}  // namespace kav

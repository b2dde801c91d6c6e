// Theme 2: a mouse hides in a cell of the 12 x 12 grid. Red dots mark the free cells of one
// line through it; two clues about its column k and row r tell which cell it is, and the
// pupil types the column or the row.
#include <QtGlobal>
#include <cstdlib>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/grid.h"
#include "themes/relations/relations.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

// QuestionParams: 0 the mouse's column K, 1 its row R, 2 and 3 the coefficients a and b.
// ThemeMemory[2] keeps the sub-question c: the dotted line is the mouse's column (c = 0), its
// row (1), its diagonal (2 and 3) or its anti-diagonal (4 and 5); the row is asked for even c
// except 4, the column for the others.
struct Mouse {
    long long K, R, a, b;
    int c;
};

// The item's values, kept small so that no product below can overflow, whatever they hold.
Mouse Current()
{
    const SessionState& s = Session();
    auto value = [&](int i) { return (long long)qBound(-100000, s.QuestionParams[size_t(i)], 100000); };
    return {value(0), value(1), value(2), value(3), s.ThemeMemory[2]};
}

bool AsksColumn(int c)
{
    return c == 1 || c == 2 || c == 4;
}

bool OnDottedLine(int c, int k, int r, int K, int R)
{
    switch (c) {
    case 0: return k == K;
    case 1: return r == R;
    case 2:
    case 3: return k - r == K - R;
    default: return k + r == K + R;
    }
}

QString N(long long v)
{
    return QString::number(v);
}

void ChooseCells(int level)
{
    SessionState& s = Session();
    CellGrid& cells = CellState();
    Canvas* pic = PictureBitmap();
    // Grey cells: fewer at the higher levels, so that the dots give less away.
    for (int i = 0; i < 40 - 10 * level; ++i) {
        int k, r;
        do {
            k = 1 + Random(GridCells);
            r = 1 + Random(GridCells);
        } while (cells[size_t(k)][size_t(r)] != CellFree);
        if (pic) {
            pic->setBrush(col::Gray);
            pic->floodFill(PercentX(7 * k + 7), PercentY(94 - 7 * r), col::Black, FillMode::Border);
        }
        cells[size_t(k)][size_t(r)] = CellGrey;
    }
    int K, R;
    do {
        K = 1 + Random(GridCells);
        R = 1 + Random(GridCells);
    } while (cells[size_t(K)][size_t(R)] != CellFree);
    s.QuestionParams[0] = K;
    s.QuestionParams[1] = R;
}

// The next sub-question: the cycle moves on by one, and is held back for the first items of
// the theme and for mice whose line would be too short to be a question.
int NextSubQuestion(int level, int K, int R)
{
    SessionState& s = Session();
    const int modulus = level + 3;
    int entry = ((s.ThemeMemory[2] + 1) % modulus + modulus) % modulus;
    if (s.ThemeItemCount[2] < 3 && entry > 1)
        entry -= 2;
    if (std::abs(K + R - 13) > 9 && entry > 3)
        entry -= 2;
    if (std::abs(K - R) > 9 && (entry == 2 || entry == 3))
        entry = 1;
    s.ThemeMemory[2] = entry;
    return entry;
}

void DrawDots(int c, int K, int R)
{
    CellGrid& cells = CellState();
    for (int k = 1; k <= GridCells; ++k)
        for (int r = 1; r <= GridCells; ++r)
            if (cells[size_t(k)][size_t(r)] == CellFree && OnDottedLine(c, k, r, K, R))
                cells[size_t(k)][size_t(r)] = CellDot;
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    pic->setPen(col::Red, 1);
    pic->setBrush(col::Red);
    const double radius = 3 * ScreenScale;
    for (int k = 1; k <= GridCells; ++k)
        for (int r = 1; r <= GridCells; ++r)
            if (cells[size_t(k)][size_t(r)] == CellDot) {
                const int x = PercentX(CellMidX(k)), y = PercentY(CellMidY(r));
                pic->ellipse(Round(x - radius), Round(y - radius), Round(x + radius), Round(y + radius));
            }
}

}  // namespace

void Theme2()
{
    SessionState& s = Session();
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        DrawGrid();
        ChooseCells(level);
        const int K = s.QuestionParams[0], R = s.QuestionParams[1];
        const int c = NextSubQuestion(level, K, R);
        s.QuestionParams[2] = 2 + Random(2 * level);
        s.QuestionParams[3] = 2 + Random(2 * level);
        DrawDots(c, K, R);
        s.PictureDescription = QStringLiteral("Een rooster van 12 bij 12 hokjes met kolommen k en rijen r. Rode "
                                              "stippen staan in de vrije hokjes van een lijn door het hokje van de muis.");
        s.ExpectedAnswer = AsksColumn(c) ? K : R;
    }
    const Mouse m = Current();
    const int c = qBound(0, m.c, 5);
    QString first, second;
    switch (c) {
    case 0:
    case 1:
        first = c == 0 ? QStringLiteral("kolom k = ") + N(m.K) : QStringLiteral("rij r = ") + N(m.R);
        second = N(m.a) + Times() + QStringLiteral("k + ") + N(m.b) + Times() + QStringLiteral("r = ") +
                 N(m.a * m.K + m.b * m.R);
        break;
    case 2:
    case 3:
        first = QStringLiteral("r = ") + RowInColumns(m.R - m.K);
        second = N(m.a) + Times() + QStringLiteral("k + r = ") + N(m.a * m.K + m.R);
        break;
    case 4:
        first = QStringLiteral("k + r = ") + N(m.K + m.R);
        second = QStringLiteral("k + ") + N(m.b) + Times() + QStringLiteral("r = ") + N(m.K + m.b * m.R);
        break;
    default:
        first = QStringLiteral("k + r = ") + N(m.K + m.R);
        second = N(m.a) + Times() + QStringLiteral("k + r = ") + N(m.a * m.K + m.R);
        break;
    }
    s.QuestionSubject = AsksColumn(c) ? QStringLiteral("In welke kolom (= k)") : QStringLiteral("In welke rij (= r)");
    s.CaptionSubject = AsksColumn(c) ? QStringLiteral("k ") : QStringLiteral("r ");

    QuestionLine(1, QStringLiteral("De muis zit verstopt"), col::Black);
    QuestionLine(2, QStringLiteral("in het hokje (k , r)"), col::Black);
    QuestionLine(3, QStringLiteral("Er staat een stip in."), col::Black);
    DrawFramedPicture(TextBitmap(), QStringLiteral("muis"), 40, 6, 47, 13);
    QuestionLine(4.5, QStringLiteral("Daar geldt:"), col::Blue);
    DrawTextItem(first, col::Red, false, 2 * TextMargin, 6, 1, TextBitmap());
    DrawTextItem(second, col::Red, false, 2 * TextMargin, c == 4 ? 7 : 7.5, 1, TextBitmap());
    const QString question = s.QuestionSubject + QStringLiteral(" zit de muis ?");
    QuestionLine(9, question, col::Blue);
    AskWholeNumber(11, s.CaptionSubject + QStringLiteral(": "), QStringLiteral("|") + question);
}

void Theme2Explanation(bool right)
{
    SessionState& s = Session();
    const Mouse m = Current();
    // Without a mouse of this theme in the grid there is nothing to show or explain.
    const bool mouse = InGrid(int(m.K), int(m.R)) && m.c >= 0 && m.c <= 5;
    // In a class test the mouse in its cell would tell the neighbours the answer.
    if (mouse && !s.AnswersHidden)
        DrawPictureInCell(QStringLiteral("muis"), int(m.K), int(m.R));
    s.TextLine += 0.5;
    if (right || !s.PracticeMode || !mouse)
        return;
    s.TextLine += 1.25;
    const double B = s.TextLine;
    const double margin = TextMargin, indent = 2 * TextMargin;
    PieceLine(B, margin)(QStringLiteral("Toelichting:"), col::Blue);
    const long long N1 = m.a * m.K + m.b * m.R;
    switch (m.c) {
    case 0:
        PieceLine(B + 1, margin)(QStringLiteral("Invullen geeft achtereenvolgens:"), col::Black);
        PieceLine(B + 2, indent)(N(m.a) + Times(), col::Black)(N(m.K), col::Blue)(
            QStringLiteral(" + ") + N(m.b) + Times() + QStringLiteral("r = ") + N(N1), col::Black);
        PieceLine(B + 3, indent)(N(m.a * m.K) + QStringLiteral(" + ") + N(m.b) + Times() + QStringLiteral("r = ") +
                                     N(N1),
                                 col::Black);
        PieceLine(B + 4, indent)(N(m.b) + Times() + QStringLiteral("r = ") + N(m.b * m.R), col::Black);
        PieceLine(B + 5, indent)(QStringLiteral("r = ") + N(m.R), col::Red);
        break;
    case 1:
        PieceLine(B + 1, margin)(QStringLiteral("Invullen geeft achtereenvolgens:"), col::Black);
        PieceLine(B + 2, indent)(N(m.a) + Times() + QStringLiteral("k + ") + N(m.b) + Times(), col::Black)(
            N(m.R), col::Blue)(QStringLiteral(" = ") + N(N1), col::Black);
        PieceLine(B + 3, indent)(N(m.a) + Times() + QStringLiteral("k + ") + N(m.b * m.R) + QStringLiteral(" = ") +
                                     N(N1),
                                 col::Black);
        PieceLine(B + 4, indent)(N(m.a) + Times() + QStringLiteral("k = ") + N(m.a * m.K), col::Black);
        PieceLine(B + 5, indent)(QStringLiteral("k = ") + N(m.K), col::Red);
        break;
    case 2:
    case 3: {
        PieceLine(B + 1, margin)(QStringLiteral("Invullen geeft:"), col::Black);
        PieceLine(B + 2, indent)(N(m.a) + Times() + QStringLiteral("k + "), col::Black)(RowInColumns(m.R - m.K),
                                                                                       col::Blue)(
            QStringLiteral(" = ") + N(m.a * m.K + m.R), col::Black);
        PieceLine(B + 3, indent)(N(m.a + 1) + Times() + QStringLiteral("k = ") + N((m.a + 1) * m.K), col::Black);
        PieceLine last(B + 4, indent);
        last(QStringLiteral("k = ") + N(m.K), col::Red);
        if (m.c == 3)
            last(QStringLiteral(",  dus r = ") + N(m.R), col::Red);
        break;
    }
    default: {
        PieceLine(B + 1, margin)(QStringLiteral("Kijk naar wat de tweede aanwij-"), col::Black);
        PieceLine(B + 2, margin)(QStringLiteral("zing meer heeft dan de eerste:"), col::Black);
        const bool rowFirst = m.c == 4;  // 4: the second clue has b - 1 rows more; 5: a - 1 columns
        const long long times = rowFirst ? m.b - 1 : m.a - 1;
        PieceLine(B + 3, indent)(N(times), col::Blue)(Times() + (rowFirst ? QStringLiteral("r = ") : QStringLiteral("k = ")),
                                                      col::Black)(N(times * (rowFirst ? m.R : m.K)), col::Blue);
        PieceLine(B + 4, indent)(rowFirst ? QStringLiteral("r = ") + N(m.R) + QStringLiteral(",  dus k = ") + N(m.K)
                                          : QStringLiteral("k = ") + N(m.K) + QStringLiteral(",  dus r = ") + N(m.R),
                                 col::Red);
        break;
    }
    }
}

}  // namespace kav

// Theme 3: a frog starts near the lower left corner of the 12 x 12 grid and makes equal
// jumps, dk columns to the right and dr rows up each time. The picture shows its path out of
// the grid; the text gives the start, the jump and one fact about the end of the journey, and
// asks for the end column, the end row or the number of jumps.
#include <QtGlobal>

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

// QuestionParams: 0 the end column K, 1 the end row R, 2 and 3 the start column K0 and row R0,
// 4 and 5 the jump dk (columns) and dr (rows), 6 the number of jumps n. ThemeMemory[3] keeps
// the variant m (0..11): which fact is given and what is asked.
struct Jumps {
    long long K, R, K0, R0, dk, dr, n;
    int m;
};

// The item's values, kept small so that no sum or product below can overflow.
Jumps Current()
{
    const SessionState& s = Session();
    auto value = [&](int i) { return (long long)qBound(-100000, s.QuestionParams[size_t(i)], 100000); };
    return {value(0), value(1), value(2), value(3), value(4), value(5), value(6), s.ThemeMemory[3]};
}

enum class Asked { Column, Row, Jumps };

Asked AskedIn(int m)
{
    switch (m) {
    case 0:
    case 4:
    case 8:
    case 10: return Asked::Column;
    case 1:
    case 5:
    case 7:
    case 9: return Asked::Row;
    default: return Asked::Jumps;
    }
}

QString N(long long v)
{
    return QString::number(v);
}

// The variant moves on through a cycle of its level (0..5, 2..8 or 4..11); the first items of
// the theme get the easier facts instead of the sum and the relation.
int NextVariant(int level)
{
    SessionState& s = Session();
    const int modulus = level + 5;
    int m = ((s.ThemeMemory[3] + 1) % modulus + modulus) % modulus + 2 * level - 2;
    if (s.ThemeItemCount[3] < 3 && m > 5)
        m -= 5;
    s.ThemeMemory[3] = m;
    return m;
}

// The path: green segments from cell centre to cell centre until one leaves the grid; a red
// frame round the start; from every point inside the grid the jump as a red arrow to the right
// and one up, and a frog.
void DrawPath(int K0, int R0, int dk, int dr)
{
    Canvas* pic = PictureBitmap();
    if (!pic || dk < 1 || dr < 1)
        return;
    auto column = [&](int i) { return K0 + i * dk; };
    auto row = [&](int i) { return R0 + i * dr; };
    auto inside = [&](int i) { return column(i) <= GridCells && row(i) <= GridCells; };
    for (int i = 0; inside(i); ++i)
        DrawLinePercent(pic, col::Green, CellMidX(column(i)), CellMidY(row(i)), CellMidX(column(i + 1)),
                        CellMidY(row(i + 1)), 2);
    // The last segment runs off the picture: its frame is drawn again over it.
    FrameBitmap(pic, col::Black);

    pic->setPen(col::Red, Round(2 * ScreenScale));
    pic->setBrushClear();
    pic->rectangle(PercentX(CellLeft(K0)), PercentY(CellTop(R0)), PercentX(CellRight(K0)), PercentY(CellBottom(R0)));

    for (int i = 0; inside(i); ++i) {
        const int y = PercentY(CellMidY(row(i)));
        DrawArrow(pic, col::Red, PercentX(CellRight(column(i))), y,
                  Min(PercentX(CellMidX(column(i + 1)) - 1), PercentX(96)), y, 2);
        if (column(i + 1) <= GridCells) {
            const int x = PercentX(CellMidX(column(i + 1)));
            DrawArrow(pic, col::Red, x, y, x, MaxReal(PercentY(CellBottom(row(i + 1))) + ScreenScale, PercentY(4)), 2);
        }
        DrawPictureInCell(QStringLiteral("kikker"), column(i), row(i));
    }
}

}  // namespace

void DrawJumpVector(int x, int y, const QString& top, const QString& bottom, const QColor& color, Canvas* target)
{
    if (!target)
        return;
    target->font.size = BaseFontSize;
    target->font.bold = false;
    target->font.italic = false;
    target->font.underline = false;
    target->font.color = color;
    target->setPen(color, Round(ScreenScale));
    const QString twoSpaces = QStringLiteral("  ");
    const int h = target->textHeight(top);
    const int wn = target->textWidth(QStringLiteral("n"));
    const int half = wn / 2;
    const int topWidth = target->textWidth(top), bottomWidth = target->textWidth(bottom);
    const int w = Max(target->textWidth(bottom + twoSpaces), target->textWidth(top + twoSpaces));
    const int d = Round(ScreenScale);
    const int foot = y + 2 * h + d;
    // The brackets: the left half of one ellipse and the right half of another.
    target->arc(x + half, y, x + half + 3 * wn, foot, x + wn, y, x + wn, foot);
    const int x1 = Round(x + ScreenScale);
    target->arc(x1 + 2 * w - wn, y, x1 + 2 * w + 2 * wn - half, foot, x1 + 2 * w + wn, foot, x1 + 2 * w + wn, y);
    DrawArrow(target, color, x1 + wn, y + h / 2.0, x1 + wn + w, y + h / 2.0, 1);
    DrawArrow(target, color, x1 + wn + w / 2.0, y + 1.9 * h, x1 + wn + w / 2.0, y + h, 1);
    const double line = LineHeight > 0 ? double(LineHeight) : 1.0;
    DrawTextItem(top, color, false, x1 + w + wn + (w - topWidth) / 2, y / line, 1, target);
    DrawTextItem(bottom, color, false, x1 + w + wn + (w - bottomWidth) / 2, (y + h) / line, 1, target);
}

void Theme3()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        DrawGrid();
        const int K0 = 1 + Random(3);
        int R0;
        do {
            R0 = 1 + Random(3);
        } while (R0 == K0);
        int dk, dr;
        do {
            dk = level + Random(level + 3);
            dr = level + Random(level + 3);
        } while (dk == dr);
        // The end lies more than one jump outside the grid, so it has to be worked out.
        int n, K, R;
        do {
            n = 5 + Random(3 * level + 3);
            K = K0 + n * dk;
            R = R0 + n * dr;
        } while (K <= GridCells + dk && R <= GridCells + dr);
        p[0] = K, p[1] = R, p[2] = K0, p[3] = R0, p[4] = dk, p[5] = dr, p[6] = n;
        const int m = NextVariant(level);
        DrawPath(K0, R0, dk, dr);
        s.PictureDescription = QStringLiteral("Een rooster van 12 bij 12 hokjes met het pad van de kikker: vanaf "
                                              "hokje (%1 , %2) steeds even grote sprongen naar rechts en omhoog, tot "
                                              "buiten het rooster.").arg(K0).arg(R0);
        const Asked asked = AskedIn(m);
        s.ExpectedAnswer = asked == Asked::Column ? K : asked == Asked::Row ? R : n;
    }
    const Jumps j = Current();
    const int m = qBound(0, j.m, 11);
    switch (AskedIn(m)) {
    case Asked::Column:
        s.QuestionSubject = QStringLiteral("In welke kolom k eindigt hij ?");
        s.CaptionSubject = QStringLiteral("kolom k ");
        break;
    case Asked::Row:
        s.QuestionSubject = QStringLiteral("In welke rij r eindigt hij ?");
        s.CaptionSubject = QStringLiteral("rij r ");
        break;
    case Asked::Jumps:
        s.QuestionSubject = QStringLiteral("Hoeveel sprongen maakte hij ?");
        s.CaptionSubject = QStringLiteral("aantal sprongen ");
        break;
    }

    QuestionLine(1, QStringLiteral("De kikker start in"), col::Black);
    QuestionLine(2, QStringLiteral("hokje (") + N(j.K0) + QStringLiteral(" , ") + N(j.R0) + QStringLiteral(")"),
                 col::Black);
    QuestionLine(3.5, QStringLiteral("Elke sprong is "), col::Blue);
    DrawJumpVector(LastTextEnd, Round(3.5 * LineHeight), N(j.dk), N(j.dr), col::Blue, TextBitmap());
    DrawFramedPicture(TextBitmap(), QStringLiteral("kikker"), 40, 4, 47, 11);
    switch (m) {
    case 0:
    case 1: QuestionLine(7, QStringLiteral("Hij springt in totaal ") + N(j.n) + QStringLiteral(" keer."), col::Blue); break;
    case 2:
    case 5: QuestionLine(7, QStringLiteral("Hij eindigt in kolom ") + N(j.K) + QStringLiteral("."), col::Blue); break;
    case 3:
    case 4: QuestionLine(7, QStringLiteral("Hij eindigt in rij ") + N(j.R) + QStringLiteral("."), col::Blue); break;
    default:
        QuestionLine(6.5, QStringLiteral("Het eindhokje is (k , r)"), col::Blue);
        QuestionLine(7.5,
                     m <= 8 ? QStringLiteral("met k + r = ") + N(j.K + j.R) + QStringLiteral(".")
                            : QStringLiteral("met r = ") + RowInColumns(j.R - j.K) + QStringLiteral("."),
                     col::Blue);
        break;
    }
    QuestionLine(9, s.QuestionSubject, col::Red);
    AskWholeNumber(11, s.CaptionSubject + QStringLiteral(": "), QStringLiteral("|") + s.QuestionSubject);
}

void Theme3Explanation()
{
    SessionState& s = Session();
    const Jumps j = Current();
    // Only a journey of this theme is explained (whole jumps, a known variant).
    if (j.m < 0 || j.m > 11 || j.dk < 1 || j.dr < 1 || j.n < 0)
        return;
    s.TextLine += 1.25;
    const double B = s.TextLine;
    const double indent = 2 * TextMargin;
    PieceLine(B, TextMargin)(QStringLiteral("Toelichting:"), col::Blue);
    const QString answer = QStringLiteral(" = ") + N(s.ExpectedAnswer);
    const QString jumps = QStringLiteral(", dus ") + N(j.n) + QStringLiteral(" sprongen.");
    const QString q = QStringLiteral("?");
    const QString x = Times();
    // The coordinate of one direction: its letter, start and step.
    struct Axis {
        QString letter;
        long long start, step, end;
    };
    const Axis column{QStringLiteral("k = "), j.K0, j.dk, j.K}, row{QStringLiteral("r = "), j.R0, j.dr, j.R};
    switch (j.m) {
    case 0:
    case 1: {
        const Axis& a = j.m == 0 ? column : row;
        PieceLine(B + 1, indent)(a.letter + N(a.start) + QStringLiteral(" + ") + N(j.n) + x + N(a.step), col::Blue)(
            answer, col::Red);
        break;
    }
    case 2:
    case 3: {
        const Axis& a = j.m == 2 ? column : row;
        PieceLine(B + 1, indent)(N(a.end) + QStringLiteral(" = ") + N(a.start) + QStringLiteral(" + "), col::Blue)(
            q, col::Red)(x + N(a.step), col::Blue);
        PieceLine(B + 2, indent)(q, col::Red)(x + N(a.step) + QStringLiteral(" = ") + N(a.end - a.start), col::Blue);
        PieceLine(B + 3, indent)(q, col::Red)(answer, col::Blue)(jumps, col::Red);
        break;
    }
    case 4:
    case 5: {
        const Axis& known = j.m == 4 ? row : column;
        const Axis& asked = j.m == 4 ? column : row;
        PieceLine(B + 1, indent)(N(known.end) + QStringLiteral(" = ") + N(known.start) + QStringLiteral(" + "),
                                 col::Blue)(q, col::Red)(x + N(known.step), col::Blue);
        PieceLine(B + 2, indent)(q, col::Red)(QStringLiteral(" = ") + N(j.n), col::Blue)(jumps, col::Red);
        PieceLine(B + 3, indent)(asked.letter, col::Blue)(N(asked.start) + QStringLiteral(" + "), col::Blue)(
            N(j.n), col::Red)(x + N(asked.step), col::Blue)(answer, col::Red);
        break;
    }
    case 6:
    case 7:
    case 8:
        PieceLine(B + 1, indent)(column.letter + N(j.K0) + QStringLiteral(" + "), col::Blue)(q, col::Red)(
            x + N(j.dk), col::Blue)(QStringLiteral("   en   ") + row.letter + N(j.R0) + QStringLiteral(" + "),
                                    col::Blue)(q, col::Red)(x + N(j.dr), col::Blue);
        PieceLine(B + 2, indent)(QStringLiteral("k + r = ") + N(j.K0 + j.R0) + QStringLiteral(" + "), col::Blue)(
            q, col::Red)(x + N(j.dk + j.dr), col::Blue)(QStringLiteral(" = ") + N(j.K + j.R), col::Blue);
        PieceLine(B + 3, indent)(q, col::Red)(QStringLiteral(" = ") + N(j.n), col::Blue)(jumps, col::Red);
        if (j.m != 6) {
            const Axis& a = j.m == 7 ? row : column;
            PieceLine(B + 4, indent)(QStringLiteral("Dus: ") + a.letter + N(a.start) + QStringLiteral(" + ") + N(j.n) +
                                         x + N(a.step),
                                     col::Blue)(answer, col::Red);
        }
        break;
    default: {
        const QString A = N(j.K0) + QStringLiteral(" + ?") + x + N(j.dk);
        const QString C = N(j.R0) + QStringLiteral(" + ?") + x + N(j.dr);
        PieceLine(B + 1, indent)(column.letter + A + QStringLiteral("   en   ") + row.letter + C, col::Blue);
        PieceLine equation(B + 2, indent);
        equation(QStringLiteral("Dus: "), col::Black)(C, col::Red)(QStringLiteral(" = "), col::Blue)(A, col::Red);
        if (j.R != j.K)
            equation((j.R > j.K ? QStringLiteral(" + ") : QStringLiteral(" - ")) + N(qAbs(j.R - j.K)), col::Blue);
        PieceLine(B + 3, indent)(QStringLiteral("Dus: "), col::Black)(
            QStringLiteral("? = ") + N(j.n) + QStringLiteral(", dus ") + N(j.n) + QStringLiteral(" sprongen."),
            col::Red);
        if (j.m != 11) {
            const Axis& a = j.m == 9 ? row : column;
            PieceLine(B + 4, indent)(a.letter + N(a.start) + QStringLiteral(" + ") + N(j.n) + x + N(a.step),
                                     col::Blue)(answer, col::Red);
        }
        break;
    }
    }
}

}  // namespace kav

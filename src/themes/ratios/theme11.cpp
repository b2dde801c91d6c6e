// Theme 11: a ratio table in which every right-hand number is the left one times a factor,
// except one; the pupil types the number that should have stood there.
#include <array>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

constexpr int MostRows = 12;

int RowsAtLevel(int level)
{
    return level == 1 ? 7 : level == 2 ? 9 : MostRows;
}

// The wrong number of a row with left number X. Kind 2 is the counterpart of kind 1: the
// row's own left number plus one instead of minus one. A wrong number that happens to be
// right is made 10 larger.
int WrongNumber(int kind, int x, int first, int factor)
{
    int y = 0;
    switch (kind) {
    case 0: y = x * (factor - 1); break;
    case 1: y = (x - 1) * factor; break;
    case 2: y = (x + 1) * factor; break;
    case 3: y = (Random(4) + 1) * x * factor; break;
    case 4: y = (Random(8) + 2) * 10 + x * factor; break;
    default: y = first * (factor + 1); break;
    }
    return y == x * factor ? y + 10 : y;
}

// The left numbers: rising by 1 to 5 from 1 for starters; otherwise 1 to 20, all different,
// the first one 1 at "Durver".
std::array<int, MostRows + 1> LeftNumbers(int level, int rows)
{
    std::array<int, MostRows + 1> x{};
    for (int i = 1; i <= rows; ++i) {
        if (level == 1) {
            x[size_t(i)] = i == 1 ? 1 : x[size_t(i - 1)] + 1 + Random(5);
        } else if (i == 1) {
            x[1] = level == 2 ? 1 : Random(20) + 1;
        } else {
            bool taken = true;
            while (taken) {
                x[size_t(i)] = Random(20) + 1;
                taken = false;
                for (int j = 1; j < i; ++j)
                    taken = taken || x[size_t(j)] == x[size_t(i)];
            }
        }
    }
    return x;
}

void DrawTable(int level, int rows, int factor, int kind)
{
    SessionState& s = Session();
    Canvas* pic = PictureBitmap();
    TextCentredOn(QStringLiteral("VERHOUDINGSTABEL"), col::Black, false, PercentX(43), 8, pic);
    DrawLineLP(pic, col::Black, 20, 9.5, 68, 9.5, 2);
    DrawLineLP(pic, col::Black, 44, 9.5, 44, rows + 10.5, 2);
    const auto x = LeftNumbers(level, rows);
    for (int i = 1; i <= rows; ++i) {
        const int left = x[size_t(i)];
        int right = left * factor;
        if (i == s.QuestionParams[0]) {
            right = WrongNumber(kind, left, x[1], factor);
            s.QuestionParams[1] = left * factor;
            s.QuestionParams[4] = left;
        }
        TextEndingAt(QString::number(left), col::Black, false, PercentX(30), i + 9, pic);
        TextEndingAt(QString::number(right), col::Black, false, PercentX(60), i + 9, pic);
    }
}

}  // namespace

void Theme11()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    if (s.Attempt == 0) {
        const int level = ThemeLevel();
        const int rows = RowsAtLevel(level);
        p[2] = rows;
        Canvas* pic = PictureBitmap();
        DrawTextItem(QStringLiteral("Foutje in de verhoudingstabel"), col::Red, true, TextMargin, 0.25, 1.5, pic);
        PictureText(QStringLiteral("Één getal in de rechterkolom van de verhoudingstabel"), col::Blue, TextMargin, 2);
        PictureText(QStringLiteral("is fout."), col::Blue, TextMargin, 3);
        PictureText(QStringLiteral("Zoek de fout op en geef als antwoord het getal dat"), col::Red, TextMargin, 4.5);
        PictureText(QStringLiteral("er had moeten staan."), col::Red, TextMargin, 5.5);

        p[0] = Random(rows - 1) + 2;  // never the first row: it shows the factor
        p[1] = 0;
        s.ExpectedAnswer = 0;
        int factor = 0;
        do
            factor = Random(8 * level) + 2;
        while (factor == s.Private.theme11);
        s.Private.theme11 = factor;
        p[3] = factor;
        int kind = 0;
        do
            kind = Random(6);
        while (kind == s.ThemeMemory[11]);
        s.ThemeMemory[11] = kind;

        DrawTable(level, rows, factor, kind);
        s.PictureDescription = QStringLiteral("Een verhoudingstabel met %1 rijen van twee getallen. Eén getal in "
                                              "de rechterkolom is fout.").arg(rows);
        s.ExpectedAnswer = p[1];
    }
    QuestionText(1.5, QStringLiteral("Één getal in de rechterkolom"), col::Blue);
    QuestionText(2.5, QStringLiteral("van de verhoudingstabel is fout."), col::Blue);
    QuestionText(3.5, QStringLiteral("Zoek de fout op en geef als"), col::Blue);
    QuestionText(4.5, QStringLiteral("antwoord het getal dat er had"), col::Blue);
    QuestionText(5.5, QStringLiteral("moeten staan."), col::Blue);
    QuestionText(7, QStringLiteral("Wat is het juiste getal ?"), col::Red);
    AskWholeNumber(9.5, QStringLiteral("Juiste getal: "), QStringLiteral("|Geef het juiste getal in"));
}

// Beside every row of the table: the multiplication, and on the wrong row the wrong number
// crossed out with the right one after it.
void Explanation11()
{
    const SessionState& s = Session();
    const auto& p = s.QuestionParams;
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const int rows = qBound(0, p[2], MostRows);
    const QString times = QStringLiteral("x ") + QString::number(p[3]);
    const int width = TextItemWidth(pic, times);
    for (int i = 1; i <= rows; ++i) {
        DrawTextItem(times, col::Red, false, PercentX(40) - width, i + 9, 1, pic);
        DrawTextItem(QStringLiteral("="), col::Red, false, PercentX(48), i + 9, 1, pic);
        if (i == p[0]) {
            DrawLineLP(pic, col::Red, 55, i + 9.25, 60, i + 9.75, 1);
            DrawLineLP(pic, col::Red, 55, i + 9.75, 60, i + 9.25, 1);
            DrawTextItem(QString::number(s.ExpectedAnswer), col::Red, true, PercentX(65), i + 9, 1, pic);
        }
    }
}

}  // namespace kav

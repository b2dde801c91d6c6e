// Theme 6: a regular polygon in its circle with one red diagonal. How many diagonals have the
// same length, are shorter or longer, cross it, exist in all, or have not been drawn yet?
#include <cmath>
#include <numbers>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/relations.h"
#include "themes/relations/textlines.h"
#include "themes/triangular/triangle.h"

namespace kav {

using namespace textlines;

namespace {

// QuestionParams: [0] the corners n, [1] the step k of the red diagonal (corner 0 to corner k),
// [2] its length class m = min(k, n - k). ThemeMemory[6] keeps the question type 1 .. 7.
enum Param { Corners = 0, Step = 1, LengthClass = 2 };

// Corner I of a regular N-gon: corner 0 at the right, counter-clockwise.
QPoint Corner(int i, int n)
{
    const double cx = PercentX(50), cy = PercentY(53);
    const double r = Min(PercentX(43), PercentY(43));
    const double a = (n > 0 ? i % n : 0) * 2 * std::numbers::pi / qMax(n, 1);
    return QPoint(Round(cx + r * std::cos(a)), Round(cy - r * std::sin(a)));
}

void Line(Canvas* c, int from, int to, int n)
{
    const QPoint a = Corner(from, n), b = Corner(to, n);
    c->line(a.x(), a.y(), b.x(), b.y());
}

QString Title(int n)
{
    return QStringLiteral("Een regelmatige ") + Num(n) + QStringLiteral("-hoek");
}

// The type after Previous in the cycle of the level, corrected for the red diagonal: no
// "shorter" question about a shortest diagonal, no "longer" one about a longest.
int NextType(int previous, int level, int n, int m)
{
    int t = NextInCycle(previous, level + 2) + level;
    if (t == 3 && std::fabs(m - n / 2.0) < 1)
        t = 2;
    if (t == 2 && m == 2)
        t = 3;
    return t;
}

int AllDiagonals(int n)
{
    return n * (n - 3) / 2;
}

// The diagonals drawn for types 6 and 7: those of corners 0 .. t - 5, each counted once.
int DrawnDiagonals(int n, int t)
{
    return (t - 4) * (n - 3) - (t - 6);
}

int Expected(int n, int k, int m, int t)
{
    switch (t) {
    case 1: return 2 * k == n ? k : n;
    case 2: return n * (m - 2);
    case 3: return n % 2 == 0 ? (n / 2 - m - 1) * n + n / 2 : ((n - 2 * m - 1) / 2) * n;
    case 4: return (n - m - 1) * (m - 1);
    case 5: return AllDiagonals(n);
    default: return AllDiagonals(n) - DrawnDiagonals(n, t);
    }
}

void DrawPolygon(int n, int k, int t)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const int cx = PercentX(50), cy = PercentY(53), r = Min(PercentX(43), PercentY(43));
    const int thick = Round(2 * ScreenScale);
    pic->setPen(col::Yellow, thick);
    pic->setBrushClear();
    pic->ellipse(cx - r, cy - r, cx + r, cy + r);
    pic->setPen(col::Blue, thick);
    const QPoint start = Corner(0, n);
    pic->moveTo(start.x(), start.y());
    for (int i = 1; i <= n; ++i) {
        const QPoint c = Corner(i, n);
        pic->lineTo(c.x(), c.y());
    }
    pic->setPen(col::Red, 0);
    pic->setBrush(col::Red);
    const double d = 3 * ScreenScale;
    for (int i = 0; i < n; ++i) {
        const QPoint c = Corner(i, n);
        pic->ellipse(Round(c.x() - d), Round(c.y() - d), Round(c.x() + d), Round(c.y() + d));
    }
    DrawTextItem(Title(n), col::Red, false, Centred, 0.5, 2, pic);
    pic->setPen(col::Red, t < 5 ? thick : Round(ScreenScale));
    Line(pic, 0, k, n);
    // Type 5 shows every diagonal, types 6 and 7 those of two or three neighbouring corners.
    const int lastCorner = t == 5 ? n - 1 : t >= 6 ? t - 5 : -1;
    for (int i = 0; i <= lastCorner; ++i)
        for (int j = 2; j <= n - 2; ++j)
            Line(pic, i, i + j, n);
}

void NewItem()
{
    SessionState& s = Session();
    const int level = ThemeLevel();
    int n;
    do {
        n = level + 7 + Random(level + 8);
    } while (n == s.Private.theme6);
    s.Private.theme6 = n;
    const int k = Random(n - 4) + 2;
    const int m = Min(k, n - k);
    const int t = NextType(s.ThemeMemory[6], level, n, m);
    s.ThemeMemory[6] = t;
    s.QuestionParams[Corners] = n;
    s.QuestionParams[Step] = k;
    s.QuestionParams[LengthClass] = m;
    s.ExpectedAnswer = Expected(n, k, m, t);
    DrawPolygon(n, k, t);
    s.PictureDescription = QStringLiteral("Een regelmatige veelhoek met %1 hoeken in zijn cirkel, met één rode "
                                          "diagonaal.").arg(n);
}

struct TypeTexts {
    const char* subject;
    const char* rest;  // after "Hoeveel diagonalen" on line 3
    const char* line4;
};

TypeTexts Texts(int t)
{
    switch (t) {
    case 1: return {"Hoeveel diagonalen zijn er met deze lengte ?", " zijn er in", "totaal met deze lengte ?"};
    case 2: return {"Hoeveel diagonalen zijn korter ?", " zijn er", "korter dan deze diagonaal ?"};
    case 3: return {"Hoeveel diagonalen zijn langer ?", " zijn er", "langer dan deze diagonaal ?"};
    case 4: return {"Hoeveel diagonalen snijden deze diagonaal ?", " snijden deze", "diagonaal in een tussenpunt ?"};
    case 5: return {"Hoeveel diagonalen zijn er totaal mogelijk ?", " zijn er", "totaal mogelijk ?"};
    default: return {"Hoeveel diagonalen zijn er niet getekend ?", " zijn er", "NIET getekend ?"};
    }
}

// "Vanuit elk hoekpunt kun je " + Count, then the rest of the sentence about diagonals
// shorter or longer ("korter" / "langer"), counted double.
void FromEachCorner(int count, const QString& comparison, double line)
{
    WriteAt(QStringLiteral("Vanuit elk hoekpunt kun je "), col::Black, line);
    WriteOn(Num(count), col::Blue, line);
    if (count > 1) {
        WriteAt(QStringLiteral("diagonalen tekenen die ") + comparison, col::Black, line + 1);
        WriteAt(QStringLiteral("zijn."), col::Black, line + 2);
    } else {
        WriteAt(QStringLiteral("diagonaal tekenen die ") + comparison + QStringLiteral(" is."), col::Black, line + 1);
    }
    WriteAt(QStringLiteral("Maar dan tel je ze dubbel!"), col::Blue, line + 3);
}

// "Dus is het antwoord: " a line above the computation, which goes on TextLine after Advance.
void Conclusion(double advance, const QString& computation)
{
    SessionState& s = Session();
    s.TextLine += advance;
    WriteAt(QStringLiteral("Dus is het antwoord: "), col::Black, s.TextLine - 1);
    WriteAt(computation, col::Blue, s.TextLine);
}

}  // namespace

void Theme6()
{
    SessionState& s = Session();
    if (s.Attempt == 0)
        NewItem();
    const int n = s.QuestionParams[Corners];
    const TypeTexts texts = Texts(s.ThemeMemory[6]);
    if (Canvas* t = TextBitmap()) {
        t->setPen(col::Red, Round(2 * ScreenScale));
        t->setBrush(col::Yellow);
        t->rectangle(Round(0.02 * t->width()), PercentY(2), Round(0.98 * t->width()), PercentY(9));
    }
    Write(Title(n), col::Red, Centred, 1);
    WriteAt(QStringLiteral("Hoeveel diagonalen"), col::Red, 3);
    WriteOn(QString::fromUtf8(texts.rest), col::Red, 3);
    WriteAt(QString::fromUtf8(texts.line4), col::Red, 4);
    s.QuestionSubject = QString::fromUtf8(texts.subject);
    if (Level() == 1 && s.ThemeItemCount[6] < 4)
        WriteAt(QStringLiteral("(Tel ze niet dubbel !)"), col::Blue, 6);
    AskWholeNumber(7.5, QStringLiteral("Aantal : "), QStringLiteral("|") + s.QuestionSubject);
}

void Theme6Explanation()
{
    SessionState& s = Session();
    const int n = s.QuestionParams[Corners], k = s.QuestionParams[Step], m = s.QuestionParams[LengthClass];
    const int t = s.ThemeMemory[6];
    const QString dot = QStringLiteral(" \u00b7 "), half = QStringLiteral(" \u00b7 \u00bd = ");
    s.TextLine += 1.25;
    WriteAt(QStringLiteral("Toelichting:"), col::Blue, s.TextLine);
    s.TextLine += 1.25;
    const double line = s.TextLine;
    switch (t) {
    case 1: {
        const bool diameter = 2 * k == n;
        WriteAt(QStringLiteral("Vanuit elk hoekpunt kun je"), col::Black, line);
        WriteOn(diameter ? QStringLiteral(" 1") : QStringLiteral(" 2"), col::Blue, line);
        WriteAt(diameter ? QStringLiteral("diagonaal") : QStringLiteral("diagonalen"), col::Black, line + 1);
        WriteOn(QStringLiteral(" met deze lengte"), col::Black, line + 1);
        WriteAt(QStringLiteral("tekenen."), col::Black, line + 2);
        WriteAt(QStringLiteral("Maar dan tel je ze dubbel!"), col::Blue, line + 3);
        Conclusion(6, (diameter ? QString() : QStringLiteral("2") + dot) + Num(n) + half);
        break;
    }
    case 2:
        FromEachCorner((m - 2) * 2, QStringLiteral("korter"), line);
        Conclusion(6, Num(n) + dot + Num((m - 2) * 2) + half);
        break;
    case 3:
        FromEachCorner(n - 2 * m - 1, QStringLiteral("langer"), line);
        Conclusion(6, Num(n) + dot + Num(n - 2 * m - 1) + half);
        break;
    case 4: {
        auto points = [](int v) { return v == 1 ? QStringLiteral(" punt.") : QStringLiteral(" punten."); };
        WriteAt(QStringLiteral("Aan de ene zijde "), col::Black, line);
        WriteOn(Num(m - 1), col::Blue, line);
        WriteOn(points(m - 1), col::Black, line);
        s.TextLine += 1;
        WriteAt(QStringLiteral("Aan de andere zijde "), col::Black, s.TextLine);
        WriteOn(Num(n - m - 1), col::Blue, s.TextLine);
        WriteOn(points(n - m - 1), col::Black, s.TextLine);
        WriteAt(QStringLiteral("(Je telt zo niets dubbel!)"), col::Blue, s.TextLine + 4);
        s.TextLine += 1.25;
        WriteAt(QStringLiteral("Onderling verbinden geeft:"), col::Blue, s.TextLine);
        s.TextLine += 1.25;
        WriteAt(Num(m - 1) + dot + Num(n - m - 1) + QStringLiteral(" = "), col::Blue, s.TextLine);
        break;
    }
    case 5:
        WriteAt(QStringLiteral("Vanuit elk hoekpunt kun je "), col::Black, line);
        WriteOn(Num(n - 3), col::Blue, line);
        WriteAt(QStringLiteral("diagonalen tekenen."), col::Black, line + 1);
        WriteAt(QStringLiteral("Maar dan tel je ze dubbel!"), col::Blue, line + 3);
        Conclusion(5.5, Num(n) + dot + Num(n - 3) + half);
        break;
    default: {
        const int drawn = DrawnDiagonals(n, t);
        WriteAt(QStringLiteral("Er zijn in totaal "), col::Black, line);
        WriteOn(Num(n) + dot + Num(n - 3) + half + Num(AllDiagonals(n)), col::Blue, line);
        WriteAt(QStringLiteral("diagonalen mogelijk."), col::Black, line + 1);
        WriteAt(QStringLiteral("Er zijn al "), col::Black, line + 2.25);
        WriteOn(Num(t - 4) + dot + Num(n - 3), col::Blue, line + 2.25);
        if (t == 7)
            WriteOn(QStringLiteral(" - 1"), col::Blue, line + 2.25);
        WriteOn(QStringLiteral(" = ") + Num(drawn), col::Blue, line + 2.25);
        Canvas* text = TextBitmap();
        const int width = text ? text->width() : 0;
        if (text)
            text->font.size = BaseFontSize;
        const bool split = text && LastTextEnd + text->textWidth(QStringLiteral(" diagonalen ")) > width;
        if (split) {
            WriteOn(QStringLiteral(" diagona-"), col::Black, line + 2.25);
            WriteAt(QStringLiteral("len getekend."), col::Black, line + 3.25);
        } else {
            WriteOn(QStringLiteral(" diagonalen"), col::Black, line + 2.25);
            WriteAt(QStringLiteral("getekend."), col::Black, line + 3.25);
        }
        Conclusion(5.5, Num(AllDiagonals(n)) + QStringLiteral(" - ") + Num(drawn) + QStringLiteral(" = "));
        break;
    }
    }
    WriteOn(Num(s.ExpectedAnswer) + QStringLiteral(" diagonalen"), col::Red, s.TextLine);
}

}  // namespace kav

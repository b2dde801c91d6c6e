// Theme 12: a small yellow rectangle with its sides given and a larger aqua one of the same
// shape with its left side p given; how long is its top side q?
#include <cmath>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/ratios/ratios.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

namespace {

// The drawn scale number K stands for K, K / 2 or K / 10 at the three levels: a whole
// number, halves from 1,5 to 6,5, or tenths from 2,1 to 7,9.
double Divisor(int level)
{
    return level == 1 ? 1.0 : level == 2 ? 2.0 : 10.0;
}

int RandomScaleNumber(int level)
{
    if (level == 1)
        return Random(5) + 2;
    if (level == 2)
        return 2 * Random(6) + 3;
    return Random(9) + 21 + 10 * Random(6);
}

// A number of halves or tenths as the pupil reads it: whole at "Starter", else one decimal.
QString ScaledText(int number, int level)
{
    if (level == 1)
        return QString::number(number);
    return FormatDecimal(number / Divisor(level), 1, DecimalSeparator);
}

bool SameScale(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

// The large rectangle ends inside 95 % of the picture both ways.
bool Fits(double scale, int a, int b)
{
    return PercentY(scale * a * 1.5 + 20) <= PercentY(95) && PercentX(scale * b * 1.5 + 10) <= PercentX(95);
}

void DrawRectangles(int a, int b, double scale)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    pic->setPen(col::Black, Round(ScreenScale));
    pic->setBrush(col::Yellow);
    pic->rectangle(PercentX(10), PercentY(5), PercentX(10 + 1.5 * b), PercentY(5 + 1.5 * a));
    TextCentredOn(QString::number(b), col::Black, false, PercentX(10 + 0.75 * b), 0.25, pic);
    PictureText(QString::number(a), col::Black, PercentX(6), PercentY(5 + 0.75 * a) / double(LineHeight) - 0.5);

    pic->setPen(col::Black, Round(ScreenScale));
    pic->setBrush(col::Aqua);
    pic->rectangle(PercentX(10), PercentY(20), PercentX(10 + 1.5 * scale * b), PercentY(20 + 1.5 * scale * a));
    TextCentredOn(QStringLiteral("q"), col::Blue, false, PercentX(10 + 0.75 * scale * b),
                  PercentY(20) / double(LineHeight) - 1.25, pic);
    PictureText(QStringLiteral("p"), col::Blue, PercentX(6), PercentY(20 + 0.75 * scale * a) / double(LineHeight) - 0.5);
}

// The red curved arrow from the middle height of the small rectangle to that of the large
// one, with "factor" and its value beside it. It stands right of the large rectangle; where a
// wide rectangle leaves no room for it in the picture, it moves in over the rectangle.
void DrawFactorArrow(int a, int b, double scale, const QString& factor)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    const int m = TextMargin;
    const QString name = QStringLiteral("factor");
    const int nameWidth = TextItemWidth(pic, name), factorWidth = TextItemWidth(pic, factor);
    const int right = PercentX(10 + 1.5 * scale * b), labelWidth = Max(nameWidth, factorWidth);
    const bool inside = right + 5 * m + labelWidth > pic->width() - m;
    // Inside, the label ends a margin from the rectangle's right side and stays below its top.
    const int xR = inside ? right - 6 * m - labelWidth : right;
    const int xE = xR + 4 * m, xm = (xR + xE) / 2;
    const int yA = (PercentY(5) + PercentY(5 + 1.5 * a)) / 2;
    const int yB = (PercentY(20) + PercentY(20 + 1.5 * scale * a)) / 2;
    pic->setPen(col::Red, Round(2 * ScreenScale));
    pic->setBrushClear();
    pic->arc(xR, yA, xE, yB, xm, yB, xm, yA);
    pic->line(xm, yB, Round(xm + 0.25 * m), Round(yB - 1.5 * m));
    pic->line(xm, yB, Round(xm + 1.4 * m), Round(yB + 0.25 * m));
    double middle = (yA + yB) * 0.5 / LineHeight;
    if (inside)
        middle = MaxReal(middle, PercentY(20) / double(LineHeight) + 0.75);
    DrawTextItem(name, col::Red, false, xE + m, middle - 0.5, 1, pic);
    DrawTextItem(factor, col::Red, false, xE + m + (nameWidth - factorWidth) / 2, middle + 0.5, 1, pic);
}

}  // namespace

void Theme12()
{
    SessionState& s = Session();
    auto& p = s.QuestionParams;
    const int level = ThemeLevel();
    if (s.Attempt == 0) {
        // a, b and the scale are drawn again together until the large rectangle fits; each
        // draw avoids the previous item's a and scale, not those of a draw that did not fit.
        const int previousA = s.ThemeMemory[12];
        const double previousScale = s.Private.theme12;
        int a = 0, b = 0, k = 0;
        double scale = 0;
        do {
            do
                a = Random(6) + 2;
            while (a == previousA);
            do
                b = Random(8) + 2;
            while (b == a);
            do {
                k = RandomScaleNumber(level);
                scale = k / Divisor(level);
            } while (SameScale(scale, previousScale));
        } while (!Fits(scale, a, b));
        s.ThemeMemory[12] = a;
        s.Private.theme12 = scale;
        p[0] = a;
        p[1] = b;
        p[2] = k;
        p[3] = k * a;
        p[4] = k * b;
        if (level == 1)
            s.ExpectedAnswer = k * b;
        else
            s.ExpectedDecimal = k * b / Divisor(level);
        DrawRectangles(a, b, scale);
        s.PictureDescription = QStringLiteral("Een kleine gele rechthoek met zijden %1 en %2, en een grotere "
                                              "lichtblauwe rechthoek van dezelfde vorm met linkerzijde p en "
                                              "bovenzijde q.").arg(a).arg(b);
    }
    QuestionText(1.5, QStringLiteral("De twee rechthoeken hebben"), col::Black);
    QuestionText(2.5, QStringLiteral("dezelfde vorm."), col::Black);
    QuestionText(4, QStringLiteral("p = "), col::Blue);
    DrawTextItem(ScaledText(p[3], level) + QStringLiteral("."), col::Blue, false, LastTextEnd, 4, 1, TextBitmap());
    QuestionText(6, QStringLiteral("Hoe groot is q ?"), col::Red);
    if (Context().port)
        Context().port->Repaint();
    const QString caption = QStringLiteral("q : "), hint = QStringLiteral("| Hoe groot is q ?");
    if (level == 1)
        AskWholeNumber(8, caption, hint);
    else
        AskDecimalNumber(8, caption, hint, 1, 0.000005);
}

// The factor p / a, and q as b times that factor; in the picture the factor as an arrow
// from the small rectangle to the large one.
void Explanation12()
{
    SessionState& s = Session();
    const auto& p = s.QuestionParams;
    const int level = ThemeLevel();
    const int a = p[0], b = p[1], k = p[2];
    const QString factor = ScaledText(k, level);
    Canvas* t = TextBitmap();
    s.TextLine += 1.25;
    DrawTextItem(QStringLiteral("Toelichting:"), col::Blue, false, TextMargin, s.TextLine, 1, t);
    s.TextLine += 1.5;
    DrawTextItem(QStringLiteral("Vermenigvuldigingsfactor ="), col::Blue, false, TextMargin, s.TextLine, 1, t);
    s.TextLine += 2;
    FractionOnLine(ScaledText(p[3], level), QString::number(a), col::Blue, PercentX(10), s.TextLine, t);
    DrawTextItem(QStringLiteral(" = ") + factor, col::Blue, false, LastTextEnd, s.TextLine, 1, t);
    s.TextLine += 2;
    DrawTextItem(QStringLiteral("Dus: q = %1 x %2 = ").arg(b).arg(factor), col::Blue, false, TextMargin, s.TextLine, 1,
                 t);
    const QString answer = s.AnswerKind == 2 ? FormatDecimal(s.ExpectedDecimal, s.AnswerDecimals, DecimalSeparator)
                                             : QString::number(s.ExpectedAnswer);
    DrawTextItem(answer + s.AnswerSuffix, col::Red, false, LastTextEnd, s.TextLine, 1, t);
    DrawFactorArrow(a, b, k / Divisor(level), factor);
}

}  // namespace kav

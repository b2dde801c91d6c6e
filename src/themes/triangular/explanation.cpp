// The worked explanation of the triangular themes, written under the judgement in
// TextBitmap; the dot and tile pictures get the table of triangular numbers beside them.
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

namespace kav {

namespace {

// Values shown in the explanation come from the theme's own generator; anything else is
// kept small enough that the arithmetic below cannot overflow.
int Side(int v)
{
    return qBound(-1000, v, 1000);
}

void BaseTextFont(Canvas* t)
{
    t->font.size = BaseFontSize;
    t->font.bold = false;
    t->font.italic = false;
    t->font.underline = false;
}

void Say(const QString& text, const QColor& color, double x, double line, double size = 1)
{
    DrawTextItem(text, color, false, x, line, size, TextBitmap());
}

// Text after the previous one on the current line.
void Then(const QString& text, const QColor& color)
{
    Say(text, color, LastTextEnd, Session().TextLine);
}

void NewLine(int indent)
{
    LastTextEnd = indent;
    Session().TextLine += 1.5;
}

// The triangle symbol with V as its subscript, in red, after the previous text.
void TriangleNumber(int v)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    BaseTextFont(t);
    t->setPen(col::Red, 1);
    int x = LastTextEnd;
    DrawTriangleNumber(x, QString::number(v), t, Session().TextLine, col::Red);
    LastTextEnd = x;
}

// How far a triangle number with subscript V reaches, measured by drawing it aside.
int TriangleNumberWidth(int v)
{
    Canvas* t = TextBitmap();
    if (!t)
        return 0;
    Canvas scratch(1, 1);
    scratch.font = t->font;
    BaseTextFont(&scratch);
    int x = 0;
    DrawTriangleNumber(x, QString::number(v), &scratch, 0, col::Red);
    return x;
}

// A built-up fraction after the previous text, its bar through the middle of the line.
void Fraction(const QString& numerator, const QString& denominator, const QColor& color)
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    BaseTextFont(t);
    t->setPen(color, 1);
    const int h = t->textHeight(numerator + denominator);
    const int y = Round(Session().TextLine * LineHeight + 0.5 * t->textHeight(numerator) - 0.6 * h);
    LastTextEnd = DrawFraction(numerator, denominator, t, LastTextEnd, y, color);
}

// The figure drawn again in the layout beside the table, then the table: the table would
// otherwise cover the right of a figure drawn without it.
void AddTableToPicture(int code)
{
    Canvas* pic = PictureBitmap();
    if (!pic)
        return;
    void (*figure)() = nullptr;
    switch (code) {
    case 21: figure = DrawPicture21; break;
    case 22: figure = DrawPicture22; break;
    case 23: figure = DrawPicture23; break;
    case 24: figure = DrawPicture24; break;
    case 25: figure = DrawPicture25; break;
    case 28: figure = DrawPicture28; break;
    default: break;
    }
    if (figure) {
        // Everything inside the frame the engine drew round the picture.
        pic->setBrush(col::BtnFace);
        pic->fillRect(1, 1, pic->width() - 1, pic->height() - 1);
        const TableLayoutScope beside;
        figure();
    }
    DrawTriangleTable();
}

void Gauss21(int b)
{
    SessionState& s = Session();
    Say(QStringLiteral("Driehoeksgetal met basis ") + QString::number(b) + QStringLiteral("."), col::Black, TextMargin,
        s.TextLine);
    Say(QStringLiteral("M.b.v. de truc van Gauss"), col::Black, TextMargin, s.TextLine + 1.25);
    Say(QStringLiteral("(omgekeerd eronder zetten):"), col::Black, TextMargin, s.TextLine + 2.25);
    s.TextLine += 4;
    LastTextEnd = 2 * TextMargin;
    TriangleNumber(b);
    Then(QStringLiteral(" = "), col::Blue);
    Fraction(QString::number(b) + QStringLiteral(" x ") + QString::number(b + 1), QStringLiteral("2"), col::Blue);
}

void TwoCorners23(int b, int first, int second)
{
    SessionState& s = Session();
    Say(QStringLiteral("De figuur is een grote driehoek"), col::Black, TextMargin, s.TextLine);
    Say(QStringLiteral("min twee kleinere driehoeken:"), col::Black, TextMargin, s.TextLine + 1);
    s.TextLine += 2.5;
    LastTextEnd = TextMargin;
    TriangleNumber(b);
    Then(QStringLiteral(" - "), col::Red);
    TriangleNumber(first);
    Then(QStringLiteral(" - "), col::Red);
    TriangleNumber(second);
    Say(QStringLiteral(" = ") + QString::number(Triangular(b)) + QStringLiteral(" - ") +
            QString::number(Triangular(first)) + QStringLiteral(" - ") + QString::number(Triangular(second)),
        col::Blue, 2 * TextMargin, s.TextLine + 1.5);
    s.TextLine += 1.5;
}

void SquareMinusTriangle25(int b, int pond)
{
    SessionState& s = Session();
    Say(QStringLiteral("De figuur is het verschil van een"), col::Black, TextMargin, s.TextLine);
    Say(QStringLiteral("vierkant en een driehoek:"), col::Black, TextMargin, s.TextLine + 1);
    s.TextLine += 2.5;
    Say(QString::number(b), col::Red, TextMargin, s.TextLine);
    Say(QStringLiteral("2"), col::Red, LastTextEnd, s.TextLine - 0.4, 0.75);
    Then(QStringLiteral(" - "), col::Red);
    TriangleNumber(pond);
    Then(QStringLiteral(" = ") + QString::number(b * b) + QStringLiteral(" - ") + QString::number(Triangular(pond)),
         col::Blue);
}

void SequenceSum(int first, int difference, int n, int firstPlusLast, bool middleLeftOut)
{
    SessionState& s = Session();
    const QString terms = QString::number(n);
    const QString pair = QString::number(firstPlusLast);
    if (middleLeftOut && difference != 0) {
        // Not every number of the row is shown: how many there are comes first.
        const int last = firstPlusLast - first;
        Say(QStringLiteral("Aantal getallen van de rij:"), col::Black, TextMargin, s.TextLine);
        Say(QStringLiteral("(") + QString::number(last) + QStringLiteral(" - ") + QString::number(first) +
                QStringLiteral(") : ") + QString::number(difference) + QStringLiteral(" + 1 = ") + terms,
            col::Blue, 2 * TextMargin, s.TextLine + 1);
        s.TextLine += 2.5;
    }
    Say(QStringLiteral("M.b.v. de truc van Gauss"), col::Black, TextMargin, s.TextLine);
    Say(QStringLiteral("(omgekeerd eronder zetten en"), col::Black, TextMargin, s.TextLine + 1);
    Say(QStringLiteral("plaatsgewijs optellen):"), col::Black, TextMargin, s.TextLine + 2);
    s.TextLine += 3.5;
    Say(QStringLiteral("Dan krijg je "), col::Black, TextMargin, s.TextLine);
    Then(terms + QStringLiteral(" keer ") + pair, col::Blue);
    Then(QStringLiteral("."), col::Black);
    Say(QStringLiteral("Optellen geeft: "), col::Black, TextMargin, s.TextLine + 1.25);
    Say(QStringLiteral("2 \u00b7 som = ") + terms + QStringLiteral(" \u00b7 ") + pair, col::Blue, LastTextEnd,
        s.TextLine + 1.25);
    Say(QStringLiteral("Ofwel: "), col::Black, TextMargin, s.TextLine + 2.5);
    s.TextLine += 3;
    Then(QStringLiteral("som = "), col::Red);
    Fraction(terms + QStringLiteral(" \u00b7 ") + pair, QStringLiteral("2"), col::Red);
}

void Rings28(int b, int rings)
{
    SessionState& s = Session();
    Canvas* t = TextBitmap();
    Say(QStringLiteral("De figuur is een driehoek waarvan"), col::Black, TextMargin, s.TextLine);
    Say(QStringLiteral("telkens om en om een kleinere"), col::Black, TextMargin, s.TextLine + 1);
    Say(QStringLiteral("driehoek wordt weggeveegd en"), col::Black, TextMargin, s.TextLine + 2);
    Say(QStringLiteral("weer toegevoegd:"), col::Black, TextMargin, s.TextLine + 3);
    s.TextLine += 4.5;
    const int full = t ? t->width() - 4 * TextMargin : 0;
    LastTextEnd = TextMargin;
    TriangleNumber(b);
    if (LastTextEnd > full)
        NewLine(2 * TextMargin);
    for (int i = 1; i <= rings; ++i) {
        const QString sign = i % 2 == 1 ? QStringLiteral(" - ") : QStringLiteral(" + ");
        // A term that would run past the edge starts the next line instead.
        if (t) {
            BaseTextFont(t);
            if (LastTextEnd + t->textWidth(sign) + TriangleNumberWidth(b - 2 * i) > t->width() - TextMargin)
                NewLine(2 * TextMargin);
        }
        Then(sign, col::Red);
        TriangleNumber(b - 2 * i);
        if (LastTextEnd > full)
            NewLine(2 * TextMargin);
    }
}

void Difference(int b, int removed)
{
    SessionState& s = Session();
    Say(QStringLiteral("De figuur is het verschil van twee"), col::Black, TextMargin, s.TextLine);
    Say(QStringLiteral("driehoeken:"), col::Black, TextMargin, s.TextLine + 1);
    s.TextLine += 2.5;
    LastTextEnd = TextMargin;
    TriangleNumber(b);
    Then(QStringLiteral(" - "), col::Red);
    TriangleNumber(removed);
    Then(QStringLiteral(" = ") + QString::number(Triangular(b)) + QStringLiteral(" - ") +
             QString::number(Triangular(removed)),
         col::Blue);
}

// " = " and the answer after the last text, on the next line when it would not fit.
void Result()
{
    Canvas* t = TextBitmap();
    if (!t)
        return;
    const QString result = QStringLiteral(" = ") + QString::number(Session().ExpectedAnswer);
    BaseTextFont(t);
    if (t->width() - TextMargin - t->textWidth(result) < LastTextEnd)
        NewLine(2 * TextMargin);
    Then(result, col::Red);
}

}  // namespace

void TriangularExplanation()
{
    SessionState& s = Session();
    const int code = s.ThemeCode;
    if (code != 26 && code != 27)
        AddTableToPicture(code);

    Say(QStringLiteral("Toelichting:"), col::Blue, TextMargin, s.TextLine + 1.5);
    s.TextLine += 2.5;
    const auto& p = s.QuestionParams;
    const bool known = code >= 1 && code < int(s.ThemeMemory.size());
    const int b = Side(code == 23 ? p[0] : known ? s.ThemeMemory[size_t(code)] : 0);
    switch (code) {
    case 21: Gauss21(b); break;
    case 23: TwoCorners23(b, Side(p[1]), Side(p[2])); break;
    case 25: SquareMinusTriangle25(b, Side(p[0])); break;
    case 26:
    case 27: SequenceSum(p[0], p[1], p[2], p[3], code == 27); break;
    case 28: Rings28(b, qBound(0, p[1], 30)); break;
    default: Difference(b, Side(p[0])); break;
    }
    Result();
}

}  // namespace kav

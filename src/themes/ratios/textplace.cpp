#include "themes/ratios/textplace.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"

namespace kav {

int ItemWidth(Canvas* target, const QString& text, double size, bool bold)
{
    if (!target)
        return 0;
    // Measured in the font DrawTextItem sets, which it leaves on the canvas afterwards too.
    target->font.size = Round(BaseFontSize * size);
    target->font.bold = bold;
    target->font.italic = false;
    target->font.underline = false;
    return target->textWidth(text);
}

void TextEndingAt(const QString& text, const QColor& color, bool bold, int endX, double line, Canvas* target)
{
    DrawTextItem(text, color, bold, endX - ItemWidth(target, text, 1, bold), line, 1, target);
}

void TextCentredOn(const QString& text, const QColor& color, bool bold, int centreX, double line, Canvas* target)
{
    DrawTextItem(text, color, bold, centreX - ItemWidth(target, text, 1, bold) / 2, line, 1, target);
}

void PictureText(const QString& text, const QColor& color, double x, double line)
{
    DrawTextFitting(text, color, false, x, line, 1, PictureBitmap());
}

void DrawTextFitting(const QString& text, const QColor& color, bool bold, double x, double line, double size,
                     Canvas* target)
{
    if (target) {
        QString shown = text;
        while (shown.endsWith(u' '))
            shown.chop(1);
        const int right = target->width() - 2;
        const double left = x == Centred ? 0 : x;
        while (size > 0.5 && left + ItemWidth(target, shown, size, bold) > right)
            size -= 0.05;
    }
    DrawTextItem(text, color, bold, x, line, size, target);
}

void QuestionText(double line, const QString& text, const QColor& color)
{
    DrawTextFitting(text, color, false, TextMargin, line, 1, TextBitmap());
}

void FractionOnLine(const QString& numerator, const QString& denominator, const QColor& color, int x, double line,
                    Canvas* target)
{
    if (!target)
        return;
    ItemWidth(target, QString());  // the plain base font
    LastTextEnd = DrawFraction(numerator, denominator, target, x, Round(line * LineHeight), color);
}

void AskDecimalNumber(double textLine, const QString& caption, const QString& hint, int decimals, double tolerance)
{
    SessionState& s = Session();
    s.AnswerKind = 2;
    s.AnswerDecimals = decimals;
    s.DecimalTolerance = tolerance;
    s.AnswerSuffix.clear();
    s.TextLine = textLine;
    OpenAnswer(caption, hint);
}

}  // namespace kav

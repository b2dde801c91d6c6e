#include "themes/ratios/textplace.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"

namespace kav {

void TextEndingAt(const QString& text, const QColor& color, bool bold, int endX, double line, Canvas* target)
{
    DrawTextItem(text, color, bold, endX - TextItemWidth(target, text, 1, bold), line, 1, target);
}

void TextCentredOn(const QString& text, const QColor& color, bool bold, int centreX, double line, Canvas* target)
{
    DrawTextCentredOn(text, color, bold, centreX, line, 1, target);
}

void PictureText(const QString& text, const QColor& color, double x, double line)
{
    DrawTextItem(text, color, false, x, line, 1, PictureBitmap());
}

void QuestionText(double line, const QString& text, const QColor& color)
{
    DrawTextItem(text, color, false, TextMargin, line, 1, TextBitmap());
}

void FractionOnLine(const QString& numerator, const QString& denominator, const QColor& color, int x, double line,
                    Canvas* target)
{
    if (!target)
        return;
    TextItemWidth(target, QString());  // the plain base font
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

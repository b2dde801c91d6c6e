#include "themes/ratios/ratiotext.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/session.h"
#include "themes/ratios/textplace.h"
#include "themes/triangular/triangle.h"

namespace kav {

void ExplainText(const QString& text, const QColor& color, double x, double line)
{
    DrawTextItem(text, color, false, x, line, 1, TextBitmap());
}

void ExplainNext(const QString& text, const QColor& color, double line)
{
    ExplainText(text, color, LastTextEnd, line);
}

void ExplainFraction(const QString& numerator, const QString& denominator, const QColor& color)
{
    FractionOnLine(numerator, denominator, color, LastTextEnd, Session().TextLine, TextBitmap());
}

void AskRatioAnswer(double textLine, const QString& caption, const QString& hint, const QString& suffix)
{
    SessionState& s = Session();
    s.AnswerTolerance = 0;
    if (AnswerPort* port = Context().port)
        port->Repaint();
    AskWholeNumber(textLine, caption, hint);
    s.AnswerSuffix = suffix;
}

QString Hundredths(int value)
{
    return FormatDecimal(value / 100.0, 2, DecimalSeparator);
}

QString Tenths(int value)
{
    return FormatDecimal(value / 10.0, 1, DecimalSeparator);
}

}  // namespace kav

// What the text side of the ratio themes 15 to 17 shares: explanation texts on the line grid
// of the text area, and the whole-number answer entry with its unit.
#pragma once
#include <QColor>
#include <QString>

namespace kav {

// Text on TextBitmap at X (pixels, or centred / right-aligned) on Line, size 1, not bold.
void ExplainText(const QString& text, const QColor& color, double x, double line);
// Text after the previous one (at LastTextEnd) on Line.
void ExplainNext(const QString& text, const QColor& color, double line);
// A built-up fraction on TextBitmap from LastTextEnd across the current TextLine; LastTextEnd
// moves past it.
void ExplainFraction(const QString& numerator, const QString& denominator, const QColor& color);

// Both areas shown, then a whole-number answer field at TextLine with its caption, its hint
// and the unit written after the answer (tolerance 0).
void AskRatioAnswer(double textLine, const QString& caption, const QString& hint, const QString& suffix);

// A value given in hundredths (or tenths), written with that many decimals and the user's
// decimal separator.
QString Hundredths(int value);
QString Tenths(int value);

}  // namespace kav

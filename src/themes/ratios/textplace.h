// Text placing shared by the ratio themes: texts that end at, or are centred on, a pixel x;
// built-up fractions on a text line; and the decimal answer entry.
#pragma once
#include <QColor>
#include <QString>

#include "draw/canvas.h"

namespace kav {

// DrawTextItem at size 1 with the text's right end at EndX (pixels).
void TextEndingAt(const QString& text, const QColor& color, bool bold, int endX, double line, Canvas* target);
// DrawTextItem at size 1 with the text centred on CentreX (pixels): x = CentreX - width div 2.
void TextCentredOn(const QString& text, const QColor& color, bool bold, int centreX, double line, Canvas* target);
// A text on PictureBitmap at size 1, not bold.
void PictureText(const QString& text, const QColor& color, double x, double line);
// A line of the question: on TextBitmap at TextMargin, size 1 (smaller only where it would not fit).
void QuestionText(double line, const QString& text, const QColor& color);
// A built-up fraction in the plain base font at X, its numerator half a line above Line and
// its bar through the middle of the line; LastTextEnd becomes the x just after it.
void FractionOnLine(const QString& numerator, const QString& denominator, const QColor& color, int x, double line,
                    Canvas* target);
// The decimal answer (AnswerKind 2) shown with Decimals decimals and accepted within
// Tolerance; the answer field at TextLine with the caption and hint.
void AskDecimalNumber(double textLine, const QString& caption, const QString& hint, int decimals, double tolerance);

}  // namespace kav

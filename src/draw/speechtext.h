// What "Lees voor" says: the texts a canvas shows turned into Dutch words that a Dutch voice
// reads right. A voice drops or reads in English what it takes for symbols (×, ÷, ·, ½, −, €),
// so every sign of a formula is written out as the words a teacher would say.
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

#include "draw/canvas.h"

namespace kav {

// The shown text (lines separated by line breaks, as ReadingText gives them) as words: "12 : 4"
// → "12 gedeeld door 4", "3,5" → "3 komma 5", "€ 3,75" → "3 euro 75", "16²" → "16 kwadraat",
// "(-3)" → "min 3", "M.b.v." → "met behulp van", "?" in a formula → "wat". A word broken with
// "-" at a line end is joined again; lines that end a thought end with a full stop, so the
// voice pauses there.
QString SpeechText(const QString& shown);

// The words for what two canvases show since their logs held textFrom and pictureFrom entries:
// the text area first, then the labels of the picture. The item dump's --speech and the
// "Lees voor" button both read the canvases through this.
QString CanvasSpeech(const QVector<TextLogEntry>& text, const QVector<TextLogEntry>& picture, int textFrom = 0,
                     int pictureFrom = 0);

}  // namespace kav

// What a canvas says, in reading order: the texts of its log as lines a reader takes from top
// to bottom and each line from left to right. The screen reader, "Lees voor" and the results'
// text versions read a canvas through this, never through its pixels.
#pragma once
#include <QString>
#include <QStringList>
#include <QVector>

#include "draw/canvas.h"

namespace kav {

// The log's texts as lines. Texts belong to one line when their heights overlap by half the
// smaller one; on a line, texts that touch are joined as written and texts apart get a space.
// A group is read as one piece where its first text stands: texts of a group written one above
// the other (a fraction) are joined with " / ", side by side with a space. Empty texts are
// skipped. A text with a reading (a sign drawn rather than written) is read by it.
QStringList ReadingLines(const QVector<TextLogEntry>& log);
// The lines joined with line breaks.
QString ReadingText(const QVector<TextLogEntry>& log);
// The texts written since the log held `from` entries, in reading order (what a judgement or
// an explanation added to a canvas).
QStringList ReadingLinesFrom(const QVector<TextLogEntry>& log, int from);

}  // namespace kav

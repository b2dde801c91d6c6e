// Small writing helpers of the Dotland, diagonal and nail-board themes: texts on the text
// area at size 1, not bold, and the cycle of question kinds kept in ThemeMemory.
#pragma once
#include <QColor>
#include <QString>
#include <QVector>

#include "draw/measures.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"

namespace kav::textlines {

inline QString Num(int v)
{
    return QString::number(v);
}

// Text at X (pixels, or Centred / RightAligned) on Line of TextBitmap.
inline void Write(const QString& text, const QColor& color, double x, double line)
{
    DrawTextItem(text, color, false, x, line, 1, TextBitmap());
}

// Text at the margin on Line.
inline void WriteAt(const QString& text, const QColor& color, double line)
{
    Write(text, color, TextMargin, line);
}

// Text just after the previous one on the same Line.
inline void WriteOn(const QString& text, const QColor& color, double line)
{
    Write(text, color, LastTextEnd, line);
}

// A piece of a line of mixed colours.
struct Piece {
    QString text;
    QColor color;
};

// The pieces one after the other from X on Line of TextBitmap (a piece that would run past the
// edge of the text area is written just as large as fits).
void WritePieces(double x, double line, const QVector<Piece>& pieces);

// The next kind of a cycle of Length kinds after Memory: (Memory + 1) mod Length, always in
// 0 .. Length - 1, also for a memory left by another level.
inline int NextInCycle(int memory, int length)
{
    if (length < 1)
        return 0;
    const long long next = (static_cast<long long>(memory) + 1) % length;
    return static_cast<int>(next < 0 ? next + length : next);
}

}  // namespace kav::textlines

#include "draw/reading.h"

#include <algorithm>
#include <map>

namespace kav {

namespace {

// One thing to read: a text alone or a whole group, with the box it covers.
struct Piece {
    QString text;
    int left = 0, top = 0, right = 0, bottom = 0;
    int order = 0;  // its place in the log, which keeps equal places stable
};

bool Stacked(const TextLogEntry& above, const TextLogEntry& below)
{
    const bool overlapX = below.x < above.x + std::max(above.width, 1) && above.x < below.x + std::max(below.width, 1);
    return overlapX && below.y >= above.y + above.height / 2;
}

QVector<Piece> Pieces(const QVector<TextLogEntry>& log, int from)
{
    QVector<Piece> pieces;
    std::map<int, int> groupPiece;  // group number -> its piece
    std::map<int, const TextLogEntry*> groupLast;
    for (int i = std::max(from, 0); i < log.size(); ++i) {
        const TextLogEntry& e = log[i];
        if (e.text.trimmed().isEmpty())
            continue;
        const QString said = e.reading.isEmpty() ? e.text : e.reading;
        const int right = e.x + e.width, bottom = e.y + std::max(e.height, 1);
        if (e.group != 0) {
            const auto found = groupPiece.find(e.group);
            if (found != groupPiece.end()) {
                Piece& p = pieces[found->second];
                p.text += (Stacked(*groupLast[e.group], e) ? QStringLiteral(" / ") : QStringLiteral(" ")) + said.trimmed();
                p.left = std::min(p.left, e.x);
                p.right = std::max(p.right, right);
                p.bottom = std::max(p.bottom, bottom);
                groupLast[e.group] = &e;
                continue;
            }
            groupPiece[e.group] = int(pieces.size());
            groupLast[e.group] = &e;
        }
        pieces.append({said, e.x, e.y, right, bottom, i});
    }
    return pieces;
}

QStringList Lines(QVector<Piece> pieces)
{
    std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    QStringList lines;
    QVector<Piece> line;
    int lineTop = 0, lineBottom = 0;
    const auto flush = [&] {
        if (line.isEmpty())
            return;
        std::stable_sort(line.begin(), line.end(), [](const Piece& a, const Piece& b) { return a.left < b.left; });
        QString text;
        int end = 0;
        for (int i = 0; i < line.size(); ++i) {
            const Piece& p = line[i];
            const int gap = p.left - end;
            if (i > 0 && gap > std::max(2, (p.bottom - p.top) / 8) && !text.endsWith(u' '))
                text += u' ';
            text += p.text;  // its blanks kept: "Ingegeven: " before the answer
            end = std::max(end, p.right);
        }
        lines << text.simplified();
        line.clear();
    };
    for (const Piece& p : pieces) {
        const int overlap = std::min(lineBottom, p.bottom) - std::max(lineTop, p.top);
        const int smaller = std::min(lineBottom - lineTop, p.bottom - p.top);
        if (!line.isEmpty() && overlap * 2 >= smaller) {
            lineBottom = std::max(lineBottom, p.bottom);
        } else {
            flush();
            lineTop = p.top;
            lineBottom = p.bottom;
        }
        line.append(p);
    }
    flush();
    return lines;
}

}  // namespace

QStringList ReadingLines(const QVector<TextLogEntry>& log)
{
    return Lines(Pieces(log, 0));
}

QString ReadingText(const QVector<TextLogEntry>& log)
{
    return ReadingLines(log).join(u'\n');
}

QStringList ReadingLinesFrom(const QVector<TextLogEntry>& log, int from)
{
    return Lines(Pieces(log, from));
}

}  // namespace kav

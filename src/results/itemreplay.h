// What is kept of an item to draw it again as the pupil saw it, at any size: the session
// state at the item's start, the random numbers it was drawn with, the answers as typed and
// read, and the measures of the screen it was shown on. A few hundred bytes instead of two
// pictures; the generators and the judge draw it again.
#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>
#include <vector>

#include "draw/canvas.h"
#include "session/session.h"

namespace kav {

struct ItemReplay {
    // The screen's measures when the item started.
    QSize textArea, pictureArea;
    double screenScale = 1;
    int textMargin = 8;
    int fontPoints = 10;  // the text font's size on that screen
    int lastTextEnd = 0;
    QChar separator = u',';
    SessionState state;                // as the item's choice found it
    std::vector<std::uint32_t> draws;  // the source's raw numbers, from the choice on
    struct Answer {
        QString typed;  // the field's text as the judge read it
        int whole = 0;
        double decimal = 0;
    };
    QVector<Answer> answers;  // one per attempt judged
};

// The screen's measures and the session state now, as an item's start.
ItemReplay ReplayFromHere();

// Versioned and compressed bytes; nothing from bytes that are not a kept item.
QByteArray EncodeReplay(const ItemReplay& replay);
std::optional<ItemReplay> DecodeReplay(const QByteArray& bytes);

struct RedrawnItem {
    QImage text;      // the text area after the last judgement (the worked explanation included)
    QImage picture;   // the picture area; as asked (before the last judgement) when wanted
    QVector<TextLogEntry> texts;  // the text area's log
};

// The item drawn again at `scale` times the size it was shown at, with the same numbers, the
// same answers and the same judgement. Nothing when the bytes are not a kept item or the
// drawing does not come out as the item did (another theme or right answer).
std::optional<RedrawnItem> RedrawItem(const QByteArray& kept, double scale, bool pictureAsAsked, int themeCode,
                                      const QString& rightAnswer);

// The areas the item was shown on, from its kept bytes; empty sizes without them.
QSize KeptTextArea(const QByteArray& kept);
QSize KeptPictureArea(const QByteArray& kept);

}  // namespace kav

// Shared set-up for the test suites: fixed measures, the picture libraries from the build
// folder, and messages recorded instead of shown.
#pragma once
#include <QColor>
#include <QImage>
#include <QRect>
#include <QVector>

#include "draw/datafolders.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/pictures.h"

namespace testsupport {

// How many items a sweep over seeds takes. A build with sanitizers checks every pixel drawn
// and runs several times slower: it takes a quarter, so the whole suite stays within minutes.
constexpr int Sweep(int items)
{
#ifdef KAVRIN_SANITIZED
    return items / 4;
#else
    return items;
#endif
}

// The baseline of a text written with its top at Y in a font of Size points: texts made
// smaller to fit their area stand on the baseline of their line, a little lower.
inline int Baseline(int y, int size, bool bold = false)
{
    kav::Canvas c(1, 1);
    c.font.size = size;
    c.font.bold = bold;
    return y + c.ascent();
}

inline int Baseline(const kav::TextLogEntry& e)
{
    return Baseline(e.y, e.size, e.bold);
}

// The picture libraries and lessons of the build folder, where the program finds them beside it.
inline void UseBuildPictures()
{
    kav::SetDataFolders({QStringLiteral(KAVRIN_BUILD_DIR)});
}

inline QColor At(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

inline QRgb Px(const QImage& img, int x, int y)
{
    return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] | 0xff000000u;
}

// The 4-connected areas of colour C above Bottom, and the box round all of them; with a
// Minimum, areas of fewer pixels (the inside of an "e" written on a surface) are not counted.
inline int Areas(const QImage& img, const QColor& c, int bottom, QRect* box = nullptr, int minimum = 1)
{
    const QRgb want = c.rgb() | 0xff000000u;
    const int w = img.width(), h = qMin(bottom, img.height());
    QVector<char> seen(w * h, 0);
    int areas = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (seen[y * w + x] || Px(img, x, y) != want)
                continue;
            int size = 0;
            QVector<QPoint> stack{QPoint(x, y)};
            seen[y * w + x] = 1;
            while (!stack.isEmpty()) {
                const QPoint p = stack.takeLast();
                ++size;
                if (box)
                    *box |= QRect(p, QSize(1, 1));
                for (QPoint q : {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)})
                    if (q.x() >= 0 && q.y() >= 0 && q.x() < w && q.y() < h && !seen[q.y() * w + q.x()] &&
                        Px(img, q.x(), q.y()) == want)
                        seen[q.y() * w + q.x()] = 1, stack.append(q);
            }
            areas += size >= minimum;
        }
    return areas;
}

inline int CountColour(const QImage& img, const QColor& c)
{
    int n = 0;
    const QRgb want = c.rgb();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) | 0xff000000u) == want;
    return n;
}

}  // namespace testsupport

#include "draw/canvas.h"
#include "session/context.h"
#include "session/session.h"

namespace testsupport {

// The first text of that content in a canvas's log, or null.
inline const kav::TextLogEntry* Logged(const kav::Canvas& c, const QString& text)
{
    for (const kav::TextLogEntry& e : c.textLog())
        if (e.text == text)
            return &e;
    return nullptr;
}

// An answer port that keeps what the generator opened.
struct AnswerRecorder : kav::AnswerPort {
    QString caption, hint;
    int opened = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
};

// The width of a logged text in its own font.
inline int Width(const kav::TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    c.font.bold = e.bold;
    return c.textWidth(e.text);
}

// The measures of a session window at 1024 x 768 for two canvases of that window's size:
// scale 1.6, margin 13, a line a 26th of the picture, the text font fitted to the line.
inline void SessionMeasures(kav::Canvas& picture, kav::Canvas& text)
{
    kav::ResetMeasures();
    kav::ScreenScale = 1.6;
    kav::TextMargin = 13;
    kav::LineHeight = picture.height() / 26;
    kav::PictureWidth = picture.width();
    text.font.family = kav::FontFamily;
    text.font.size = 19;
    while (text.textHeight(QStringLiteral("Hj")) > kav::LineHeight)
        --text.font.size;
    kav::BaseFontSize = text.font.size;
    picture.font = text.font;
}

// The session state as START leaves it, for one item of a triangular theme at a level.
inline void StartThemeItem(int code, int level)
{
    kav::SessionState& s = kav::Session();
    s.ThemeMemory.fill(-1);
    s.ThemeItemCount.fill(0);
    s.QuestionParams.fill(0);
    s.Attempt = 0;
    s.LevelIndex = level - 1;
    s.SessionMode = 20;
    s.ThemeCode = code;
}

}  // namespace testsupport

// Shared set-up for the test suites: fixed measures, the picture libraries from the build
// folder, and messages recorded instead of shown.
#pragma once
#include <QColor>
#include <QImage>

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

inline void UseBuildPictures()
{
    kav::SetPictureFolder(QStringLiteral(KAVRIN_BUILD_DIR));
}

inline QColor At(const QImage& img, int x, int y)
{
    return QColor(img.pixel(x, y));
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

// Shared by the suites of the ratio themes 15 to 17: the session as START leaves it for a
// ratio item, one item drawn as the engine draws it (and its second attempt), a final wrong
// answer judged in practice so that the worked explanation follows, and reading texts back.
#pragma once
#include <QPainter>
#include <QtTest>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/pictures.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "support.h"
#include "themes/verdeler.h"

namespace ratiotest {

struct Recorder : kav::AnswerPort {
    QString caption, hint;
    int opened = 0, repaints = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
    void Repaint() override { ++repaints; }
};

inline QRgb Px(const QImage& img, int x, int y)
{
    return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x] | 0xff000000u;
}

inline int Width(const kav::TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    c.font.bold = e.bold;
    return c.textWidth(e.text);
}

inline int Height(const kav::TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    return c.textHeight(e.text);
}

// The session window at 1024 x 768: a picture of 645 x 688 and a text area of 366 x 714.
struct Window {
    kav::Canvas picture{645, 688}, text{366, 714};
    Recorder port;

    void SetUp()
    {
        picture.setSize(645, 688);
        text.setSize(366, 714);
        testsupport::SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // The window at 640 x 480 instead: a picture of 403 x 420 and a text area of 228 x 443.
    void SmallScreen()
    {
        picture.setSize(403, 420);
        text.setSize(228, 443);
        kav::ResetMeasures();
        kav::LineHeight = picture.height() / 26;
        kav::PictureWidth = picture.width();
        text.font.size = 19;
        while (text.textHeight(QStringLiteral("Hj")) > kav::LineHeight)
            --text.font.size;
        kav::BaseFontSize = text.font.size;
        picture.font = text.font;
    }

    // When KAVRIN_SHOTS names a folder, both areas side by side into a PNG there.
    void Shot(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            return;
        QImage both(text.width() + picture.width(), qMax(text.height(), picture.height()), QImage::Format_RGB32);
        both.fill(kav::col::BtnFace);
        QPainter p(&both);
        p.drawImage(0, 0, text.image());
        p.drawImage(text.width(), 0, picture.image());
        p.end();
        both.save(folder + u'/' + name + QStringLiteral(".png"));
    }

    // When KAVRIN_SHOTS names a folder: items of theme Code at every level on both screens,
    // each also with its explanation after two wrong answers (for looking at them by eye).
    void Shots(int code, int perLevel, std::uint32_t seed, const QString& prefix)
    {
        if (qEnvironmentVariable("KAVRIN_SHOTS").isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        for (bool small : {false, true}) {
            if (small)
                SmallScreen();
            for (int level = 1; level <= 3; ++level) {
                Start(code, level);
                for (int i = 0; i < perLevel; ++i) {
                    kav::SeedRandom(seed + std::uint32_t(100 * level + i));
                    Item();
                    const QString name = QStringLiteral("%1%2_l%3_%4").arg(prefix, small ? "S" : "L").arg(level).arg(i);
                    Shot(name);
                    FailTwice();
                    Shot(name + QStringLiteral("_explained"));
                }
            }
        }
        SetUp();
    }

    // START of a ratio practice session at Level, for theme Code.
    void Start(int code, int level)
    {
        testsupport::StartThemeItem(code, level);
        kav::SessionState& s = kav::Session();
        s.SessionMode = 10;
        s.PracticeMode = true;
        s.MaxAttempts = 2;
        s.Private = kav::SessionState::ThemePrivate();
    }

    // A new item (both areas cleared, the picture framed), or the second attempt (only the
    // text area cleared), then the generator through the dispatcher.
    void Item(bool newItem = true)
    {
        kav::SessionState& s = kav::Session();
        if (newItem) {
            kav::ClearBitmap(&picture, kav::col::BtnFace);
            kav::FrameBitmap(&picture, kav::col::Black);
            s.Attempt = 0;
            s.AnswerSuffix.clear();
            s.AnswerTolerance = 7;  // whatever an earlier theme left
        } else {
            s.Attempt = 2;
        }
        kav::ClearBitmap(&text, kav::col::BtnFace);
        port = Recorder();
        QVERIFY(kav::Verdeler());
    }

    // Two wrong answers, the second after the item was asked again; returns what the worked
    // explanation wrote (from "Toelichting:" on).
    QVector<kav::TextLogEntry> FailTwice()
    {
        kav::SessionState& s = kav::Session();
        for (int attempt = 1; attempt <= 2; ++attempt) {
            if (attempt == 2)
                Item(false);
            s.GivenAnswer = s.ExpectedAnswer + 1;
            kav::Judge(QString::number(s.GivenAnswer));
        }
        const QVector<kav::TextLogEntry>& log = text.textLog();
        for (int i = 0; i < log.size(); ++i)
            if (log[i].text == QStringLiteral("Toelichting:"))
                return log.mid(i);
        return {};
    }

    // The first text of that content in the picture or the text area.
    const kav::TextLogEntry* InPicture(const QString& t) const { return testsupport::Logged(picture, t); }
    const kav::TextLogEntry* InText(const QString& t) const { return testsupport::Logged(text, t); }

    // A text, its colour and place on the line grid of the text area, at the margin.
    bool QuestionAt(const QString& t, const QColor& c, double line) const
    {
        for (const kav::TextLogEntry& e : text.textLog())
            if (e.text == t && e.color == c && e.x == kav::TextMargin && e.y == kav::Round(line * kav::LineHeight) &&
                e.x + Width(e) < text.width())
                return true;
        return false;
    }

    // Every text inside its area (an empty text only sets the font).
    static bool Inside(const kav::Canvas& c, const kav::TextLogEntry& e)
    {
        return e.text.isEmpty() ||
               (e.x >= 1 && e.y >= 0 && e.x + Width(e) <= c.width() - 1 && e.y + Height(e) <= c.height() - 1);
    }
};

}  // namespace ratiotest

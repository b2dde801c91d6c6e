// Shared by the suites of the ratio themes 15 to 17: the window's two areas at 1024 x 768 (or
// 640 x 480), START of a ratio practice session, items as the engine draws them, a sweep over
// seeded items that also checks every second attempt, two wrong answers that bring the worked
// explanation, and screenshots for looking at them by eye.
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
    int opened = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
};

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) | 0xff000000u; }

inline int Width(const kav::TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    c.font.bold = e.bold;
    return c.textWidth(e.text);
}

// A text inside its area (an empty text only sets the font).
inline bool Inside(const kav::Canvas& c, const kav::TextLogEntry& e)
{
    kav::Canvas m(1, 1);
    m.font.size = e.size;
    return e.text.isEmpty() ||
           (e.x >= 1 && e.y >= 0 && e.x + Width(e) <= c.width() - 1 && e.y + m.textHeight(e.text) <= c.height() - 1);
}

struct Window {
    kav::Canvas picture, text;
    Recorder port;

    void SetUp(bool small = false)
    {
        picture.setSize(small ? 403 : 645, small ? 420 : 688);
        text.setSize(small ? 228 : 366, small ? 443 : 714);
        testsupport::SessionMeasures(picture, text);
        if (small) {  // the design's scale and margin
            kav::ScreenScale = 1;
            kav::TextMargin = 8;
        }
        kav::SetContext(&picture, &text, &port);
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // START of a ratio practice session at Level.
    void Start(int code, int level)
    {
        testsupport::StartThemeItem(code, level);
        kav::SessionState& s = kav::Session();
        s.SessionMode = 10;
        s.PracticeMode = true;
        s.Private = kav::SessionState::ThemePrivate();
    }

    // A new item (both areas cleared, the picture framed), or the second attempt (the text
    // area cleared), through the dispatcher.
    void Item(bool newItem = true)
    {
        kav::SessionState& s = kav::Session();
        if (newItem) {
            kav::ClearBitmap(&picture, kav::col::BtnFace);
            kav::FrameBitmap(&picture, kav::col::Black);
            s.AnswerSuffix.clear();
            s.AnswerTolerance = 7;  // whatever an earlier theme left
        }
        s.Attempt = newItem ? 0 : 2;
        kav::ClearBitmap(&text, kav::col::BtnFace);
        port = Recorder();
        QVERIFY(kav::Verdeler());
        QVERIFY(port.opened == 1 && s.AnswerKind == 1 && s.AnswerTolerance == 0);
    }

    // The second attempt asks the same: the same texts in the same places, the same field,
    // the picture and the numbers untouched.
    void CheckSecondAttempt()
    {
        const kav::SessionState before = kav::Session();
        const QImage shown = picture.image();
        const QVector<kav::TextLogEntry> asked = text.textLog();
        const Recorder first = port;
        Item(false);
        const kav::SessionState& s = kav::Session();
        QVERIFY(picture.image() == shown && s.QuestionParams == before.QuestionParams);
        QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.ThemeMemory == before.ThemeMemory);
        QVERIFY(s.TextLine == before.TextLine && s.AnswerSuffix == before.AnswerSuffix);
        QVERIFY(port.caption == first.caption && port.hint == first.hint && text.textLog().size() == asked.size());
        for (int k = 0; k < asked.size(); ++k)
            QVERIFY(text.textLog()[k].text == asked[k].text && text.textLog()[k].y == asked[k].y &&
                    text.textLog()[k].color == asked[k].color);
    }

    // Count items per level, each in one session, with the shown decimals alternating between
    // "," and "."; Check(level, i, previous kept values) looks at each.
    template <class Check>
    void Sweep(int code, int count, std::uint32_t seed, Check check)
    {
        for (int level = 1; level <= 3; ++level) {
            Start(code, level);
            for (int i = 0; i < count && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(seed + std::uint32_t(10000 * level + i));
                kav::DecimalSeparator = i % 2 ? u',' : u'.';
                const kav::SessionState::ThemePrivate previous = kav::Session().Private;
                Item();
                for (const kav::Canvas* c : {&picture, &text})
                    for (const kav::TextLogEntry& e : c->textLog())
                        QVERIFY2(Inside(*c, e), qPrintable(e.text));
                if (i < 2)
                    CheckSecondAttempt();
                check(level, i, previous);
            }
        }
        kav::DecimalSeparator = u',';
    }

    // Two wrong answers, the second after the item was asked again; what the explanation wrote
    // (from "Toelichting:" on), every text of it inside the text area.
    QStringList FailTwice(QVector<kav::TextLogEntry>* entries = nullptr)
    {
        kav::SessionState& s = kav::Session();
        s.Attempt = 1;
        for (int attempt = 1; attempt <= 2; ++attempt) {
            if (attempt == 2)
                Item(false);
            s.GivenAnswer = s.ExpectedAnswer + 1;
            kav::Judge(QString::number(s.GivenAnswer));
        }
        const QVector<kav::TextLogEntry>& log = text.textLog();
        QStringList said;
        for (int i = 0; i < log.size(); ++i)
            if (log[i].text == QStringLiteral("Toelichting:") || !said.isEmpty()) {
                said << log[i].text;
                if (entries)
                    entries->append(log[i]);
                if (!Inside(text, log[i]))
                    said << QStringLiteral("(outside)");
            }
        return said;
    }

    // Whether Text stands at the margin on Line in Colour.
    bool Asked(const QString& t, const QColor& c, double line) const
    {
        for (const kav::TextLogEntry& e : text.textLog())
            if (e.text == t && e.color == c && e.x == kav::TextMargin && e.y == kav::Round(line * kav::LineHeight))
                return true;
        return false;
    }

    // When KAVRIN_SHOTS names a folder: items of theme Code at every level on both screens,
    // each also with its explanation.
    void Shots(int code, std::uint32_t seed, const QString& prefix)
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        auto shot = [&](const QString& name) {
            QImage both(text.width() + picture.width(), qMax(text.height(), picture.height()), QImage::Format_RGB32);
            both.fill(kav::col::BtnFace);
            QPainter p(&both);
            p.drawImage(0, 0, text.image());
            p.drawImage(text.width(), 0, picture.image());
            p.end();
            both.save(folder + u'/' + name + QStringLiteral(".png"));
        };
        for (bool small : {false, true}) {
            SetUp(small);
            for (int level = 1; level <= 3; ++level) {
                Start(code, level);
                for (int i = 0; i < 3; ++i) {
                    kav::SeedRandom(seed + std::uint32_t(100 * level + i));
                    Item();
                    const QString name = QStringLiteral("%1%2_l%3_%4").arg(prefix, small ? "S" : "L").arg(level).arg(i);
                    shot(name);
                    FailTwice();
                    shot(name + QStringLiteral("_explained"));
                }
            }
        }
        SetUp();
    }
};

}  // namespace ratiotest

// What the suites of the machine themes (1 and 5) share: the two canvases of a session
// window at 1024 x 768, a recording answer port, an item as the engine shows it, the
// second attempt, and two wrong answers in practice followed by the worked explanation.
#pragma once
#include <QDir>
#include <QPainter>
#include <QtTest>
#include <limits>

#include "support.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/verdeler.h"

namespace testsupport {

namespace col = kav::col;

struct Recorder : kav::AnswerPort {
    QString caption, hint;
    int opened = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
};

// A logged text without its font: what a pupil sees of it, and where.
struct Shown {
    QString text;
    int x, y;
    QRgb color;
    bool operator==(const Shown&) const = default;
};

inline QVector<Shown> ShownTexts(const kav::Canvas& c, int from = 0)
{
    QVector<Shown> v;
    for (int i = from; i < c.textLog().size(); ++i) {
        const kav::TextLogEntry& e = c.textLog()[i];
        v.append({e.text, e.x, e.y, e.color.rgb()});
    }
    return v;
}

class MachineSuite : public QObject {
protected:
    kav::Canvas picture{645, 688}, text{366, 714};
    Recorder port;
    // What the explanation wrote: the texts after "Toelichting:" (with it) and its pictures' texts.
    QVector<kav::TextLogEntry> explained, explainedInPicture;
    double headingLine = 0;

    void SetUp()
    {
        picture.setSize(645, 688);
        text.setSize(366, 714);
        SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // The areas and measures of the session window on a 640 x 480 screen.
    void SmallScreen()
    {
        picture.setSize(403, 430);
        text.setSize(228, 443);
        SessionMeasures(picture, text);
        kav::ScreenScale = 1;
        kav::TextMargin = 8;
    }

    // Every text of the item inside its area, the question clear of the picture's edge.
    void ItemInside()
    {
        for (const kav::TextLogEntry& e : text.textLog())
            QVERIFY2(e.x >= 0 && e.x + Width(e) <= text.width() - 2, qPrintable(e.text));
        for (const kav::TextLogEntry& e : picture.textLog())
            QVERIFY2(e.x >= 1 && e.x + Width(e) <= picture.width() - 2 && e.y >= 1 &&
                         e.y + kav::LineHeight <= picture.height() - 1,
                     qPrintable(e.text));
    }

    // START of a relations session (or of the mixed challenge) at Level.
    void Start(int code, int level, bool mixed = false)
    {
        StartThemeItem(code, level);
        kav::Session().SessionMode = mixed ? -10 : 0;
        kav::Session().PracticeMode = true;
    }

    // A new item as the engine shows one: both areas cleared, the picture framed.
    void Item()
    {
        kav::SessionState& s = kav::Session();
        kav::ClearBitmap(&picture, col::BtnFace);
        kav::FrameBitmap(&picture, col::Black);
        kav::ClearBitmap(&text, col::BtnFace);
        port = Recorder();
        s.Attempt = 0;
        QVERIFY(kav::Verdeler());
    }

    // A new item at Level whose theme memory held Memory before, from Seed.
    void ItemAfter(int code, int level, int memory, std::uint32_t seed)
    {
        Start(code, level);
        kav::Session().ThemeMemory[code] = memory;
        kav::SeedRandom(seed);
        Item();
    }

    // Whatever the theme memory held (it is only ever set by the theme), the next item's
    // lies in Lowest .. Highest.
    void MemoryRepaired(int code, int level, int lowest, int highest)
    {
        for (int memory : {-9, 55, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
            ItemAfter(code, level, memory, 1);
            QVERIFY(kav::Session().ThemeMemory[code] >= lowest && kav::Session().ThemeMemory[code] <= highest);
        }
    }

    // Without drawing areas the item and its explanation draw nothing and break nothing.
    void WithoutAreas(int code)
    {
        kav::SetContext(nullptr, nullptr, &port);
        port = Recorder();
        Start(code, 3);
        QVERIFY(kav::Verdeler());
        kav::Toelichting(code, false);
        QCOMPARE(port.opened, 1);
        SetUp();
    }

    // On a small screen: an item, two wrong answers and the explanation, all inside their
    // areas; saved as Name when that is given.
    void SmallScreenItem(int code, int level, int memory, std::uint32_t seed, const QString& name)
    {
        ItemAfter(code, level, memory, seed);
        ItemInside();
        ExplainAfterTwoWrong();
        if (!name.isEmpty())
            Save(name);
    }

    // A wrong first answer, the item asked again, and true when the second asking drew
    // exactly the same question, caption and hint and left the picture and the numbers alone.
    bool SecondAttemptSame()
    {
        kav::SessionState& s = kav::Session();
        const QVector<Shown> question = ShownTexts(text);
        const Recorder first = port;
        const QImage shown = picture.image();
        const auto params = s.QuestionParams;
        const auto memory = s.ThemeMemory;
        const int expected = s.ExpectedAnswer;
        s.Attempt = 1;
        s.GivenAnswer = expected + 1;
        kav::Judge(QString::number(s.GivenAnswer));
        if (s.Attempt != 2 || !Logged(text, QStringLiteral("Jammer! Tweede poging!")))
            return false;
        kav::ClearBitmap(&text, col::BtnFace);
        port = Recorder();
        kav::Verdeler();
        return ShownTexts(text) == question && port.caption == first.caption && port.hint == first.hint &&
               port.opened == 1 && picture.image() == shown && s.QuestionParams == params && s.ThemeMemory == memory &&
               s.ExpectedAnswer == expected && s.TextLine == 8;
    }

    // Both answers wrong in practice: the judge calls the worked explanation.
    void ExplainAfterTwoWrong()
    {
        kav::SessionState& s = kav::Session();
        QVERIFY(SecondAttemptSame());
        const int picturesBefore = int(picture.textLog().size());
        s.GivenAnswer = s.ExpectedAnswer - 1;
        kav::Judge(QString::number(s.GivenAnswer));
        QCOMPARE(s.Attempt, 0);
        explained.clear();
        bool heading = false;
        for (const kav::TextLogEntry& e : text.textLog()) {
            heading |= e.text == QStringLiteral("Toelichting:");
            if (heading)
                explained.append(e);
        }
        QVERIFY(!explained.isEmpty());
        headingLine = explained.first().y / double(kav::LineHeight);
        QCOMPARE(explained.first().y, kav::Round((8 + 2 + 1.25 + 1.25) * kav::LineHeight));
        QVERIFY(explained.first().color == col::Blue && explained.first().x == kav::TextMargin);
        explainedInPicture = picture.textLog().mid(picturesBefore);
        for (const kav::TextLogEntry& e : explained)
            QVERIFY2(e.x >= 0 && e.x + Width(e) <= text.width() - 2 && e.y + kav::LineHeight <= text.height(),
                     qPrintable(e.text));
        for (const kav::TextLogEntry& e : explainedInPicture)
            QVERIFY2(e.x >= 1 && e.x + Width(e) <= picture.width() - 2, qPrintable(e.text));
    }

    // The explanation's text on Line (after the heading) in Color, or null.
    const kav::TextLogEntry* Wrote(const QString& t, double line, const QColor& color) const
    {
        for (const kav::TextLogEntry& e : explained)
            if (e.text == t && e.y == kav::Round((headingLine + line) * kav::LineHeight) && e.color == color)
                return &e;
        return nullptr;
    }

    // When KAVRIN_SHOTS names a folder, the text and the picture side by side go there.
    void Save(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        QImage both(text.width() + picture.width(), qMax(text.height(), picture.height()), QImage::Format_RGB32);
        both.fill(col::BtnFace);
        QPainter p(&both);
        p.drawImage(0, 0, text.image());
        p.drawImage(text.width(), 0, picture.image());
        p.end();
        both.save(folder + u'/' + name);
    }
};

}  // namespace testsupport

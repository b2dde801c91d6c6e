// What the suites of the ratio themes share: a recording answer port, the session set up as
// START leaves it for the ratio topic, one item shown as the engine shows it, and the
// measuring of logged texts.
#pragma once
#include <QDir>
#include <QPainter>
#include <QtTest>
#include <functional>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/session.h"
#include "support.h"

namespace ratiotest {

using kav::Canvas;
using kav::TextLogEntry;

struct Recorder : kav::AnswerPort {
    QString caption, hint;
    int opened = 0, repaints = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
    void Repaint() override { ++repaints; }
};

// The width of a logged text in the font it was written in (measured once per text).
inline int Width(const TextLogEntry& e)
{
    static QHash<QString, int> known;
    const QString key = e.text + QStringLiteral("\n%1 %2").arg(e.size).arg(e.bold);
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    Canvas c(1, 1);
    c.font.family = kav::FontFamily;
    c.font.size = e.size;
    c.font.bold = e.bold;
    return known[key] = c.textWidth(e.text);
}

inline int Y(double line) { return kav::Round(line * kav::LineHeight); }

// Texts written on a canvas at or after index From.
inline QVector<TextLogEntry> Since(const Canvas& c, int from)
{
    return c.textLog().mid(from);
}

inline const TextLogEntry* Find(const QVector<TextLogEntry>& log, const QString& text, const QColor& colour = QColor())
{
    for (const TextLogEntry& e : log)
        if (e.text == text && (!colour.isValid() || e.color == colour))
            return &e;
    return nullptr;
}

// Saves a text area and a picture side by side when KAVRIN_SHOTS names a folder.
inline void SideBySide(const Canvas& text, const Canvas& picture, const QString& name)
{
    const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QImage both(text.width() + picture.width(), qMax(text.height(), picture.height()), QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, text.image());
    painter.drawImage(text.width(), 0, picture.image());
    painter.end();
    both.save(folder + u'/' + name + QStringLiteral(".png"));
}

// The two canvases of a session window at 1024 x 768, the port, and one item at a time.
struct Fixture {
    Canvas picture{645, 688}, text{366, 714};
    Recorder port;

    void SetUp()
    {
        testsupport::SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
    }

    // START of a ratio session at Level: theme memory and the themes' own values reset.
    static void Start(int code, int level)
    {
        testsupport::StartThemeItem(code, level);
        kav::SessionState& s = kav::Session();
        s.SessionMode = 10;
        s.Private = kav::SessionState::ThemePrivate();
        s.PracticeMode = true;
        s.AnswerSuffix.clear();
    }

    // A new item as the engine shows it (cleared, framed), or with Attempt 2 the same item
    // again with only the text area cleared.
    void Item(const std::function<void()>& generator)
    {
        kav::SessionState& s = kav::Session();
        if (s.Attempt == 0) {
            kav::ClearBitmap(&picture, kav::col::BtnFace);
            kav::FrameBitmap(&picture, kav::col::Black);
            s.AnswerSuffix.clear();
        }
        kav::ClearBitmap(&text, kav::col::BtnFace);
        port = Recorder();
        generator();
    }

    // The same item asked again: the picture, the numbers and everything the text area and
    // the answer field show stay the same.
    void CheckSecondAttempt(const std::function<void()>& generator)
    {
        kav::SessionState& s = kav::Session();
        const kav::SessionState before = s;
        const QImage shown = picture.image(), textShown = text.image();
        const QString caption = port.caption, hint = port.hint;
        const int pictureTexts = int(picture.textLog().size());
        s.Attempt = 2;
        Item(generator);
        s.Attempt = 0;
        QVERIFY(picture.image() == shown && picture.textLog().size() == pictureTexts);
        QVERIFY(text.image() == textShown);
        QVERIFY(port.opened == 1 && port.caption == caption && port.hint == hint);
        QVERIFY(s.QuestionParams == before.QuestionParams && s.ThemeMemory == before.ThemeMemory);
        QVERIFY(s.ExpectedAnswer == before.ExpectedAnswer && s.ExpectedDecimal == before.ExpectedDecimal);
        QVERIFY(s.AnswerKind == before.AnswerKind && s.TextLine == before.TextLine);
        QVERIFY(s.AnswerSuffix == before.AnswerSuffix && s.QuestionSubject == before.QuestionSubject);
    }

    // A final wrong answer as the judge writes it under the question, then the explanation;
    // returns the texts the explanation wrote on the text area.
    QVector<TextLogEntry> Explain(const std::function<void()>& explanation)
    {
        kav::SessionState& s = kav::Session();
        kav::DrawTextItem(QStringLiteral("Ingegeven: 1"), kav::col::Black, false, kav::TextMargin, s.TextLine, 1, &text);
        s.TextLine += 3.25;
        kav::DrawTextItem(QStringLiteral("Het juiste antwoord was: "), kav::col::Black, false, kav::TextMargin,
                          s.TextLine, 1, &text);
        if (!s.AnswerSuffix.isEmpty())
            s.TextLine += 1.25;
        const int before = int(text.textLog().size());
        explanation();
        return Since(text, before);
    }

    // Everything written lies inside its canvas (trailing blanks do not show).
    static bool Inside(const QVector<TextLogEntry>& log, const Canvas& c, QString* which = nullptr)
    {
        for (TextLogEntry e : log) {
            while (e.text.endsWith(u' '))
                e.text.chop(1);
            if (e.x < 0 || e.x + Width(e) > c.width() - 1 || e.y < 0 || e.y + kav::LineHeight > c.height()) {
                if (which)
                    *which = e.text;
                return false;
            }
        }
        return true;
    }

    void Shot(const QString& name) const { SideBySide(text, picture, name); }
};

}  // namespace ratiotest

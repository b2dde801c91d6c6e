// What the suites of the Dotland, diagonal and nail-board themes share: the canvases of a
// session window at 1024 x 768, one item run as the engine runs it (cleared, framed, the
// generator), a whole wrong item in practice through the real judge down to the worked
// explanation, and checks on the texts written.
#pragma once
#include <QDir>
#include <QPainter>
#include <QtTest>
#include <functional>

#include "support.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/session.h"
#include "themes/verdeler.h"

namespace relsupport {

struct Recorder : kav::AnswerPort {
    QString caption, hint;
    int opened = 0;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h, ++opened; }
};

// The width of a logged text in its font (remembered: the sweeps measure the same texts often).
inline int Width(const kav::TextLogEntry& e)
{
    static QHash<QString, int> known;
    const QString key = QStringLiteral("%1|%2|").arg(e.size).arg(e.bold) + e.text;
    if (const auto it = known.constFind(key); it != known.constEnd())
        return *it;
    kav::Canvas c(1, 1);
    c.font.family = kav::FontFamily;
    c.font.size = e.size;
    c.font.bold = e.bold;
    return known[key] = c.textWidth(e.text);
}

inline int Y(double line)
{
    return kav::Round(line * kav::LineHeight);
}

// True when the pixel nearest to P or one of its eight neighbours has colour C.
inline bool Near(const QImage& img, QPointF p, const QColor& c)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (QColor(img.pixel(kav::Round(p.x()) + dx, kav::Round(p.y()) + dy)) == c)
                return true;
    return false;
}

struct ThemeBench {
    kav::Canvas picture{645, 688}, text{366, 714};
    Recorder port;
    int code = 0;

    void Init()
    {
        testsupport::SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // The session state as START leaves it for a relations practice session at Level.
    void Start(int themeCode, int level)
    {
        code = themeCode;
        testsupport::StartThemeItem(themeCode, level);
        kav::SessionState& s = kav::Session();
        s.SessionMode = 0;
        s.PracticeMode = true;
        s.Private = kav::SessionState::ThemePrivate();
        s.ItemCount = 0;
        s.Points = 0;
        s.MaxAttempts = 2;
        s.AnswerTolerance = 0;
    }

    // One call of the generator as the engine makes it: a new item clears both areas and
    // frames the picture, a second attempt clears only the text. Without Picture the
    // generator runs without a picture area (the sweeps over the numbers, which draw the
    // picture only for a sample).
    void Generate(bool withPicture = true)
    {
        kav::SessionState& s = kav::Session();
        kav::SetContext(withPicture ? &picture : nullptr, &text, &port);
        if (withPicture && s.Attempt == 0) {
            kav::ClearBitmap(&picture, kav::col::BtnFace);
            kav::FrameBitmap(&picture, kav::col::Black);
        }
        kav::ClearBitmap(&text, kav::col::BtnFace);
        port = Recorder();
        s.ThemeCode = code;
        QVERIFY(kav::Verdeler());
        kav::SetContext(&picture, &text, &port);
    }

    // The pupil types Answer and presses Enter.
    void Answer(int answer)
    {
        kav::SessionState& s = kav::Session();
        if (s.Attempt == 0)
            s.Attempt = 1;
        s.GivenAnswer = answer;
        kav::Judge(QString::number(answer));
    }

    // A new item answered wrong twice. Keeps the question texts and the answer field of both
    // attempts and what the worked explanation wrote after the judge. AfterFirst runs just
    // after the new item was generated.
    QVector<kav::TextLogEntry> firstQuestion, secondQuestion, explained;
    Recorder firstField, secondField;
    void WrongTwice(const std::function<void()>& afterFirst = {})
    {
        kav::SessionState& s = kav::Session();
        s.Attempt = 0;
        Generate();
        firstQuestion = text.textLog();
        firstField = port;
        if (afterFirst)
            afterFirst();
        Answer(s.ExpectedAnswer + 1);
        Generate();
        secondQuestion = text.textLog();
        secondField = port;
        Answer(s.ExpectedAnswer + 1);
        int from = int(text.textLog().size());
        for (int i = 0; i < text.textLog().size(); ++i)
            if (text.textLog()[i].text == QStringLiteral("Toelichting:"))
                from = i;
        explained = text.textLog().mid(from);
    }

    const kav::TextLogEntry* Written(const QString& t, const QColor& c = QColor()) const
    {
        for (const kav::TextLogEntry& e : explained)
            if (e.text == t && (!c.isValid() || e.color == c))
                return &e;
        return nullptr;
    }

    // The folder named by KAVRIN_SHOTS (made when missing), where the suites save items and
    // explanations for looking at them by eye; empty when not set.
    static QString ShotFolder()
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (!folder.isEmpty())
            QDir().mkpath(folder);
        return folder;
    }

    // The text area beside the picture, saved under Name in the shot folder.
    bool SaveShot(const QString& name) const
    {
        QImage both(text.width() + picture.width(), text.height(), QImage::Format_RGB32);
        both.fill(Qt::white);
        QPainter painter(&both);
        painter.drawImage(0, 0, text.image());
        painter.drawImage(text.width(), 0, picture.image());
        painter.end();
        return both.save(ShotFolder() + u'/' + name);
    }

    // Every text of the canvas lies inside it.
    static bool Inside(const kav::Canvas& c, QString* what = nullptr)
    {
        for (const kav::TextLogEntry& e : c.textLog())
            if (e.x < 0 || e.x + Width(e) > c.width() - 1 || e.y < 0 || e.y + kav::LineHeight > c.height()) {
                if (what)
                    *what = e.text;
                return false;
            }
        return true;
    }
};

// The texts of a log as "line|colour|text" at X, for comparing two drawings of one question.
inline QStringList Texts(const QVector<kav::TextLogEntry>& log)
{
    QStringList l;
    for (const kav::TextLogEntry& e : log)
        l << QStringLiteral("%1|%2|%3|%4").arg(e.x).arg(e.y).arg(e.color.name(), e.text);
    return l;
}

}  // namespace relsupport

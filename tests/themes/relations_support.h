// Shared by the Dotland, diagonal and nail-board suites: the canvases of a session window at
// 1024 x 768, an item run as the engine runs it, and a whole wrong item in practice through
// the real judge down to the worked explanation.
#pragma once
#include <QtTest>
#include <functional>

#include "support.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "themes/verdeler.h"

namespace relsupport {

namespace col = kav::col;
using kav::TextLogEntry;

struct Recorder : kav::AnswerPort {
    QString field;  // caption + hint
    void OpenAnswer(const QString& c, const QString& h) override { field = c + h; }
};

inline int Width(const TextLogEntry& e)
{
    static QHash<QString, int> known;  // the sweeps measure the same texts often
    const QString key = QString::number(e.size) + u'|' + e.text;
    if (!known.contains(key)) {
        kav::Canvas c(1, 1);
        c.font.size = e.size;
        known[key] = c.textWidth(e.text);
    }
    return known[key];
}

inline int Y(double line) { return kav::Round(line * kav::LineHeight); }

// The pixel nearest to P or one of its neighbours has colour C.
inline bool Near(const QImage& img, QPointF p, const QColor& c)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (QColor(img.pixel(kav::Round(p.x()) + dx, kav::Round(p.y()) + dy)) == c)
                return true;
    return false;
}

inline QStringList Texts(const QVector<TextLogEntry>& log)
{
    QStringList l;
    for (const TextLogEntry& e : log)
        l << QStringLiteral("%1|%2|%3|%4").arg(e.x).arg(e.y).arg(e.color.name(), e.text);
    return l;
}

struct ThemeBench {
    kav::Canvas picture{645, 688}, text{366, 714};
    Recorder port;
    int code = 0;
    QVector<TextLogEntry> explained;  // by WrongTwice

    void Init()
    {
        testsupport::SessionMeasures(picture, text);
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // The session state as START leaves it for relations practice at Level.
    void Start(int themeCode, int level)
    {
        code = themeCode;
        testsupport::StartThemeItem(themeCode, level);
        kav::Session().SessionMode = 0;
        kav::Session().PracticeMode = true;
        kav::Session().Private = kav::SessionState::ThemePrivate();
    }

    // The generator as the engine calls it (a new item on cleared, framed areas; a second
    // attempt on a cleared text area). The sweeps draw the picture only for a sample.
    void Generate(bool withPicture = true)
    {
        kav::SessionState& s = kav::Session();
        kav::SetContext(withPicture ? &picture : nullptr, &text, &port);
        if (withPicture && s.Attempt == 0) {
            kav::ClearBitmap(&picture, col::BtnFace);
            kav::FrameBitmap(&picture, col::Black);
        }
        kav::ClearBitmap(&text, col::BtnFace);
        s.ThemeCode = code;
        QVERIFY(kav::Verdeler());
        kav::SetContext(&picture, &text, &port);
    }

    void WrongAnswer()
    {
        kav::SessionState& s = kav::Session();
        s.Attempt = qMax(s.Attempt, 1);
        s.GivenAnswer = s.ExpectedAnswer + 1;
        kav::Judge(QString::number(s.GivenAnswer));
    }

    // A new item answered wrong twice: the second attempt asks the same in the same field;
    // keeps what the explanation wrote.
    void WrongTwice(const std::function<void()>& afterFirst = {})
    {
        kav::Session().Attempt = 0;
        Generate();
        const QStringList question = Texts(text.textLog());
        const QString field = port.field;
        if (afterFirst)
            afterFirst();
        WrongAnswer();
        Generate();
        QVERIFY(Texts(text.textLog()) == question && port.field == field);
        WrongAnswer();
        const QVector<TextLogEntry>& log = text.textLog();
        const auto head = std::find_if(log.begin(), log.end(), [](const TextLogEntry& e) { return e.text == "Toelichting:"; });
        QVERIFY(head != log.end() && head->color == col::Blue && head->x == kav::TextMargin);
        explained = QVector<TextLogEntry>(head, log.end());
    }

    bool Wrote(const QString& t, const QColor& c, double line) const
    {
        return std::any_of(explained.begin(), explained.end(),
                           [&](const TextLogEntry& e) { return e.text == t && e.color == c && e.y == Y(line); });
    }

    // The first text that does not lie inside its canvas, or nothing.
    static QString Outside(const kav::Canvas& c)
    {
        for (const TextLogEntry& e : c.textLog())
            if (e.x < 0 || e.x + Width(e) > c.width() - 1 || e.y < 0 || e.y + kav::LineHeight > c.height())
                return e.text;
        return QString();
    }
};

}  // namespace relsupport

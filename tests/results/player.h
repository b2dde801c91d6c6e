// Plays a practice or test session with the real generators and judge, item by item as the
// session window plays them (generator, judge, second attempt, worked explanation), and keeps
// its result with the recorder.
#pragma once
#include <QTest>
#include <random>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "results/recorder.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "support.h"
#include "themes/verdeler.h"

namespace testsupport {

struct ScorePort : AnswerRecorder {
    void SetScore(const QString& t) override { score = t; }
    QString score;
};

enum class Play { RightAtOnce, RightAtSecond, WrongTwice };

struct SessionPlayer {
    // The two areas of the session window at 1024 x 768.
    kav::Canvas picture{645, 688}, text{366, 714};
    ScorePort port;
    kav::SessionRecorder rec;

    void setUp()
    {
        UseBuildPictures();
        SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(kav::Toelichting);
        kav::DecimalSeparator = u',';
    }

    void start(int mode, bool practice, int levelIndex, const QString& name = QStringLiteral("Anna"),
               const QString& code = QStringLiteral("ABCDEFGHJK"), int planned = 0, unsigned ticked = 0xFF)
    {
        kav::SessionState& s = kav::Session();
        kav::ClearSessionFlags();
        s.SessionMode = mode;
        s.PracticeMode = practice;
        s.TickedThemes = ticked;
        s.LevelIndex = levelIndex;
        kav::ResetSession(kav::Level());
        rec.start(name, code, mode, practice, kav::Level(), planned, QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    }

    // Doorgaan: the second attempt of the item in hand, or the next item by the mode's rule.
    void next()
    {
        kav::SessionState& s = kav::Session();
        kav::ClearBitmap(&text, kav::col::BtnFace);
        if (s.Attempt == 0) {
            kav::ClearBitmap(&picture, kav::col::BtnFace);
            kav::FrameBitmap(&picture, kav::col::Black);
            do {
                s.ThemeCode = kav::ThemeCodeFor(kav::ChooseNext());
                s.AnswerSuffix.clear();
                s.MaxAttempts = 2;
            } while (!kav::Verdeler());
        } else {
            kav::Verdeler();
        }
        if (s.Attempt == 0)
            s.Attempt = 1;
    }

    // Types an answer as the answer field reads it, judges it and tells the recorder.
    QString answer(bool right)
    {
        kav::SessionState& s = kav::Session();
        QString typed;
        if (s.AnswerKind == 2) {
            const double v = right ? s.ExpectedDecimal : s.ExpectedDecimal + 100000;
            typed = kav::FormatDecimal(v, 9, u',');
            s.GivenDecimal = *kav::ParseDecimal(typed, u',');
        } else {
            typed = QString::number(right ? s.ExpectedAnswer : s.ExpectedAnswer + 100000);
            s.GivenAnswer = *kav::ParseWhole(typed);
        }
        rec.aboutToJudge();
        kav::Judge(u' ' + typed + u' ');
        rec.judged(u' ' + typed + u' ');
        return typed;
    }

    // One whole item played the given way.
    void playItem(Play play)
    {
        next();
        answer(play == Play::RightAtOnce);
        if (play != Play::RightAtOnce) {
            next();
            answer(play == Play::RightAtSecond);
        }
    }

    // A whole session of n items, each played a random way.
    kav::SessionResult playSession(int mode, bool practice, int levelIndex, int items, std::uint32_t seed,
                                   const QString& name = QStringLiteral("Anna"), const QString& code = QString())
    {
        kav::SeedRandom(seed);
        start(mode, practice, levelIndex, name, code, items);
        std::mt19937 rng(seed);
        for (int n = 0; n < items; ++n)
            playItem(Play(rng() % 3));
        return rec.finish(QDateTime(QDate(2026, 12, 7), QTime(14, 17, 35)));
    }
};

}  // namespace testsupport

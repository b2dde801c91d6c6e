// The session engine without a window: reading answers, choosing themes, judging and scoring.
#include <QLocale>
#include <QSet>
#include <QTest>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "support.h"

using namespace kav;

namespace {

struct Recorder : AnswerPort {
    void OpenAnswer(const QString& c, const QString& h) override
    {
        caption = c;
        hint = h;
    }
    void SetFace(const QString& n) override { face = n; }
    void SetScore(const QString& t) override { score = t; }
    void ShowContinue() override { ++continues; }
    QString caption, hint, face, score;
    int continues = 0;
};

QStringList texts(const Canvas& c)
{
    QStringList l;
    for (const auto& e : c.textLog())
        l << e.text;
    return l;
}

const TextLogEntry* find(const Canvas& c, const QString& text)
{
    return testsupport::Logged(c, text);
}

}  // namespace

class TestEngine : public QObject {
    Q_OBJECT
    Canvas picture{645, 688};
    Canvas text{366, 714};
    Recorder port;
    QList<std::pair<int, bool>> explained;

private slots:
    void init()
    {
        ResetMeasures();
        LineHeight = 26;
        TextMargin = 13;
        BaseFontSize = 15;
        text.font.size = picture.font.size = 15;
        port = Recorder();
        SetContext(&picture, &text, &port);
        explained.clear();
        SetExplanationHandler([this](int code, bool right) { explained.append({code, right}); });
        ClearBitmap(&text, col::BtnFace);
        SessionState& s = Session();
        ClearSessionFlags();
        s.SessionMode = 20;
        s.PracticeMode = true;
        s.LevelIndex = 1;
        ResetSession(Level());
        s.ThemeCode = 21;
        s.AnswerKind = 1;
        s.ExpectedAnswer = 15;
        s.AnswerTolerance = 0;
        s.AnswerSuffix.clear();
        s.TextLine = 8;
        s.Attempt = 1;
        s.MaxAttempts = 2;
        DecimalSeparator = u',';
    }

    void wholeNumbers()
    {
        QCOMPARE(ParseWhole(QStringLiteral("15")).value(), 15);
        QCOMPARE(ParseWhole(QStringLiteral("-7")).value(), -7);
        QCOMPARE(ParseWhole(QStringLiteral("+7")).value(), 7);
        QCOMPARE(ParseWhole(QStringLiteral("2147483647")).value(), 2147483647);
        QCOMPARE(ParseWhole(QStringLiteral("-2147483648")).value(), int(-2147483648LL));
        for (const char* bad : {"", "12.0", "3/4", "12a", "1 2", "- 7", "-", "+", "2147483648", "1e3", "?", "١٢", "  "})
            QVERIFY2(!ParseWhole(QString::fromUtf8(bad)), bad);
        // Blanks around an answer (a stray Space, a tab, a non-breaking space) are no part of
        // it, and the typographic minus is a minus.
        QCOMPARE(ParseWhole(QStringLiteral(" 12")).value(), 12);
        QCOMPARE(ParseWhole(QStringLiteral("12 ")).value(), 12);
        QCOMPARE(ParseWhole(QString::fromUtf8("\t\u00a012\u00a0 ")).value(), 12);
        QCOMPARE(ParseWhole(QString::fromUtf8("\u22127")).value(), -7);
        QCOMPARE(ParseDecimal(QString::fromUtf8(" \u22120,5 "), u',').value(), -0.5);
        QVERIFY(!ParseDecimal(QStringLiteral("0, 5"), u','));
    }

    void decimalNumbersAndTheSeparator()
    {
        QCOMPARE(RewriteSeparator(QStringLiteral("2.5"), u','), QStringLiteral("2,5"));
        QCOMPARE(RewriteSeparator(QStringLiteral("2,5"), u'.'), QStringLiteral("2.5"));
        QCOMPARE(RewriteSeparator(QStringLiteral("1,2,5"), u'.'), QStringLiteral("1.2,5"));
        QCOMPARE(ParseDecimal(QStringLiteral("2,5"), u',').value(), 2.5);
        QCOMPARE(ParseDecimal(QStringLiteral("-0,25"), u',').value(), -0.25);
        QCOMPARE(ParseDecimal(QStringLiteral(",5"), u',').value(), 0.5);
        QCOMPARE(ParseDecimal(QStringLiteral("7"), u'.').value(), 7.0);
        for (const char* bad : {"", "1.2,5", "2,5", "abc", "1..2", "-", "3/4", ","})
            QVERIFY2(!ParseDecimal(QString::fromUtf8(bad), u'.'), bad);
        QVERIFY(DecimalNumberError(u'.').contains(QStringLiteral("de punt als")));
        QCOMPARE(DecimalNumberError(u','), QStringLiteral("Foutieve invoer !\rGeef een getal in !\rGebruik eventueel de komma als decimaal scheidingsteken !"));
        QCOMPARE(WholeNumberError(), QStringLiteral("Foutieve invoer !\rGeef een geheel getal in !"));
        QCOMPARE(FormatDecimal(2.5, 2, u','), QStringLiteral("2,50"));
        QCOMPARE(FormatDecimal(3.14159, 1, u'.'), QStringLiteral("3.1"));
    }

    void scoreLabel()
    {
        QCOMPARE(ScoreText(12, 5), QStringLiteral("012 uit 005"));
        QCOMPARE(ScoreText(0, 0), QStringLiteral("000 uit 000"));
        QCOMPARE(ScoreText(1234, 1000), QStringLiteral("234 uit 000"));
    }

    void practiceCyclesInBoxOrder()
    {
        SessionState& s = Session();
        s.TickedThemes = (1u << 1) | (1u << 4);  // boxes 2 and 5
        QList<int> seen;
        for (int i = 0; i < 6; ++i) {
            s.ThemeCode = ThemeCodeFor(ChooseNext());
            seen << s.ThemeCode;
        }
        QCOMPARE(seen, QList<int>({22, 25, 22, 25, 22, 25}));
        s.TickedThemes = 1u << 2;
        s.ThemeCode = 0;
        for (int i = 0; i < 3; ++i) {
            s.ThemeCode = ThemeCodeFor(ChooseNext());
            QCOMPARE(s.ThemeCode, 23);
        }
    }

    void testNeverRepeatsWithinThree()
    {
        SessionState& s = Session();
        s.PracticeMode = false;
        for (unsigned seed = 1; seed <= 200; ++seed) {
            SeedRandom(seed);
            s.TickedThemes = (1u << 0) | (1u << 3) | (1u << 6);
            if (seed % 2)
                s.TickedThemes |= 1u << 7;
            s.LastTheme = s.ThemeBeforeLast = 0;
            s.ThemeCode = 0;
            QList<int> seq;
            for (int i = 0; i < 60; ++i) {
                const int n = ChooseNext();
                QVERIFY(s.TickedThemes & (1u << (n - 1)));
                seq << n;
                s.ThemeCode = ThemeCodeFor(n);
            }
            for (int i = 2; i < seq.size(); ++i)
                QVERIFY(seq[i] != seq[i - 1] && seq[i] != seq[i - 2]);
        }
    }

    void mixedChallengeDrawsAllThirtyCodes()
    {
        SessionState& s = Session();
        s.PracticeMode = false;
        s.SessionMode = -10;
        SeedRandom(99);
        QSet<int> codes;
        QList<int> seq;
        for (int i = 0; i < 3000; ++i) {
            const int n = ChooseNext();
            QVERIFY(n >= 1 && n <= 30);
            QCOMPARE(ThemeCodeFor(n), n);
            codes.insert(n);
            seq << n;
        }
        QCOMPARE(codes.size(), 30);
        for (int i = 2; i < seq.size(); ++i)
            QVERIFY(seq[i] != seq[i - 1] && seq[i] != seq[i - 2]);
    }

    void rightAtOnce()
    {
        SessionState& s = Session();
        s.GivenAnswer = 15;
        Judge(QStringLiteral(" 15 "));
        const QStringList t = texts(text);
        QCOMPARE(t.mid(0, 4), QStringList({QStringLiteral("Ingegeven: "), QStringLiteral("15"),
                                           QStringLiteral("Prima !"), QStringLiteral("4 punten erbij.")}));
        QCOMPARE(find(text, QStringLiteral("Prima !"))->color, col::Red);
        QCOMPARE(find(text, QStringLiteral("Prima !"))->y, Round(10 * LineHeight));
        QCOMPARE(find(text, QStringLiteral("4 punten erbij."))->color, col::Blue);
        QCOMPARE(find(text, QStringLiteral("4 punten erbij."))->y, Round(11.75 * LineHeight));
        QCOMPARE(s.Points, 4);
        QCOMPARE(s.ItemCount, 1);
        QCOMPARE(s.ThemeItemCount[21], 1);
        QCOMPARE(s.Attempt, 0);
        QCOMPARE(port.score, QStringLiteral("004 uit 001"));
        QCOMPARE(port.face, QStringLiteral("smile"));
        QCOMPARE(port.continues, 1);
        QVERIFY(explained.isEmpty());
    }

    void wrongThenRight()
    {
        SessionState& s = Session();
        s.GivenAnswer = 14;
        Judge(QStringLiteral("14"));
        QVERIFY(texts(text).contains(QStringLiteral("Jammer! Tweede poging!")));
        QCOMPARE(s.Attempt, 2);
        QCOMPARE(s.ItemCount, 0);
        QCOMPARE(port.face, QStringLiteral("sad"));
        ClearBitmap(&text, col::BtnFace);
        s.TextLine = 8;
        s.GivenAnswer = 15;
        Judge(QStringLiteral("15"));
        QVERIFY(texts(text).contains(QStringLiteral("2 punten erbij.")));  // level 2, second attempt
        QCOMPARE(s.Points, 2);
        QCOMPARE(port.score, QStringLiteral("002 uit 001"));
    }

    void finalWrongInPracticeExplains()
    {
        SessionState& s = Session();
        s.Attempt = 2;
        s.GivenAnswer = 3;
        Judge(QStringLiteral("3"));
        const QStringList t = texts(text);
        QVERIFY(t.contains(QStringLiteral("Jammer !")));
        QVERIFY(t.contains(QStringLiteral("Het juiste antwoord was: ")));
        QVERIFY(t.contains(QStringLiteral("15")));
        QCOMPARE(find(text, QStringLiteral("15"))->color, col::Red);
        QCOMPARE(explained, (QList<std::pair<int, bool>>{{21, false}}));
        QCOMPARE(s.Points, 0);
        QCOMPARE(port.score, QStringLiteral("000 uit 001"));
        // In a test nothing is explained.
        s.PracticeMode = false;
        s.Attempt = 2;
        explained.clear();
        Judge(QStringLiteral("3"));
        QVERIFY(explained.isEmpty());
    }

    // A class test: the pupil's neighbours have the same items, so a final wrong answer says
    // "Fout." and not what the answer was; without a code nothing changes.
    void classTestHidesTheRightAnswer()
    {
        SessionState& s = Session();
        s.PracticeMode = false;
        for (const QString& suffix : {QString(), QStringLiteral(" km")}) {
            ClearBitmap(&text, col::BtnFace);
            s.AnswersHidden = true;
            s.AnswerSuffix = suffix;
            s.TextLine = 8;
            s.Attempt = 2;
            s.GivenAnswer = 3;
            Judge(QStringLiteral("3"));
            const QStringList t = texts(text);
            QCOMPARE(t, (QStringList{QStringLiteral("Ingegeven: "), QStringLiteral("3") + suffix,
                                     QStringLiteral("Jammer !"), QStringLiteral("Fout.")}));
            QCOMPARE(find(text, QStringLiteral("Fout."))->y, Round((8 + 2 + 1.25) * LineHeight));
            QCOMPARE(port.face, QStringLiteral("sad"));
        }
        s.AnswerSuffix.clear();
        // Without a code (and after ClearSessionFlags) the answer is shown again.
        ClearSessionFlags();
        QVERIFY(!s.AnswersHidden);
        ClearBitmap(&text, col::BtnFace);
        s.Attempt = 2;
        s.GivenAnswer = 3;
        Judge(QStringLiteral("3"));
        QVERIFY(texts(text).contains(QStringLiteral("Het juiste antwoord was: ")));
        QVERIFY(!texts(text).contains(QStringLiteral("Fout.")));
    }

    // The separator comes from the system's locale; a system without a language gives the
    // comma, as does the program without any locale.
    void separatorOfTheLocale()
    {
        for (const char* comma : {"C", "C.UTF-8", "POSIX", "nl_NL", "nl_BE", "de_DE", "nl_NL.UTF-8"})
            QVERIFY2(SeparatorOfLocale(QLocale(QString::fromLatin1(comma))) == u',', comma);
        QVERIFY(SeparatorOfLocale(QLocale::c()) == u',');
        for (const char* point : {"en_US", "en_GB", "en_US.UTF-8"})
            QVERIFY2(SeparatorOfLocale(QLocale(QString::fromLatin1(point))) == u'.', point);
        // The tests run under C.UTF-8: what the program reads is the comma.
        ReadDecimalSeparator();
        QCOMPARE(DecimalSeparator, QChar(u','));
    }

    void unitGetsItsOwnLine()
    {
        SessionState& s = Session();
        s.AnswerSuffix = QStringLiteral(" km");
        s.Attempt = 2;
        s.GivenAnswer = 3;
        Judge(QStringLiteral("3"));
        QCOMPARE(find(text, QStringLiteral("3 km"))->y, Round(8 * LineHeight));
        const TextLogEntry* right = find(text, QStringLiteral("15 km"));
        QVERIFY(right);
        QCOMPARE(right->x, TextMargin);
        QCOMPARE(right->y, Round((8 + 2 + 1.25 + 1.25) * LineHeight));
    }

    void toleranceAndPrecies()
    {
        SessionState& s = Session();
        s.AnswerTolerance = 1;
        s.GivenAnswer = 14;
        Judge(QStringLiteral("14"));
        QVERIFY(texts(text).contains(QStringLiteral(" (Precies: 15)")));
        // A decimal item: within the tolerance is right.
        ClearBitmap(&text, col::BtnFace);
        s.AnswerKind = 2;
        s.ExpectedDecimal = 2.5000001;
        s.DecimalTolerance = 0.000005;
        s.GivenDecimal = 2.5;
        s.Attempt = 1;
        Judge(QStringLiteral("2,5"));
        QVERIFY(texts(text).contains(QStringLiteral("Goed !")));
        ClearBitmap(&text, col::BtnFace);
        s.GivenDecimal = 2.50001;
        s.Attempt = 2;
        s.AnswerDecimals = 2;
        Judge(QStringLiteral("2,50001"));
        QVERIFY(texts(text).contains(QStringLiteral("2,50")));
    }

    void praiseWordsInOrder()
    {
        SessionState& s = Session();
        QStringList praised;
        for (int i = 0; i < 10; ++i) {
            ClearBitmap(&text, col::BtnFace);
            s.TextLine = 8;
            s.Attempt = 1;
            s.GivenAnswer = 15;
            Judge(QStringLiteral("15"));
            praised << texts(text).value(2);
        }
        QCOMPARE(praised.first(), QStringLiteral("Prima !"));
        QCOMPARE(praised.value(8), QStringLiteral("Ok !"));  // the ninth
        QCOMPARE(praised.value(9), QStringLiteral("Prima !"));
        QCOMPARE(s.Points, 40);
    }

    void themeTwoIsAlwaysExplained()
    {
        SessionState& s = Session();
        s.PracticeMode = false;
        s.ThemeCode = 2;
        s.GivenAnswer = 15;
        Judge(QStringLiteral("15"));
        QCOMPARE(explained, (QList<std::pair<int, bool>>{{2, true}}));
    }

    void bookkeeperRanks()
    {
        SessionState& s = Session();
        s.PracticeMode = false;
        s.BookkeeperMode = true;
        s.Rank = 23;
        s.GivenAnswer = 15;
        Judge(QStringLiteral("15"));
        QVERIFY(!texts(text).contains(QStringLiteral(" Promotie !")));
        QVERIFY(texts(text).contains(QStringLiteral("1 punt erbij.")));
        QCOMPARE(s.ThemeItemCount[21], 0);  // games do not count theme items
        ClearBitmap(&text, col::BtnFace);
        s.Rank = 5;
        s.Attempt = 1;
        Judge(QStringLiteral("15"));
        QVERIFY(texts(text).contains(QStringLiteral(" Promotie !")));
        QCOMPARE(s.Rank, 6);
        ClearBitmap(&text, col::BtnFace);
        s.Attempt = 2;
        s.GivenAnswer = 1;
        Judge(QStringLiteral("1"));
        QVERIFY(texts(text).contains(QStringLiteral("Degradatie: 2 rangen.")));
        QCOMPARE(s.Rank, 4);
        ClearBitmap(&text, col::BtnFace);
        s.Rank = 1;
        s.Attempt = 2;
        Judge(QStringLiteral("1"));
        for (const QString& line : texts(text))
            QVERIFY(!line.startsWith(QStringLiteral("Degradatie")));
        QCOMPARE(s.Rank, 1);
    }

    void resetAtStart()
    {
        SessionState& s = Session();
        s.ThemeMemory[5] = 7;
        s.ThemeItemCount[5] = 3;
        s.Private.theme15[3] = 9;
        s.Private.theme12 = 2.5;
        s.Points = 30;
        ResetSession(2);
        QCOMPARE(s.ThemeMemory[5], -1);
        QCOMPARE(s.ThemeItemCount[5], 0);
        QCOMPARE(s.Private.theme15[3], 1);
        QCOMPARE(s.Private.theme17[1], 1);
        QCOMPARE(s.Private.theme12, 0.0);
        QCOMPARE(s.Points, 0);
        QCOMPARE(s.LevelAtStart, 2);
        QVERIFY(s.SessionRunning);
    }
};

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"

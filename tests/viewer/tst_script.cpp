// The script reader and the interpreter on small scripts written here, played into two
// canvases through a recording port: no window involved.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>
#include <memory>

#include "draw/datafolders.h"
#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/session.h"
#include "support.h"
#include "viewer/interpreter.h"
#include "viewer/scriptreader.h"

using namespace testsupport;
using kav::Canvas;
using kav::Session;

namespace {

struct Recorder : kav::ScriptPort {
    QStringList calls;
    bool continueShown = false;
    int entryTop = -1;
    QString entryPrompt;
    int entryKind = 0;
    int einde = 0;
    // Runs during "[wait]"; returning false means the viewer closed.
    std::function<bool()> duringWait;

    void ShowContinue(bool focus) override
    {
        continueShown = true;
        calls << (focus ? QStringLiteral("continue+focus") : QStringLiteral("continue"));
    }
    void HideContinue() override
    {
        continueShown = false;
        calls << QStringLiteral("hide");
    }
    void OpenEntry(int top, const QString& prompt, int kind) override
    {
        entryTop = top;
        entryPrompt = prompt;
        entryKind = kind;
        calls << QStringLiteral("entry");
    }
    void Paint() override { calls << QStringLiteral("paint"); }
    void Einde() override
    {
        ++einde;
        calls << QStringLiteral("einde");
    }
    bool HandleEvents(int ms) override
    {
        if (duringWait && !duringWait())
            return false;
        QThread::msleep(ulong(ms));
        return true;
    }
};

void WriteFile(const QString& name, const QByteArray& bytes)
{
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Lines(const QStringList& lines, const char* eol = "\r\n")
{
    QByteArray b;
    for (const QString& l : lines)
        b += l.toLatin1() + eol;
    return b;
}

QStringList Texts(const Canvas& c)
{
    QStringList l;
    for (const auto& e : c.textLog())
        if (!e.text.isEmpty())
            l << e.text;
    return l;
}

const kav::TextLogEntry* Find(const Canvas& c, const QString& text)
{
    for (const auto& e : c.textLog())
        if (e.text == text)
            return &e;
    return nullptr;
}

int Width(const QString& text, int size, bool bold = false)
{
    Canvas c(10, 10);
    c.font.size = size;
    c.font.bold = bold;
    return c.textWidth(text);
}

QColor Px(const Canvas& c, int x, int y)
{
    return At(c.image(), x, y);
}

}  // namespace

class TestScript : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString oldDir_;
    Canvas text_, picture_;
    Recorder port_;
    std::unique_ptr<kav::Interpreter> run_;

    // Writes demo3.txt, reads it and plays the first run of the step.
    void play(const QStringList& lines, int step = 0)
    {
        WriteFile(QStringLiteral("demo3.txt"), Lines(lines));
        QVERIFY(run_->LeesFile(QStringLiteral("demo3.txt")));
        run_->ScriptStep = step;
        run_->Doorgaan();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        kav::SetDataFolders({dir_.path()});  // where the program finds its lessons
        kav::StartRecordingMessages();
    }
    void cleanupTestCase()
    {
        QDir::setCurrent(oldDir_);
        kav::SetDataFolders({});
    }

    void init()
    {
        kav::ResetMeasures();
        kav::DecimalSeparator = u',';
        Session() = kav::SessionState{};
        kav::ClearRecordedMessages();
        text_ = Canvas(228, 416);
        picture_ = Canvas(403, 404);
        kav::ClearBitmap(&text_, kav::col::BtnFace);
        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        port_ = Recorder{};
        run_ = std::make_unique<kav::Interpreter>(&text_, &picture_, &port_);
    }

    // ---- reader ------------------------------------------------------------------

    void numbersAreReadWithTheSeparator()
    {
        QCOMPARE(kav::ScriptDecimal(QStringLiteral(" -2,5 "), u','), std::optional<double>(-2.5));
        for (const char* bad : {"2.5", "", "abc", "1e3", "2,5,1", "200000"})
            QVERIFY2(!kav::ScriptDecimal(QString::fromLatin1(bad), u','), bad);
        QCOMPARE(kav::ScriptWhole(QStringLiteral(" 302")), std::optional<int>(302));
        QVERIFY(!kav::ScriptWhole(QStringLiteral("3,5")));
    }

    void fieldsPersistAndQuotesHoldCommas()
    {
        kav::ScriptReader r;
        r.SplitLine(QStringLiteral("10,tekst,l,2.5,'3,5 cm',1.2,Red/Yellow,Vet,R"));
        QCOMPARE(r.F[1], QStringLiteral("10"));
        QCOMPARE(r.F[2], QStringLiteral("tekst"));
        QCOMPARE(r.F[4], QStringLiteral("2,5"));  // two and a half rows with the separator ","
        QCOMPARE(r.F[5], QStringLiteral("3,5 cm"));
        QCOMPARE(r.F[6], QStringLiteral("1,2"));
        QCOMPARE(r.F[7], QStringLiteral("Yellow"));
        QCOMPARE(r.F[8], QStringLiteral("Vet"));
        QCOMPARE(r.F[9], QStringLiteral("R"));
        QCOMPARE(r.PenColour, kav::col::Red);

        // A two-field line keeps F3 .. F9; the kept F7 gives the pen colour now.
        r.SplitLine(QStringLiteral("11,[toets]"));
        QCOMPARE(r.F[1], QStringLiteral("11"));
        QCOMPARE(r.F[2], QStringLiteral("[toets]"));
        QCOMPARE(r.F[5], QStringLiteral("3,5 cm"));
        QCOMPARE(r.F[9], QStringLiteral("R"));
        QCOMPARE(r.PenColour, kav::col::Yellow);

        // A shorter line: its last field runs to the end, later fields keep their values.
        r.SplitLine(QStringLiteral("12,tekst,c,4,Hallo, wereld"));
        QCOMPARE(r.F[5], QStringLiteral("Hallo"));
        QCOMPARE(r.F[6], QStringLiteral(" wereld"));
        QCOMPARE(r.F[9], QStringLiteral("R"));
        // F9 is the whole rest, commas included.
        r.SplitLine(QStringLiteral("13,tekst,l,1,a,1,Blue,,Rechts,en,meer"));
        QCOMPARE(r.F[9], QStringLiteral("Rechts,en,meer"));
        QCOMPARE(r.F[8], QString());
        // No comma at all: empty F1, the whole line in F2.
        r.SplitLine(QStringLiteral("zomaar"));
        QCOMPARE(r.F[1], QString());
        QCOMPARE(r.F[2], QStringLiteral("zomaar"));

        kav::DecimalSeparator = u'.';
        r.SplitLine(QStringLiteral("14,tekst,l,2.5,x,1,Blue,,"));
        QCOMPARE(r.F[4], QStringLiteral("2.5"));
    }

    void colourNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("Olive") << "Olive" << QColor(128, 128, 0);
        QTest::newRow("Brown") << "Brown" << QColor(128, 0, 0);
        QTest::newRow("Blank") << "Blank" << kav::col::BtnFace;
        QTest::newRow("lower case") << "red" << QColor(255, 255, 255);
        QTest::newRow("empty") << "" << QColor(255, 255, 255);
    }
    void colourNames()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        QCOMPARE(kav::ColourByName(name), colour);
    }

    // ---- steps and control --------------------------------------------------------

    void linesOfOtherStepsAreConsumed()
    {
        play({"100,tekst,l,1,Een,1,Black,,", "200,tekst,l,1,Twee,1,Black,,", "201,[toets]",
              "150,tekst,l,2,Anderhalf,1,Black,,", "202,tekst,l,2,TweeB,1,Black,,", "203,[toets]",
              "300,tekst,l,3,Drie,1,Black,,", "999,[end]"},
             2);
        QCOMPARE(Texts(text_), QStringList{"Twee"});
        QCOMPARE(run_->ContinueTag, 201);
        QVERIFY(port_.calls.contains("continue+focus"));
        run_->Doorgaan();
        QCOMPARE(Texts(text_), QStringList({"Twee", "TweeB"}));
        QCOMPARE(run_->reader.queue().first(), QStringLiteral("300,tekst,l,3,Drie,1,Black,,"));
        run_->Doorgaan();
        QCOMPARE(port_.einde, 1);
        QCOMPARE(Texts(text_), QStringList({"Twee", "TweeB"}));
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    void introOnlyStopsAtTheFirstLineOfStepOne()
    {
        run_->IntroOnly = true;
        play({"0,tekst,l,1,Intro,1,Black,,", "1,[toets]", "2,tekst,l,2,Meer,1,Black,,",
              "100,tekst,l,3,Stap1,1,Black,,", "101,[toets]", "999,[end]"});
        QCOMPARE(Texts(text_), QStringList{"Intro"});
        run_->Doorgaan();
        QCOMPARE(port_.einde, 1);
        QCOMPARE(Texts(text_), QStringList({"Intro", "Meer"}));
        QCOMPARE(run_->reader.queue().size(), 2);
    }

    void endClosesWithoutDrawingMore()
    {
        play({"0,tekst,l,1,Voor,1,Black,,", "5,[end]", "6,tekst,l,1,Na,1,Black,,"});
        QCOMPARE(port_.einde, 1);
        QCOMPARE(Texts(text_), QStringList{"Voor"});
        QVERIFY(run_->reader.atEnd());  // the line after "[end]" was never read
        QVERIFY(!run_->running());
    }

    void entryOpensThePanelAndHidesDoorgaan()
    {
        play({"10,[invoer],1,6.5,Hoeveel stippen", "11,[end]"});
        QCOMPARE(port_.entryTop, kav::Round(6.5 * kav::LineHeight));
        QCOMPARE(port_.entryPrompt, QStringLiteral("Hoeveel stippen"));
        QCOMPARE(port_.entryKind, 1);
        QVERIFY(!port_.continueShown);
        QCOMPARE(run_->ContinueTag, 10);
        QCOMPARE(port_.einde, 0);
    }

    void waitWaitsAndKeepsHandlingEvents()
    {
        int rounds = 0;
        port_.duringWait = [&rounds]() {
            ++rounds;
            return true;
        };
        QElapsedTimer clock;
        clock.start();
        play({"10,tekst,l,1,Voor,1,Black,,", "11,[wait],0.5", "12,tekst,l,2,Na,1,Black,,", "13,[toets]"});
        QVERIFY2(clock.elapsed() >= 450, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(rounds >= 2);  // the window's events were handled more than once meanwhile
        const int hide = int(port_.calls.indexOf("hide"));
        QVERIFY(hide > 0);
        QCOMPARE(port_.calls.value(hide + 1), QStringLiteral("paint"));  // shown before the wait
        QCOMPARE(Texts(text_), QStringList({"Voor", "Na"}));
    }

    void closingDuringAWaitEndsTheRun()
    {
        // The viewer closes (Einde) while the script waits.
        port_.duringWait = [this]() {
            run_->Abort();
            return false;
        };
        play({"10,[wait],5", "11,tekst,l,2,Na,1,Black,,", "12,[toets]", "13,[end]"});
        QVERIFY(Texts(text_).isEmpty());
        QVERIFY(!run_->running());
        QVERIFY(kav::RecordedMessages().isEmpty());

        // The viewer is opened anew during the wait: the old run ends, the new one plays.
        WriteFile(QStringLiteral("demo2.txt"), Lines({"0,tekst,l,1,Nieuw,1,Black,,", "1,[toets]"}));
        bool reopened = false;
        port_.duringWait = [this, &reopened]() {
            if (!reopened) {
                reopened = true;
                run_->LeesFile(QStringLiteral("demo2.txt"));
                run_->Doorgaan();
            }
            return true;
        };
        play({"10,[wait],5", "11,tekst,l,2,Oud,1,Black,,", "12,[toets]"});
        QCOMPARE(Texts(text_), QStringList{"Nieuw"});
    }

    // ---- faults ------------------------------------------------------------------

    void conversionErrorStopsTheRunAndKeepsTheDrawing()
    {
        play({"10,tekst,l,1,Hallo,1,Black,,", "11,[box],abc,8,10,40,Red,1,R", "12,tekst,l,3,Verder,1,Black,,",
              "13,[toets]", "14,[end]"});
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{"Fout in regel 11 van demo3.txt:\r'abc' is geen geldig getal (veld 3)."});
        QCOMPARE(Texts(text_), QStringList{"Hallo"});
        QVERIFY(port_.continueShown);  // the pupil can go on past the faulty line
        QVERIFY(!run_->running());
        run_->Doorgaan();
        QCOMPARE(Texts(text_), QStringList({"Hallo", "Verder"}));

        // A line without a line number.
        kav::ClearRecordedMessages();
        play({",tekst,l,1,X,1,Black,,", "1,[end]"});
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{"Fout in demo3.txt, in de regel ',tekst,l,1,X,1,Black,,':\r"
                             "De regel begint niet met een regelnummer."});

        // Script text holding place holders is shown as it stands.
        kav::ClearRecordedMessages();
        play({"10,[box],%2%1,8,10,40,Red,1,R", "11,[end]"});
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{"Fout in regel 10 van demo3.txt:\r'%2%1' is geen geldig getal (veld 3)."});
    }

    // Messages quote at most 80 characters of what the script says.
    void longScriptTextIsQuotedShort()
    {
        const QString eighty(80, u'7');
        play({QStringLiteral("10,[box],%1x,8,10,40,Red,1,R").arg(eighty + eighty), "11,[end]"});
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{QStringLiteral("Fout in regel 10 van demo3.txt:\r'%1…' is geen geldig getal (veld 3).").arg(eighty)});

        kav::ClearRecordedMessages();
        const QString line = QStringLiteral(",tekst,l,1,") + QString(300, u'a') + QStringLiteral(",1,Black,,");
        play({line, "1,[end]"});
        QCOMPARE(kav::RecordedMessages(),
                 QStringList{QStringLiteral("Fout in demo3.txt, in de regel '%1…':\rDe regel begint niet met een regelnummer.")
                                 .arg(line.left(80))});

        QCOMPARE(kav::QuoteScriptText(eighty), QLatin1Char('\'') + eighty + QLatin1Char('\''));
        // A character outside the first plane is never cut in half.
        const QString smile = QString(79, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("b");
        QCOMPARE(kav::QuoteScriptText(smile), QStringLiteral("'%1…'").arg(QString(79, u'a')));
    }

    void emptyQueueStopsTheRun()
    {
        play({"10,tekst,l,1,Alleen,1,Black,,"});
        QCOMPARE(kav::RecordedMessages(), QStringList{"Fout in demo3.txt:\rHet script is afgelopen zonder [end]."});
        QCOMPARE(Texts(text_), QStringList{"Alleen"});
        QVERIFY(!port_.continueShown);  // nothing left to continue with
        QCOMPARE(port_.einde, 0);
    }

    void divisionByZeroStopsTheRun()
    {
        play({"10,tekst,l,1,Eerst,1,Black,,", "11,[pos],1/0,2,Nooit,1,Black,,", "12,[end]"});
        QCOMPARE(kav::RecordedMessages(), QStringList{"Fout in regel 11 van demo3.txt:\rDeling door nul in '1/0' (veld 3)."});
        QCOMPARE(Texts(text_), QStringList{"Eerst"});

        // The sum animation with N = 0, continued without being started.
        kav::ClearRecordedMessages();
        kav::ClearBitmap(&text_, kav::col::BtnFace);
        Session().SessionMode = 30;
        Session().GivenAnswer = 0;
        play({"301,tekst,l,1,Som,1,Black,,", "304,[toets]", "306,[end]"}, 3);
        QCOMPARE(kav::RecordedMessages(), QStringList{"Fout in regel 304 van demo3.txt:\rDeling door nul: het getal N is 0."});
        QCOMPARE(Texts(text_), QStringList{"Som"});
        QVERIFY(!run_->ContinueRun);
    }

    void tooLargeAPatternIsRefused()
    {
        Session().GivenAnswer = 100000;
        play({"10,[3hoeksgetal],?,0,0,50,Blue,True,R", "11,[end]"});
        QCOMPARE(kav::RecordedMessages().size(), 1);
        QVERIFY(kav::RecordedMessages().first().contains(QStringLiteral("te groot")));
    }

    // ---- texts -------------------------------------------------------------------

    void posPlacesTextAndMovesOnAlsoOnOtherSteps()
    {
        play({"10,[pos],1/2,3,Hallo,1,Black,,", "250,[pos],1/4,3,Weg,1,Black,,", "11,tekst,p,4,Hier,1,Black,,",
              "12,[pos2],1/4,5,Daar,1,Black,,", "13,[end]"});
        const auto* hallo = Find(text_, "Hallo");
        QVERIFY(hallo);
        QCOMPARE(hallo->x, kav::Round(0.5 * 228) + kav::TextMargin);
        QCOMPARE(hallo->y, 3 * kav::LineHeight);
        QVERIFY(!Find(text_, "Weg"));
        QCOMPARE(Find(text_, "Hier")->x, kav::Round(0.25 * 228) + kav::TextMargin);
        QCOMPARE(Find(text_, "Daar")->x, kav::Round(0.25 * 228));
        QCOMPARE(kav::LastTextEnd, kav::Round(0.25 * 228) + Width("Daar", 10));
    }

    void xModes()
    {
        play({"10,tekst,r,1,Rechts,1,Black,,", "11,tekst,c,2,Midden,1.5,Black,Vet,", "12,tekst,25,3,Kwart,1,Black,,",
              "13,tekst,l,4.5,Links,1,Black,,R", "14,[end]"});
        QCOMPARE(Find(text_, "Rechts")->x, 228 - Width("Rechts", 10) - kav::TextMargin);
        const auto* mid = Find(text_, "Midden");
        QCOMPARE(mid->x, (228 - Width("Midden", 15, true)) / 2);
        QCOMPARE(mid->size, 15);
        QVERIFY(mid->bold);
        QCOMPARE(Find(text_, "Kwart")->x, kav::Round(0.25 * 228));
        const auto* links = Find(picture_, "Links");  // F9 "R": the picture area
        QVERIFY(links);
        QCOMPARE(links->y, kav::Round(4.5 * kav::LineHeight));
    }

    void numberSuffixes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("number");
        QTest::newRow("N") << "[?]" << "5";
        QTest::newRow("N+1") << "[?+1]" << "6";
        QTest::newRow("N-1") << "[?-1]" << "4";
        QTest::newRow("N(N+1)") << "[?*(?+1)]" << "30";
        QTest::newRow("N*N") << "[?*?]" << "25";
        QTest::newRow("triangular") << "[?*(?+1)/2]" << "15";
    }
    void numberSuffixes()
    {
        QFETCH(QString, command);
        QFETCH(QString, number);
        Session().GivenAnswer = 5;
        play({"10," + command + ",l,2,Som: ,1,Blue,,", "11,[end]"});
        QCOMPARE(Texts(text_), QStringList({"Som: ", number}));
        const auto* n = Find(text_, number);
        QCOMPARE(n->x, kav::TextMargin + Width("Som: ", 10));
        QCOMPARE(n->y, 2 * kav::LineHeight);
        QCOMPARE(n->color, kav::col::Blue);
    }

    void specialTexts()
    {
        Session().GivenAnswer = 5;
        play({"10,[macht],l,4,x,1,Black,2,", "11,[delta?],l,6,,1,Red,,", "12,[knop],l,8,OK,1,Black/Yellow,Vet,",
              "13,[boven],l,12,7/3,1,Black,,", "14,[breuk],l,16,3/4,1,Black,,", "15,[euro],l,18,'2,50',1,Black,,",
              "16,[delta],l,20,k,1,Black,,", "17,[delta-vorige],p,20,,1,Black,,", "20,[end]"});
        // The exponent half a row higher and 0.2 smaller, right after its base.
        const auto* exp = Find(text_, "2");
        QVERIFY(exp);
        QCOMPARE(exp->x, kav::TextMargin + Width("x", 10));
        QCOMPARE(exp->y, kav::Round(3.5 * kav::LineHeight));
        QCOMPARE(exp->size, 8);
        // The number of a triangle sign stands on its text line as a subscript, lower than
        // the text around it, in the text area too.
        const auto* five = Find(text_, "5");
        QVERIFY(five);
        QVERIFY(five->y > 6 * kav::LineHeight && five->y < 7 * kav::LineHeight);
        QCOMPARE(five->color, kav::col::Red);
        // A key label: a yellow key with a black border around the text.
        const int keyRight = kav::TextMargin + Width("OK  ", 10, true);
        const int keyMiddle = 8 * kav::LineHeight + kav::LineHeight / 2;
        QCOMPARE(Px(text_, keyRight - 5, keyMiddle), kav::col::Yellow);
        QCOMPARE(Px(text_, keyRight + 3, keyMiddle), kav::col::BtnFace);
        QVERIFY(Find(text_, " OK"));
        // n over k: the bottom number a text height below the top one.
        const auto* seven = Find(text_, "7");
        const auto* three = Find(text_, "3");
        QVERIFY(seven && three);
        QCOMPARE(seven->y, 12 * kav::LineHeight);
        QVERIFY(three->y > seven->y);
        // A fraction and a euro amount.
        QVERIFY(Find(text_, "4"));
        QVERIFY(Find(text_, "2,50"));
        // A later delta line repeats the number of the one before.
        QCOMPARE(Texts(text_).count("k"), 2);
        QVERIFY(kav::RecordedMessages().isEmpty());
    }

    // ---- shapes ------------------------------------------------------------------

    void fillColoursFollowTheColourSplit()
    {
        // Box rows 2 .. 8, 10 % .. 40 % of the width: x 40 .. 161, y 30 .. 120.
        play({"10,[box],2,8,10,40,Red/Yellow,1,R", "11,[box],2,8,50,80,Red/Blank,1,R", "12,[box],10,16,10,40,Red,1,R",
              "13,[end]"});
        QCOMPARE(Px(picture_, 40, 75), kav::col::Red);
        QCOMPARE(Px(picture_, 100, 75), kav::col::Yellow);
        QCOMPARE(Px(picture_, kav::Round(0.5 * 403), 75), kav::col::Red);
        QCOMPARE(Px(picture_, 260, 75), kav::col::BtnFace);
        QCOMPARE(Px(picture_, 100, 200), kav::col::Red);
        QVERIFY(Texts(text_).isEmpty());
    }

    void circleRadiusFromRowsWhenF5IsEmpty()
    {
        // Centre 50 % and row 10: (201.5, 150); radius 4 rows = 60 pixels.
        play({"10,[cirkel],50,10,,4,Red,1,R", "11,[cirkel],50,22,10,4,Blue,1,R", "12,[end]"});
        QCOMPARE(Px(picture_, 201, 150), kav::col::Red);
        QCOMPARE(Px(picture_, 201 + 55, 150), kav::col::Red);
        QCOMPARE(Px(picture_, 201 - 55, 150), kav::col::Red);
        QCOMPARE(Px(picture_, 201, 150 - 55), kav::col::Red);
        QCOMPARE(Px(picture_, 201 + 65, 150), kav::col::BtnFace);
        QCOMPARE(Px(picture_, 201, 150 - 65), kav::col::BtnFace);
        // With F5 the radius is 10 % of the width (40.3 pixels).
        QCOMPARE(Px(picture_, 201 + 36, 330), kav::col::Blue);
        QCOMPARE(Px(picture_, 201 + 45, 330), kav::col::BtnFace);
    }

    void pieFillsItsSectorCounterClockwise()
    {
        // Centre (202, 150), radius 20 % = 80.6 pixels, from 0 to 90 degrees: the upper right quarter.
        play({"10,[pie],50,10,20,0/90,Black/Red,1,R", "11,[arc],50,20,10,90/180,Blue,1,R", "12,[end]"});
        QCOMPARE(Px(picture_, 202 + 30, 150 - 30), kav::col::Red);
        QCOMPARE(Px(picture_, 202 - 30, 150 - 30), kav::col::BtnFace);
        QCOMPARE(Px(picture_, 202 + 30, 150 + 30), kav::col::BtnFace);
        // The arc from 90 to 180 degrees (radius 40.3): the upper left quarter of its circle, unfilled.
        auto blueNear = [this](int x, int y) {
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (Px(picture_, x + dx, y + dy) == kav::col::Blue)
                        return true;
            return false;
        };
        QVERIFY(blueNear(202 - 28, 300 - 28));
        QVERIFY(!blueNear(202 + 28, 300 - 28));
        QVERIFY(!blueNear(202 - 28, 300 + 28));
        QCOMPARE(Px(picture_, 202 - 10, 300 - 10), kav::col::BtnFace);
    }

    void floodFillTakesThePenColour()
    {
        play({"10,[box],2,8,10,40,Black/Blank,1,R", "11,[fill],25,5,,,Red,1,R", "12,[end]"});
        QCOMPARE(Px(picture_, 100, 75), kav::col::Red);
        QCOMPARE(Px(picture_, 40, 75), kav::col::Black);
        QCOMPARE(Px(picture_, 300, 300), kav::col::BtnFace);
    }

    void everyDrawingCommandDrawsInItsTarget_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("lijn") << "10,[lijn],10,2,80,20,Blue,2,R";
        QTest::newRow("pijl") << "10,[pijl],10,2,80,20,Blue,1,R";
        QTest::newRow("pijl vertical") << "10,[pijl],50,2,50,20,Blue,1,R";
        QTest::newRow("ellips") << "10,[ellips],10,2,60,12,Blue/Aqua,1,R";
        QTest::newRow("4hoek") << "10,[4hoek],10/2,60/2.5,70/15,5/12,Blue/Lime,1,R";
        QTest::newRow("arc") << "10,[arc],50,10,20,30/300.5,Blue,1,R";
        QTest::newRow("3hoeksgetal dots") << "10,[3hoeksgetal],1,6,1,60,Blue,,R";
        QTest::newRow("3hoeksgetal cells down") << "10,[3hoeksgetal],1,6,7,60,Blue,True,R";
    }
    void everyDrawingCommandDrawsInItsTarget()
    {
        QFETCH(QString, line);
        const QImage before = picture_.image().copy();
        play({line, "11,[end]"});
        QVERIFY(kav::RecordedMessages().isEmpty());
        QVERIFY(picture_.image() != before);
        QCOMPARE(CountColour(text_.image(), kav::col::BtnFace), 228 * 416);
    }

    void triangleOneLessIsShiftedOneColumn()
    {
        // 400 x 375: cells of exactly 10 x 10 pixels in the small grid.
        picture_ = Canvas(400, 375);
        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        Session().GivenAnswer = 4;
        play({"10,[3hoeksgetal],?,0,2,50,Blue,,R", "11,[end]"});
        const QImage four = picture_.image().copy();
        QCOMPARE(Session().GivenAnswer, 4);

        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        Session().GivenAnswer = 5;
        play({"10,[3hoeksgetal],?-1,0,2,50,Blue,,R", "11,[end]"});
        const QImage fiveLessOne = picture_.image();

        QImage shifted(four.size(), four.format());
        shifted.fill(kav::col::BtnFace);
        for (int y = 0; y < four.height(); ++y)
            for (int x = 0; x + 10 < four.width(); ++x)
                shifted.setPixel(x + 10, y, four.pixel(x, y));
        QCOMPARE(fiveLessOne, shifted);
        QCOMPARE(CountColour(four, kav::col::Yellow), 10 * 8 * 8);  // ten cells of 8 x 8 inside their border

        // Without "?" the row count comes from F4 and becomes N.
        play({"10,[3hoeksgetal],3,7,2,50,Blue,,R", "11,[end]"});
        QCOMPARE(Session().GivenAnswer, 7);
    }

    void gaussRectangleFillsTheRowsExactly()
    {
        // 400 x 500, N = 5: layouts 8 and 9 make 5 rows of 6 cells of 50 x 78 pixels, in the
        // middle (x 50 .. 350) from y 90 down to 480: in row r the staircase holds r yellow
        // cells from the left, its copy turned half round the other 6 - r in aqua. No cell
        // twice, none outside.
        picture_ = Canvas(400, 500);
        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        Session().GivenAnswer = 5;
        play({"10,[3hoeksgetal],?,0,8,100,Blue,True,R", "11,[3hoeksgetal],?,0,9,100,Blue,True,R", "12,[end]"});
        QVERIFY(kav::RecordedMessages().isEmpty());
        const int top = 90;
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 6; ++c) {
                const int x = 50 + 50 * (c - 1) + 25, y = top + 78 * (r - 1) + 39;
                QCOMPARE(Px(picture_, x, y), c <= r ? kav::col::Yellow : kav::col::Aqua);
                QCOMPARE(Px(picture_, x - 25, y - 39), kav::col::Blue);  // each cell its own border
            }
        for (QPoint outside : {QPoint(45, top + 30), QPoint(355, top + 30), QPoint(200, top - 5), QPoint(200, 485)})
            QCOMPARE(Px(picture_, outside.x(), outside.y()), kav::col::BtnFace);
        const int inner = 48 * 76;  // a cell inside its one-pixel border
        QCOMPARE(CountColour(picture_.image(), kav::col::Yellow), 15 * inner);
        QCOMPARE(CountColour(picture_.image(), kav::col::Aqua), 15 * inner);
        // A layout beyond 9 draws nothing.
        const QImage before = picture_.image().copy();
        play({"10,[3hoeksgetal],?,0,10,100,Red,True,R", "11,[end]"});
        QCOMPARE(picture_.image(), before);
    }

    void sumAnimationInTheDemonstration()
    {
        Session().SessionMode = 30;
        Session().GivenAnswer = 3;
        play({"300,[3hoeksgetal],?,0,0,60,Blue,True,R", "303,[toets]", "310,tekst,l,12,Klaar,1,Black,,", "311,[toets]",
              "399,[end]"},
             3);
        auto rowTexts = [this]() { return Texts(picture_); };
        QCOMPARE(rowTexts(), QStringList({"0 + ", "1", "= 1"}));
        QVERIFY(run_->ContinueRun);
        const double rowH = kav::Round(0.8 * 404) / 3.0;
        const double line1 = (kav::Round(0.9 * 404) - rowH * 2) / kav::LineHeight - 0.5;
        QCOMPARE(Find(picture_, "= 1")->y, kav::Round(line1 * kav::LineHeight));
        QCOMPARE(Find(picture_, "1")->color, kav::col::Red);
        QCOMPARE(Find(picture_, "= 1")->color, kav::col::Blue);
        QCOMPARE(Find(picture_, "= 1")->x, kav::Round(kav::Round(0.53 * 403) + kav::Round(0.75 * 403) / 3.0 * 0.5));
        // The row that comes in is red like its number, the rows before it blue again.
        const double cw = kav::Round(0.75 * 403) / 3.0;
        auto dot = [&](int row, int k) {
            return Px(picture_, kav::Round(kav::Round(0.17 * 403) + cw * (k - 1)),
                      kav::Round(kav::Round(0.9 * 404) - rowH * (3 - row)));
        };
        // Red all over: no rim of the blue dot is left around it.
        const QPoint apex(kav::Round(0.17 * 403), kav::Round(kav::Round(0.9 * 404) - rowH * 2));
        int blue = 0;
        for (int y = apex.y() - 10; y <= apex.y() + 10; ++y)
            for (int x = apex.x() - 10; x <= apex.x() + 10; ++x)
                blue += Px(picture_, x, y) == kav::col::Blue;
        QCOMPARE(blue, 0);
        QCOMPARE(dot(1, 1), kav::col::Red);
        QCOMPARE(dot(2, 1), kav::col::Blue);
        run_->Doorgaan();
        QVERIFY(dot(1, 1) == kav::col::Blue && dot(2, 1) == kav::col::Red && dot(2, 2) == kav::col::Red);
        QCOMPARE(dot(3, 3), kav::col::Blue);
        run_->Doorgaan();
        QVERIFY(dot(2, 2) == kav::col::Blue && dot(3, 1) == kav::col::Red && dot(3, 3) == kav::col::Red);
        QCOMPARE(rowTexts().mid(3), QStringList({"1 + ", "2", "= 3", "3 + ", "3", "= 6"}));
        QVERIFY(Texts(text_).isEmpty());
        run_->Doorgaan();
        QCOMPARE(Texts(text_), QStringList{"Let op de regelmaat!"});
        QCOMPARE(Find(text_, "Let op de regelmaat!")->y, 10 * kav::LineHeight);
        QVERIFY(!run_->ContinueRun);
        QCOMPARE(run_->ContinueTag, 305);
        run_->Doorgaan();
        QCOMPARE(Texts(text_), QStringList({"Let op de regelmaat!", "Klaar"}));
        QCOMPARE(rowTexts().size(), 9);
        QVERIFY(kav::RecordedMessages().isEmpty());

        // Outside the demonstration the same lines play without the sums.
        Session().SessionMode = 20;
        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        play({"300,[3hoeksgetal],?,0,0,60,Blue,True,R", "303,[toets]", "399,[end]"}, 3);
        QVERIFY(Texts(picture_).isEmpty());
        QVERIFY(!run_->ContinueRun);
    }

    void sumsStandClearOfTheirRow_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<double>("scale");
        QTest::newRow("640 x 480") << QSize(403, 431) << 1.0;
        QTest::newRow("1024 x 768") << QSize(645, 690) << 1.6;
    }
    void sumsStandClearOfTheirRow()
    {
        // The longest rows of the largest triangle leave little room beside them: every sum
        // still keeps a gap from the last dot of its row and stays inside the frame.
        QFETCH(QSize, area);
        QFETCH(double, scale);
        kav::ScreenScale = scale;
        kav::LineHeight = area.height() / 26;
        Canvas fit(10, 10);
        fit.font.size = 30;
        while (fit.textHeight(QStringLiteral("Hj")) > kav::LineHeight)
            --fit.font.size;
        kav::BaseFontSize = fit.font.size;
        picture_ = Canvas(area.width(), area.height());
        kav::ClearBitmap(&picture_, kav::col::BtnFace);
        Session().SessionMode = 30;
        Session().GivenAnswer = 25;
        play({"300,tekst,l,0,,1,Green,,R", "301,[3hoeksgetal],?,0,1,70,Green,True,R", "303,[toets]", "399,[end]"}, 3);
        for (int k = 2; k <= 25; ++k)
            run_->Doorgaan();
        QVERIFY(kav::RecordedMessages().isEmpty());
        const double rowH = kav::Round(0.8 * area.height()) / 25.0;
        const int space = Width(QStringLiteral(" "), kav::Round(0.85 * kav::BaseFontSize));
        for (int k = 1; k <= 25; ++k) {
            const QString sum = QStringLiteral("= ") + QString::number(k * (k + 1) / 2);
            const kav::TextLogEntry* e = Find(picture_, sum);
            QVERIFY2(e, qPrintable(sum));
            const int rowY = kav::Round(kav::Round(0.9 * area.height()) - rowH * (25 - k));
            int lastDot = -1;  // the last row is the new one, drawn red
            for (int y = rowY - 2; y <= rowY + 2; ++y)
                for (int x = 0; x < area.width(); ++x)
                    if (Px(picture_, x, y) == (k == 25 ? kav::col::Red : kav::col::Green))
                        lastDot = qMax(lastDot, x);
            QVERIFY(lastDot > 0);
            QVERIFY2(e->x - lastDot > space,
                     qPrintable(QStringLiteral("%1 at x %2, the row's last dot ends at %3").arg(sum).arg(e->x).arg(lastDot)));
            QVERIFY(e->x + Width(sum, e->size) < area.width() - 1);
        }
    }
};

QTEST_MAIN(TestScript)
#include "tst_script.moc"

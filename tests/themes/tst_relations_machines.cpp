// The machine themes 1 (machine chains) and 5 (RaRa machines) run as a session runs them:
// 2000 seeded items per level read back from the picture as a pupil reads it, every answer
// found again by trying every candidate for what is hidden (exactly one may fit), the rules
// and ranges of the numbers, the question and the second attempt; then two wrong answers and
// the worked explanation of every kind of question, on a large and on a small screen.
#include <QPainter>
#include <QtTest>
#include <functional>
#include <limits>
#include <optional>

#include "support.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/relations/relations.h"
#include "themes/verdeler.h"

using kav::Session;
using kav::TextLogEntry;
using testsupport::Logged;
using testsupport::Width;
using Recorder = testsupport::AnswerRecorder;
namespace col = kav::col;

namespace {

// A text as the pupil sees it: what, where, in which colour.
using Shown = std::tuple<QString, int, int, QRgb>;
QVector<Shown> ShownTexts(const kav::Canvas& c)
{
    QVector<Shown> v;
    for (const TextLogEntry& e : c.textLog())
        v.append({e.text, e.x, e.y, e.color.rgb()});
    return v;
}

int Y(double line) { return kav::Round(line * kav::LineHeight); }

const QStringList Words = {"Plus", "Min", "Keer", "Deel door"};

// What a machine does (1 "Plus" .. 4 "Deel door"); "Deel door" divides exactly or not at all.
std::optional<long long> Through(int code, long long v, long long k)
{
    switch (code) {
    case 1: return v + k;
    case 2: return v - k;
    case 3: return v * k;
    case 4: return k != 0 && v % k == 0 ? std::optional(v / k) : std::nullopt;
    default: return std::nullopt;
    }
}

// The values before, between and after the machines, or none when a step fails.
std::optional<QVector<long long>> Values(long long input, const QVector<int>& codes, const QVector<long long>& numbers)
{
    QVector<long long> v{input};
    for (int i = 0; i < codes.size(); ++i) {
        const auto next = Through(codes[i], v.last(), numbers[i]);
        if (!next)
            return std::nullopt;
        v << *next;
    }
    return v;
}

// The red block arrow in R: 1 pointing down, -1 up (by where it is widest), 0 none.
int ArrowIn(const QImage& img, const QRect& r)
{
    int widest = 0, at = -1;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        int n = 0;
        for (int x = r.left(); x <= r.right(); ++x)
            n += testsupport::Px(img, x, y) == col::Red.rgb();
        if (n > widest)
            widest = n, at = y;
    }
    return at < 0 ? 0 : at > (r.top() + r.bottom()) / 2 ? 1 : -1;
}

QRect Band(double l, double t, double r, double b)
{
    return kav::Rect(kav::PercentX(l), kav::PercentY(t), kav::PercentX(r), kav::PercentY(b));
}

// The middle of the band of 9 % of the picture height from Top %, where the values stand.
int BandMiddle(double top) { return (kav::PercentY(top) + kav::PercentY(top + 9)) / 2; }

}  // namespace

class TestRelationsMachines : public QObject {
    Q_OBJECT

    kav::Canvas picture, text;
    Recorder port;
    QVector<TextLogEntry> explained, explainedInPicture;  // what the explanation wrote
    double heading = 0;                                    // its first line

    // The canvases and measures of the session window at 1024 x 768, or at 640 x 480.
    void Measures(bool small)
    {
        picture.setSize(small ? 403 : 645, small ? 430 : 688);
        text.setSize(small ? 228 : 366, small ? 443 : 714);
        testsupport::SessionMeasures(picture, text);
        if (small)
            kav::ScreenScale = 1, kav::TextMargin = 8;
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    // START of a relations practice (or the mixed challenge) at Level, then new items as the
    // engine shows them, the theme memory holding Memory before the first.
    void Start(int code, int level, int memory = -1, bool mixed = false)
    {
        testsupport::StartThemeItem(code, level);
        Session().SessionMode = mixed ? -10 : 0;
        Session().PracticeMode = true;
        Session().ThemeMemory[code] = memory;
    }
    void Item(std::optional<std::uint32_t> seed = std::nullopt)
    {
        if (seed)
            kav::SeedRandom(*seed);
        kav::ClearBitmap(&picture, col::BtnFace);
        kav::FrameBitmap(&picture, col::Black);
        kav::ClearBitmap(&text, col::BtnFace);
        port = Recorder();
        Session().Attempt = 0;
        QVERIFY(kav::Verdeler());
    }

    // A wrong first answer; true when the item asked again shows exactly the same question,
    // caption and hint, and keeps its picture and numbers.
    bool SecondAttemptSame()
    {
        kav::SessionState& s = Session();
        const auto question = ShownTexts(text);
        const Recorder first = port;
        const QImage shown = picture.image();
        const kav::SessionState before = s;
        s.Attempt = 1;
        s.GivenAnswer = s.ExpectedAnswer + 1;
        kav::Judge(QString::number(s.GivenAnswer));
        if (s.Attempt != 2 || !Logged(text, QStringLiteral("Jammer! Tweede poging!")))
            return false;
        kav::ClearBitmap(&text, col::BtnFace);
        port = Recorder();
        kav::Verdeler();
        return ShownTexts(text) == question && port.caption == first.caption && port.hint == first.hint &&
               port.opened == 1 && picture.image() == shown && s.QuestionParams == before.QuestionParams &&
               s.ThemeMemory == before.ThemeMemory && s.ExpectedAnswer == before.ExpectedAnswer && s.TextLine == 8;
    }

    // Two wrong answers in practice: the judge calls the explanation, which starts 1.25 lines
    // under "Het juiste antwoord was: ". Every text of both areas stays inside.
    void ExplainAfterTwoWrong()
    {
        QVERIFY(SecondAttemptSame());
        const int before = int(picture.textLog().size());
        Session().GivenAnswer = Session().ExpectedAnswer - 1;
        kav::Judge(QString::number(Session().GivenAnswer));
        explained.clear();
        for (const TextLogEntry& e : text.textLog())
            if (!explained.isEmpty() || e.text == QStringLiteral("Toelichting:"))
                explained.append(e);
        QVERIFY(!explained.isEmpty() && explained[0].color == col::Blue && explained[0].x == kav::TextMargin);
        heading = explained[0].y / double(kav::LineHeight);
        QCOMPARE(explained[0].y, Y(8 + 2 + 1.25 + 1.25));
        explainedInPicture = picture.textLog().mid(before);
        for (const kav::Canvas* c : {&text, &picture})
            for (const TextLogEntry& e : c->textLog())
                QVERIFY2(e.x >= 1 && e.x + Width(e) <= c->width() - 2 && e.y + kav::LineHeight <= c->height() - 1,
                         qPrintable(e.text));
    }

    // The explanation's text on Line below its heading, in Color; or null.
    const TextLogEntry* Wrote(const QString& t, double line, const QColor& color) const
    {
        for (const TextLogEntry& e : explained)
            if (e.text == t && e.y == Y(heading + line) && e.color == color)
                return &e;
        return nullptr;
    }

    // The values written beside the chain at 92 %, by slot (0 the input, then downward).
    QMap<int, QString> SlotTexts() const
    {
        QMap<int, QString> slots_;
        for (const TextLogEntry& e : explainedInPicture) {
            if (e.color != col::Red || qAbs(2 * e.x + Width(e) - 2 * kav::PercentX(92)) > 2)
                return {{-1, e.text}};
            for (int j = 0; j <= 5; ++j)
                if (e.text != QStringLiteral("?") && qAbs(e.y + kav::LineHeight / 2 - BandMiddle(17 * j + 11)) <= 2)
                    slots_.insert(j, e.text);
        }
        return slots_;
    }

    // When KAVRIN_SHOTS names a folder, the text and the picture side by side go there.
    void Save(const QString& name) const
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            return;
        QImage both(text.width() + picture.width(), qMax(text.height(), picture.height()), QImage::Format_RGB32);
        QPainter p(&both);
        p.drawImage(0, 0, text.image());
        p.drawImage(text.width(), 0, picture.image());
        p.end();
        both.save(folder + u'/' + name);
    }

    // Theme 1 as the pupil reads it: input, output and the machines' labels, "?" for the
    // hidden number; Solve finds that number by trying every candidate.
    struct Chain {
        QString input, output;
        QVector<int> codes;
        QStringList numbers, letters;
        QVector<TextLogEntry> labels;
        long long in = 0;
        QVector<long long> k;
    };
    Chain ReadChain() const
    {
        Chain c;
        for (const TextLogEntry& e : picture.textLog()) {
            if (e.text.startsWith(QStringLiteral("Input  "))) {
                c.input = e.text.mid(7);
            } else if (e.text.startsWith(QStringLiteral("Output  "))) {
                c.output = e.text.mid(8);
            } else if (e.text.startsWith(QStringLiteral("Machine ")) && e.x == kav::TextMargin && e.color == col::Blue) {
                c.letters << e.text.mid(8);
            } else if (e.bold && e.color == col::Blue) {
                c.codes << int(Words.indexOf(e.text.section(u' ', 0, -2))) + 1;
                c.numbers << e.text.section(u' ', -1);
                c.labels << e;
            }
        }
        return c;
    }
    bool Solve(Chain& c) const
    {
        QVector<long long> fits;
        for (const QString& n : c.numbers)
            c.k << n.toLongLong();
        const int hidden = int(c.numbers.indexOf(QStringLiteral("?")));
        const auto gives = [&](long long in) {
            const auto v = Values(in, c.codes, c.k);
            return v && (c.output == QStringLiteral("?") || v->last() == c.output.toLongLong());
        };
        c.in = c.input.toLongLong();
        if (c.output == QStringLiteral("?") && gives(c.in))
            fits << Values(c.in, c.codes, c.k)->last();
        for (long long x = -3000; c.input == QStringLiteral("?") && x <= 3000; ++x)
            if (gives(x))
                fits << (c.in = x);
        for (long long k = -300; hidden >= 0 && k <= 300; ++k)
            if ((c.k[hidden] = k, gives(c.in)))
                fits << k;
        if (hidden >= 0)
            c.k[hidden] = fits.value(0);
        if (c.input == QStringLiteral("?"))
            c.in = fits.value(0);
        return fits.size() == 1 && fits[0] == Session().ExpectedAnswer;
    }

    // Theme 5 as the pupil reads it: the two labels, the title and the rows of the table.
    struct Table {
        QString keer, second, op, title;
        QMap<int, QString> outputs;  // the rows that show an output
        QVector<TextLogEntry> rows;
        QVector<QPair<int, int>> fits;  // every Keer and second number 0..200 that fits what is shown
    };
    Table ReadTable() const
    {
        Table t;
        QMap<int, QString> byY;
        for (const TextLogEntry& e : picture.textLog())
            if (e.y < kav::PercentY(50) && e.bold && e.color == col::Blue)
                (e.y < kav::PercentY(30) ? t.keer : t.second) = e.text;
            else if (e.text.startsWith(QStringLiteral("KeerEn")))
                t.title = e.text;
            else if (e.y > kav::PercentY(64) && e.x == kav::PercentX(40))
                t.rows << e;
            else if (e.y > kav::PercentY(64) && e.x == kav::PercentX(57))
                byY[e.y] = e.text;
        for (const TextLogEntry& e : t.rows)
            if (byY.contains(e.y))
                t.outputs[e.text.toInt()] = byY[e.y];
        t.op = t.second.section(u' ', 0, 0);
        const int sign = t.op == QStringLiteral("Min") ? -1 : 1;
        const QString a = t.keer.section(u' ', 1), b = t.second.section(u' ', 1);
        QVector<QPair<int, int>> rows;  // input and output of the rows with a known output
        for (auto [x, y] : t.outputs.asKeyValueRange())
            if (y != "?")
                rows.append({x, y.toInt()});
        for (int ka = a == "?" ? 0 : a.toInt(); ka <= (a == "?" ? 200 : a.toInt()); ++ka)
            for (int kb = b == "?" ? 0 : b.toInt(); kb <= (b == "?" ? 200 : b.toInt()); ++kb) {
                bool fit = true;
                for (int r = 0; r < rows.size() && fit; ++r)
                    fit = rows[r].second == ka * rows[r].first + sign * kb;
                if (fit)
                    t.fits.append({ka, kb});
            }
        return t;
    }

private slots:
    void initTestCase() { Measures(false); }

    void questionsComeInTurn()
    {
        // Theme 1: the output, the input, then every machine; a new level's cycle at once.
        Start(1, 1);
        for (const char* subject : {"de output", "de input", "het vraagteken bij machine A",
                                    "het vraagteken bij machine B", "de output"}) {
            Item();
            QCOMPARE(port.hint, "|" + QString(subject) + " = ?");
        }
        QCOMPARE(port.caption, QStringLiteral("de output: "));
        Start(1, 3, 4);  // after machine C at "Prof !"
        Session().LevelIndex = 0;
        Item();
        QCOMPARE(port.caption, QStringLiteral("de input: "));  // (4 + 1) mod 4
        Start(1, 1, 5, true);  // the mixed challenge is "Prof !": (5 + 1) mod 6, four machines
        Item();
        QVERIFY(port.caption == "de output: " && Logged(text, QStringLiteral("Vier machientjes zijn aaneen-")));
        // Theme 5: the variants of the level in turn.
        const QVector<int> variants[] = {{1, 3, 2, 1, 3, 2}, {2, 5, 4, 3, 2, 5}, {3, 7, 6, 5, 4, 3, 7}};
        for (int level = 1; level <= 3; ++level) {
            Start(5, level);
            for (int variant : variants[level - 1]) {
                Item();
                QCOMPARE(Session().ThemeMemory[5], variant);
            }
        }
        Session().LevelIndex = 0;
        Item();
        QCOMPARE(Session().ThemeMemory[5], 3);  // ((7 + 1) mod 3) + 1
    }

    void machineChains()
    {
        const QVector<int> allowed[] = {{1, 2, 3, 4}, {1, 2, 3}, {1, 3}, {1, 2, 3}};
        for (int level = 1; level <= 3; ++level) {
            Start(1, level);
            QSet<int> seen[4];
            int lowest = 99, highest = 0, negative = 0, divided = 0;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                Item(10000 * level + i);
                kav::SessionState& s = Session();
                const int sub = i % (level + 3);  // 0 output, 1 input, 2.. the machines
                Chain c = ReadChain();
                QVERIFY(s.ThemeMemory[1] == sub && c.codes.size() == level + 1);
                QCOMPARE(c.letters, QStringList({"A", "B", "C", "D"}).mid(0, level + 1));
                QVERIFY((c.output == "?") == (sub == 0) && (c.input == "?") == (sub == 1));
                for (int k = 0; k <= level; ++k)
                    QCOMPARE(c.numbers[k] == "?", sub == k + 2);
                QVERIFY2(Solve(c), qPrintable(QStringLiteral("item %1 at level %2").arg(i).arg(level)));
                const auto v = *Values(c.in, c.codes, c.k);

                // "Deel door" only first and dividing exactly; one of the first two multiplies;
                // no machine like the one before it; nothing below 0 before "Prof !".
                for (int k = 0; k <= level; ++k) {
                    QVERIFY(allowed[k].contains(c.codes[k]) && (k == 0 || c.codes[k] != c.codes[k - 1]));
                    QVERIFY(c.k[k] >= 2 && c.k[k] <= (k == 0 && c.codes[0] != 4 ? 10 : 6));
                    seen[k] << c.codes[k];
                }
                QVERIFY(c.codes[0] == 3 || c.codes[1] == 3);
                if (c.codes[0] == 4) {
                    QVERIFY(c.in % c.k[0] == 0 && c.in / c.k[0] >= 4 && c.in / c.k[0] <= 23);
                    ++divided;
                } else {
                    lowest = qMin<int>(lowest, c.in), highest = qMax<int>(highest, c.in);
                }
                QVERIFY(level == 3 || (v[2] >= 0 && v.last() >= 0));
                negative += v.last() < 0;
                QVERIFY(c.output == "?" || c.output == QString::number(v.last()));
                QVERIFY(s.QuestionParams[0] == c.in && s.QuestionParams[1] == v.last());
                for (int k = 0; k < 4; ++k)
                    QVERIFY(s.QuestionParams[2 + 2 * k] == c.codes.value(k) && s.QuestionParams[3 + 2 * k] == c.k.value(k));

                const QString subject = sub == 0 ? "de output" : sub == 1 ? "de input" : "het vraagteken bij machine " + c.letters[sub - 2];
                const int m = kav::TextMargin, w = Width(*Logged(text, subject));
                const QRgb blue = col::Blue.rgb(), red = col::Red.rgb();
                QCOMPARE(ShownTexts(text), (QVector<Shown>{
                    {QStringList{"Twee", "Drie", "Vier"}[level - 1] + " machientjes zijn aaneen-", m, Y(1), blue},
                    {"geschakeld tot een ketting.", m, Y(2), blue}, {"Zie het plaatje hiernaast.", m, Y(3.5), col::Black.rgb()},
                    {"Hoe groot is ", m, Y(5), blue}, {subject, m, Y(6), red}, {" ?", m + w, Y(6), blue}}));
                QVERIFY(s.TextLine == 8 && s.AnswerKind == 1 && s.AnswerSuffix.isEmpty() && port.opened == 1);
                QCOMPARE(port.caption, (sub < 2 ? subject : "? bij machine " + c.letters[sub - 2]) + ": ");
                QCOMPARE(port.hint, "|" + subject + " = ?");
                for (int k = 0; k <= level; ++k) {  // each label in the middle of its machine's body
                    const TextLogEntry& e = c.labels[k];
                    QVERIFY(qAbs(e.y + kav::LineHeight / 2 - BandMiddle(17 * k + 19)) <= 2);
                    QVERIFY(qAbs(2 * e.x + Width(e) - picture.width()) <= 2 && e.x > kav::PercentX(25));
                }

                if (i % 100 == 0) {  // the picture: a yellow machine each, a red arrow into each and out of the last
                    const QImage img = picture.image(), arrows = img.copy(Band(47, 10.5, 53, 17 * level + 36.5));
                    QCOMPARE(testsupport::Areas(img, col::Yellow, img.height(), nullptr, 500), level + 1);
                    QCOMPARE(testsupport::Areas(arrows, col::Red, arrows.height()), level + 2);
                    for (int k = 0; k <= level; ++k)  // the outline, open under the outlet
                        QVERIFY(testsupport::Px(img, kav::PercentX(25), kav::PercentY(17 * k + 23)) == col::Black.rgb() &&
                                testsupport::Px(img, kav::PercentX(46), kav::PercentY(17 * k + 31) + 2) == col::BtnFace.rgb());
                }
                if (i % 10 == 0)
                    QVERIFY(SecondAttemptSame());
            }
            for (int k = 0; k <= level; ++k)
                QCOMPARE(seen[k].size(), allowed[k].size());
            QVERIFY(lowest == 6 && highest == 6 * level + 11 && divided > testsupport::Sweep(2000) / 20 && (negative > 0) == (level == 3));
        }
    }

    void raraMachines()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(5, level);
            QSet<int> keer, plus;
            QSet<QString> ops;
            for (int i = 0; i < testsupport::Sweep(2000) && !QTest::currentTestFailed(); ++i) {
                Item(50000 + 10000 * level + i);
                kav::SessionState& s = Session();
                const int k = i % (level + 2), m = k == 0 ? level : 2 * level + 2 - k;  // L, then 2L + 1 down
                const Table t = ReadTable();
                QCOMPARE(s.ThemeMemory[5], m);
                QVERIFY(t.title == "KeerEn" + t.op && (t.op == "Plus" || t.op == "Min"));
                QVERIFY(t.keer.endsWith(" ?") == (m >= 3) && t.second.endsWith(" ?") == (m == 2 || m >= 4));
                QCOMPARE(t.rows.size(), 6);
                for (const TextLogEntry& e : t.rows)  // rows 1 to 6 on their lines, the ones with output in bold blue
                    QVERIFY(e.y == Y(kav::PercentY(65) / double(kav::LineHeight) + e.text.toInt()) &&
                            e.bold == t.outputs.contains(e.text.toInt()) && e.color == (e.bold ? col::Blue : col::Black));
                const QList<int> marked = t.outputs.keys();
                QCOMPARE(marked.size(), m == 4 || m == 5 ? 6 : m >= 6 ? 2 : 1);
                QVERIFY(marked.size() == 6 || (marked.first() >= 2 && marked.last() <= 6));
                QCOMPARE(t.outputs.values().contains("?"), m == 1);

                QCOMPARE(t.fits.size(), 1);  // what is shown settles both numbers
                const auto [a, b] = t.fits[0];
                const int sign = t.op == "Min" ? -1 : 1;
                const QString asked = m == 1 ? "Output" : m == 3 || m == 4 || m == 6 ? "Keer" : t.op;
                QCOMPARE(s.ExpectedAnswer, asked == "Output" ? a * marked[0] + sign * b : asked == "Keer" ? a : b);
                QVERIFY(a >= 1 && a <= 6 * level + 6 && b >= 1 && b <= (sign > 0 ? 8 : a));  // no output below 0
                keer << a, ops << t.op;
                if (sign > 0)
                    plus << b;
                const auto& p = s.QuestionParams;
                QVERIFY(p[1] == sign && p[2] == a && p[3] == b && marked.contains(p[0]));
                QCOMPARE(p[4], m >= 6 ? marked[0] + marked[1] - p[0] : 0);

                const QString subject = m == 1 ? "bij de Output ?" : "bij de " + asked + "-machine ?";
                const int mg = kav::TextMargin;
                const QRgb blue = col::Blue.rgb();
                QCOMPARE(ShownTexts(text), (QVector<Shown>{{"Twee machientjes zijn aaneen-", mg, Y(1), blue},
                                                           {"geschakeld tot een ketting.", mg, Y(2), blue},
                                                           {"Zie het plaatje hiernaast.", mg, Y(3.5), col::Black.rgb()},
                                                           {"Hoe groot is het vraagteken", mg, Y(5), blue},
                                                           {subject, mg, Y(6), blue}}));
                QVERIFY(port.caption == asked + " : " && port.hint == "|Hoe groot is het vraagteken " + subject);
                QVERIFY(s.TextLine == 8 && s.AnswerKind == 1 && s.AnswerSuffix.isEmpty() && port.opened == 1);
                const TextLogEntry *raRa = Logged(picture, "RaRa met"), *title = Logged(picture, t.title),
                                   *input = Logged(picture, "Input");
                QVERIFY(raRa->x == mg && raRa->size == kav::Round(1.5 * kav::BaseFontSize) && title->size == raRa->size);
                QVERIFY(title->x + Width(*title) == picture.width() - mg && raRa->x + Width(*raRa) < input->x &&
                        input->x + Width(*input) < title->x);

                if (i % 100 == 0) {  // two machines, the table, an arrow in every row with an output
                    const QImage img = picture.image(), arrows = img.copy(Band(45, 64, 56, 94));
                    QRect table;
                    QCOMPARE(testsupport::Areas(img, col::Yellow, img.height(), nullptr, 500), 2);
                    QCOMPARE(testsupport::Areas(img, col::Aqua, img.height(), &table, 500), 1);
                    QVERIFY(qAbs(table.left() - kav::PercentX(35)) <= 3 && qAbs(table.right() - kav::PercentX(65)) <= 3);
                    QVERIFY(qAbs(table.top() - kav::PercentY(60)) <= 3 && qAbs(table.bottom() - kav::PercentY(95)) <= 3);
                    QCOMPARE(testsupport::Areas(arrows, col::Blue, arrows.height()), marked.size());
                }
                if (i % 10 == 0)
                    QVERIFY(SecondAttemptSame());
            }
            QVERIFY(ops.size() == 2 && plus.size() == 8 && keer.size() == 6 * level + 6);
        }
    }

    void explanations()
    {
        for (bool small : {false, true}) {
            Measures(small);
            for (int level = 1; level <= 3; ++level)  // theme 1, each question at each level
                for (int sub = 0; sub < level + 3; ++sub)
                    for (int seed = 0; seed < (small ? 5 : testsupport::Sweep(25)) && !QTest::currentTestFailed(); ++seed) {
                        Start(1, level, sub - 1);
                        Item(1000 * level + 100 * sub + seed);
                        Chain c = ReadChain();
                        QVERIFY(Solve(c));
                        const auto v = *Values(c.in, c.codes, c.k);
                        ExplainAfterTwoWrong();
                        if (seed == 0)
                            Save(QStringLiteral("explanation1_%1_level%2_%3.png").arg(small).arg(level).arg(sub));
                        QVERIFY(Wrote("Zie rechts naast het schema de", 1, col::Blue) &&
                                Wrote("tussentijdse berekeningen.", 2, col::Blue) && Session().TextLine == heading);
                        QMap<int, QString> expected;
                        for (int j = 0; j < v.size(); ++j)
                            expected[j] = QString::number(v[j]);
                        QCOMPARE(SlotTexts(), expected);  // every value, in its place beside the chain
                        const int k = sub - 2;            // the machine asked, if any
                        QCOMPARE(explainedInPicture.size(), level + 2 + (k >= 0));
                        QCOMPARE(explained.size(), k >= 0 ? 6 : 3);
                        if (k >= 0) {
                            const QString line = QString::number(v[k]) + QStringList{" + ? = ", " - ? = ", " x ? = ", " / ? = "}[c.codes[k] - 1] + QString::number(v[k + 1]);
                            const TextLogEntry *eq = Wrote(line, 3, col::Red), *so = Wrote("Dus: ", 4, col::Blue);
                            const TextLogEntry* answer = Wrote("? = " + QString::number(c.k[k]), 4, col::Red);
                            QVERIFY2(eq && eq->x == 2 * kav::TextMargin && so && answer && answer->x == so->x + Width(*so),
                                     qPrintable(line));
                            QVERIFY(qAbs(explainedInPicture.last().y + kav::LineHeight / 2 - BandMiddle(17 * k + 19)) <= 5);
                        }
                        for (int j = 0; j <= level && seed < 2; ++j) {  // arrows down to the asked place, up to it
                            const QImage img = picture.image();
                            if (j == k) {
                                QCOMPARE(ArrowIn(img, Band(90, 17 * j + 18, 94, 17 * j + 21)), 1);
                                QCOMPARE(ArrowIn(img, Band(90, 17 * j + 27, 94, 17 * j + 30)), -1);
                            } else {
                                QCOMPARE(ArrowIn(img, Band(90, 17 * j + 20, 94, 17 * j + 28)), sub == 0 || j < k ? 1 : -1);
                            }
                        }
                    }
            for (int m = 1; m <= 7; ++m)  // theme 5, each variant
                for (int seed = 0; seed < (small ? 10 : testsupport::Sweep(40)) && !QTest::currentTestFailed(); ++seed) {
                    const int level = m == 1 ? 1 : m <= 5 ? 2 : 3;
                    Start(5, level, m - level - 1);
                    Item(7000 + 100 * m + seed);
                    QCOMPARE(Session().ThemeMemory[5], m);
                    const Table t = ReadTable();
                    const auto [a, b] = t.fits.value(0);
                    const QList<int> marked = t.outputs.keys();
                    const QString second = t.op + " " + QString::number(b);
                    ExplainAfterTwoWrong();
                    if (seed == 0)
                        Save(QStringLiteral("explanation5_%1_variant%2.png").arg(small).arg(m));
                    if (m <= 3) {  // the chain from the marked input, as for theme 1
                        const int x = marked[0], y = a * x + (t.op == "Min" ? -b : b);
                        QCOMPARE(SlotTexts(), (QMap<int, QString>{{0, QString::number(x)}, {1, QString::number(a * x)}, {2, QString::number(y)}}));
                        QVERIFY(Wrote("Zie rechts naast het schema de", 1, col::Blue) && Wrote("tussentijdse berekeningen.", 2, col::Blue));
                        const QString line = m == 3 ? QStringLiteral("%1 x ? = %2").arg(x).arg(a * x)
                                                    : QStringLiteral("%1 %2 ? = %3").arg(a * x).arg(t.op == "Min" ? "-" : "+").arg(y);
                        QVERIFY(m == 1 ? explained.size() == 3 : Wrote(line, 3, col::Red) && Wrote("Dus: ", 4, col::Blue) &&
                                                                     Wrote("? = " + QString::number(m == 3 ? a : b), 4, col::Red));
                        continue;
                    }
                    QVERIFY(explainedInPicture.isEmpty());
                    const auto centred = [&](const TextLogEntry* e) { return e && qAbs(2 * e->x + Width(*e) - text.width()) <= 2; };
                    if (m <= 5) {  // the step from one row to the next
                        const QString step = QString::number(t.outputs.value(2).toInt() - t.outputs.value(1).toInt());
                        QVERIFY(Wrote("Als de input met 1 toeneemt, dan", 1, col::Red) && Wrote("neemt de output met " + step + " toe.", 2, col::Red));
                        QVERIFY(Wrote("Dus het eerste machientje is:", 3, col::Blue) && centred(Wrote("Keer " + step, 4, col::Red)));
                        QVERIFY(m == 4 || (Wrote("Het tweede moet dan zijn:", 5, col::Blue) && centred(Wrote(second, 6, col::Red))));
                        QCOMPARE(explained.size(), m == 4 ? 5 : 7);
                        continue;
                    }
                    // Two marked rows: the growth between them, and per step of 1 as a fraction.
                    const int dx = marked[1] - marked[0], dy = t.outputs.value(marked[1]).toInt() - t.outputs.value(marked[0]).toInt();
                    QVERIFY(Wrote("Als de input met " + QString::number(dx) + " toeneemt, dan", 1, col::Red));
                    QVERIFY(Wrote("neemt de output met " + QString::number(dy) + " toe.", 2, col::Red));
                    const double d = dx == 1 ? 2 : 5.25;
                    if (dx != 1) {
                        const TextLogEntry *lead = Wrote("dan neemt de output met ", 4.5, col::Blue), *after = Wrote(" toe.", 4.5, col::Blue);
                        QVERIFY(Wrote("Dus als de input met 1 toeneemt,", 3, col::Blue) && lead && after);
                        const int from = lead->x + Width(*lead);
                        QVector<const TextLogEntry*> fraction;  // numerator above the line's text, denominator below
                        for (const TextLogEntry& e : explained)
                            if (e.color == col::Red && e.x >= from && e.x + Width(e) <= after->x && qAbs(e.y - lead->y) < kav::LineHeight)
                                fraction << &e;
                        QVERIFY(fraction.size() == 2 && fraction[0]->text == QString::number(dy) && fraction[0]->y < lead->y);
                        QVERIFY(fraction[1]->text == QString::number(dx) && fraction[1]->y > lead->y);
                    }
                    QCOMPARE(Session().TextLine, heading + d);
                    // Right-aligned, or right after the text before it when there is no room.
                    const auto atRight = [&](const QString& lead, const QString& what, double line) {
                        const TextLogEntry *l = Wrote(lead, line, col::Blue), *e = Wrote(what, line, col::Red);
                        return l && e && l->x + Width(*l) <= e->x &&
                               (e->x + Width(*e) == text.width() - kav::TextMargin || e->x == l->x + Width(*l));
                    };
                    QVERIFY(dy == a * dx && atRight("Dus het 1e machientje is: ", "Keer " + QString::number(a), d + 1));
                    QVERIFY(m == 6 || atRight("Het 2e moet dan zijn: ", second, d + 2));
                    QCOMPARE(explained.size(), (m == 6 ? 5 : 7) + (dx != 1 ? 5 : 0));
                    QVERIFY(Session().QuestionParams[0] < Session().QuestionParams[4]);  // the marked inputs in order
                }
        }
        Measures(false);
    }

    void damagedStateDoesNotCrash()
    {
        kav::SessionState& s = Session();
        for (int code : {1, 5})  // whatever the memory held, the next item is one of the level's
            for (int memory : {-9, 55, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
                Start(code, 3, memory);
                Item();
                QVERIFY(s.ThemeMemory[code] >= (code == 1 ? 0 : 3) && s.ThemeMemory[code] <= (code == 1 ? 5 : 7));
            }
        s.LevelIndex = 9;  // a level box that was never filled
        Start(1, 10);
        Item();
        QCOMPARE(ReadChain().codes.size(), 4);
        // Numbers overwritten after the item: the explanation explains nothing rather than nonsense.
        const std::function<void()> damages[] = {
            [&] { s.ThemeMemory[s.ThemeCode] = 42; }, [&] { s.QuestionParams.fill(0); },
            [&] { s.QuestionParams[1] += 1; }, [&] { s.QuestionParams.fill(std::numeric_limits<int>::max()); },
            [&] { s.ThemeMemory[5] = 6, s.QuestionParams[4] = s.QuestionParams[0]; }};  // two equal marked rows
        for (int code : {1, 5})
            for (const auto& damage : damages) {
                Start(code, 3);
                Item();
                damage();
                const int before = int(picture.textLog().size());
                s.TextLine = 11.25;
                kav::Toelichting(code, false);
                QVERIFY(text.textLog().last().text == "Toelichting:" && picture.textLog().size() == before);
            }
        kav::SetContext(nullptr, nullptr, &port);  // no drawing areas: nothing drawn, nothing broken
        for (int code : {1, 5}) {
            Start(code, 3);
            port = Recorder();
            QVERIFY(kav::Verdeler());
            kav::Toelichting(code, false);
            QCOMPARE(port.opened, 1);
        }
        Measures(false);
    }
};

QTEST_MAIN(TestRelationsMachines)
#include "tst_relations_machines.moc"

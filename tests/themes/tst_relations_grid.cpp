// The grid themes 2 (the mouse) and 3 (the frog) run as a session runs them, 1000 seeded items
// per level. Every answer is found again from what the pupil is shown: the mouse's cell by
// trying all 144 cells against the two clues, the frog's end by following its jumps; every
// equation of the worked explanations must hold for those values. Pixels are checked on a sample.
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>
#include <optional>

#include "support.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "themes/relations/grid.h"
#include "themes/relations/relations.h"
#include "themes/verdeler.h"

using kav::Session;
using kav::TextLogEntry;
namespace col = kav::col;

namespace {

struct Recorder : kav::AnswerPort {
    QString caption, hint;
    void OpenAnswer(const QString& c, const QString& h) override { caption = c, hint = h; }
};

int Width(const TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    return c.textWidth(e.text);
}

// A sum of products of whole numbers, k, r and ? ("2 + ? · 3", "k - 4"), or nothing.
std::optional<long long> Value(const QString& e, long long k, long long r, long long q = 0)
{
    long long total = 0, product = 1;
    int sign = 1;
    bool factor = false;
    for (const QString& t : e.split(u' ', Qt::SkipEmptyParts)) {
        if (t == "+" || t == "-") {
            if (!factor)
                return std::nullopt;
            total += sign * product, sign = t == "+" ? 1 : -1, product = 1, factor = false;
        } else if (t != QStringLiteral("\u00b7")) {
            bool ok = true;
            product *= t == "k" ? k : t == "r" ? r : t == "?" ? q : t.toLongLong(&ok);
            if (!ok)
                return std::nullopt;
            factor = true;
        }
    }
    return factor ? std::optional(total + sign * product) : std::nullopt;
}

// A clue or fact "left = right", linear in k and r, as c0 + ck k + cr r = 0.
struct Linear {
    long long c0, ck, cr;
    bool Holds(long long k, long long r) const { return c0 + ck * k + cr * r == 0; }
};
std::optional<Linear> Equation(QString text)
{
    static const QRegularExpression name("^(kolom|rij|met) |\\.$");
    const QStringList sides = text.remove(name).split(QStringLiteral(" = "));
    auto f = [&](long long k, long long r) -> std::optional<long long> {
        const auto a = Value(sides[0], k, r), b = Value(sides.value(1), k, r);
        return a && b && sides.size() == 2 ? std::optional(*a - *b) : std::nullopt;
    };
    const auto z = f(0, 0), kk = f(1, 0), rr = f(0, 1);
    return z && kk && rr ? std::optional(Linear{*z, *kk - *z, *rr - *z}) : std::nullopt;
}

// Every equation of an explanation line ("a = b = c", several joined by "   en   " or ", dus ")
// holds for the true k, r and number of jumps: empty when so; counts them.
QString CheckLine(QString line, long long k, long long r, long long jumps, int& equations)
{
    static const QRegularExpression joint(",\\s+dus |   en   ");
    for (const QString& part : line.remove(QStringLiteral("Dus: ")).split(joint)) {
        const QStringList sides = part.split(QStringLiteral(" = "));
        for (const QString& side : sides)
            if (sides.size() > 1 && Value(side, k, r, jumps) != Value(sides[0], k, r, jumps))
                return QStringLiteral("does not hold: ") + line;
        equations += sides.size() > 1;
    }
    return QString();
}

}  // namespace

class TestRelationsGrid : public QObject {
    Q_OBJECT

    kav::Canvas picture{645, 688}, text{366, 714};
    Recorder port;

    int Y(double line) const { return kav::Round(line * kav::LineHeight); }

    void Start(int code, int level)
    {
        testsupport::StartThemeItem(code, level);
        Session().SessionMode = 0;
    }

    // As the engine shows an item: both areas cleared for a new one, the text only for a second attempt.
    void Item(int code)
    {
        if (Session().Attempt == 0) {
            kav::ClearBitmap(&picture, col::BtnFace);
            kav::FrameBitmap(&picture, col::Black);
        }
        kav::ClearBitmap(&text, col::BtnFace);
        port = Recorder();
        Session().ThemeCode = code;
        QVERIFY(kav::Verdeler());
    }

    const TextLogEntry* At(double line, const QColor& c = QColor()) const
    {
        for (const TextLogEntry& e : text.textLog())
            if (e.y == Y(line) && (!c.isValid() || e.color == c))
                return &e;
        return nullptr;
    }
    QString TextAt(double line, const QColor& c = QColor()) const { return At(line, c) ? At(line, c)->text : QString(); }

    void InsideTheText()
    {
        for (const TextLogEntry& e : text.textLog())
            QVERIFY2(e.x >= 0 && e.x + Width(e) < text.width(), qPrintable(e.text));
    }

    // The question's fixed lines in place, every text inside the text area, the answer line at 11.
    void CheckQuestion(const QStringList& lines)
    {
        for (int i = 0; i < lines.size(); ++i)
            QVERIFY(TextAt(i + 1, col::Black) == lines[i] && At(i + 1)->x == kav::TextMargin);
        InsideTheText();
        QVERIFY(Session().TextLine == 11 && Session().AnswerKind == 1 && Session().AnswerSuffix.isEmpty());
    }

    // The item asked again, then judged as final; the lines written by the judge and the explanation.
    QMap<int, QString> Judge(bool right, bool practice)
    {
        kav::SessionState& s = Session();
        s.Attempt = s.MaxAttempts = 2;
        Item(s.ThemeCode);
        s.PracticeMode = practice;
        s.GivenAnswer = s.ExpectedAnswer + (right ? 0 : 1);
        const int from = int(text.textLog().size());
        if (s.ThemeCode == 3)  // text left from before, where the explanation goes
            kav::DrawTextItem(QStringLiteral("oud"), col::Black, false, 10, 20, 1, &text);
        kav::Judge(QString::number(s.GivenAnswer));
        QMap<int, QString> lines;
        for (int i = from; i < text.textLog().size(); ++i)
            lines[text.textLog()[i].y] += text.textLog()[i].text;
        return lines;
    }

    void SecondAttemptSame(int code)
    {
        kav::SessionState& s = Session();
        auto log = [&] {
            QStringList l;
            for (const TextLogEntry& e : text.textLog())
                l << QStringLiteral("%1|%2|%3|%4").arg(e.text).arg(e.x).arg(e.y).arg(e.color.name());
            return l << port.caption << port.hint << QString::number(s.ExpectedAnswer);
        };
        const QStringList shown = log();
        const QImage pictureShown = picture.image();
        const auto params = s.QuestionParams;
        const auto memory = s.ThemeMemory;
        s.Attempt = 2;
        Item(code);
        s.Attempt = 0;
        QVERIFY(log() == shown && picture.image() == pictureShown && s.QuestionParams == params && s.ThemeMemory == memory);
    }

    QColor Pixel(double x, double y) const { return picture.pixel(kav::PercentX(x), kav::PercentY(y)); }

    int InCell(int k, int r, QRgb c) const
    {
        int n = 0;
        for (int y = kav::PercentY(kav::CellTop(r)); y < kav::PercentY(kav::CellBottom(r)); ++y)
            for (int x = kav::PercentX(kav::CellLeft(k)); x < kav::PercentX(kav::CellRight(k)); ++x)
                n += (picture.image().pixel(x, y) | 0xff000000u) == c;
        return n;
    }

    struct Frog {
        int K0 = 0, R0 = 0, dk = 0, dr = 0;
        int jumps = -1, K = 0, R = 0;  // the end, found by jumping until the fact holds
    };
    Frog FrogFromText() const
    {
        static const QRegularExpression start("^hokje \\((\\d+) , (\\d+)\\)$"), number("(\\d+)( keer)?\\.$");
        Frog f;
        const QRegularExpressionMatch s = start.match(TextAt(2));
        f.K0 = s.captured(1).toInt(), f.R0 = s.captured(2).toInt();
        for (int i = 0; i + 2 < text.textLog().size(); ++i)  // the jump follows "Elke sprong is ": right, then up
            if (&text.textLog()[i] == At(3.5, col::Blue))
                f.dk = text.textLog()[i + 1].text.toInt(), f.dr = text.textLog()[i + 2].text.toInt();
        const QString fact = At(7.5) ? TextAt(7.5) : TextAt(7);
        const int v = number.match(fact).captured(1).toInt();
        const auto equation = Equation(fact);
        int found = 0;
        for (int i = 0; i <= 1000 && f.dk > 0; ++i) {
            const int k = f.K0 + i * f.dk, r = f.R0 + i * f.dr;
            const bool holds = fact.contains("keer") ? i == v
                               : fact.contains("kolom") ? k == v
                               : fact.contains(" rij ") ? r == v
                                                        : equation && equation->Holds(k, r);
            if (holds && found++ == 0)
                f.jumps = i, f.K = k, f.R = r;
        }
        f.jumps = found == 1 ? f.jumps : -1;
        return f;
    }

private slots:
    void initTestCase()
    {
        testsupport::SessionMeasures(picture, text);
        testsupport::UseBuildPictures();
        QVERIFY(kav::OpenLibrary(kav::Library::Reskav2));
        kav::SetContext(&picture, &text, &port);
        kav::SetExplanationHandler(&kav::Toelichting);
    }

    void mouse()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(2, level);
            QSet<int> as, bs, cs, explained;
            QVector<int> early;
            for (int i = 0; i < testsupport::Sweep(1000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(20000 * level + i));
                kav::SessionState& s = Session();
                const int before = s.ThemeMemory[2];
                Item(2);
                const auto& p = s.QuestionParams;
                const int K = p[0], R = p[1], c = s.ThemeMemory[2];
                QVERIFY(kav::InGrid(K, R) && p[2] >= 2 && p[2] <= 2 * level + 1 && p[3] >= 2 && p[3] <= 2 * level + 1);
                as << p[2], bs << p[3], cs << c;
                if (i < 3)
                    early << c;
                // The sub-question moves on by one in a cycle of L + 3, held back as the rules say.
                int e = (before + 1) % (level + 3);
                e -= s.ThemeItemCount[2] < 3 && e > 1 ? 2 : 0;
                e -= qAbs(K + R - 13) > 9 && e > 3 ? 2 : 0;
                QCOMPARE(c, qAbs(K - R) > 9 && (e == 2 || e == 3) ? 1 : e);
                QVERIFY((qAbs(K + R - 13) <= 9 || c <= 3) && (qAbs(K - R) <= 9 || c < 2 || c > 3));
                // The clues, the dots on the first one, and the one cell of the 144 that fits both.
                const auto first = Equation(TextAt(6, col::Red)), second = Equation(TextAt(c == 4 ? 7 : 7.5, col::Red));
                QVERIFY(first && second && At(6)->x == 2 * kav::TextMargin);
                const kav::CellGrid& cells = kav::CellState();
                QVector<QPoint> fits;
                int grey = 0;
                for (int k = 1; k <= 12; ++k)
                    for (int r = 1; r <= 12; ++r) {
                        const int state = cells[size_t(k)][size_t(r)];
                        grey += state == kav::CellGrey;
                        QCOMPARE(state == kav::CellDot, state != kav::CellGrey && first->Holds(k, r));
                        if (first->Holds(k, r) && second->Holds(k, r))
                            fits << QPoint(k, r);
                    }
                QVERIFY(fits == QVector<QPoint>{QPoint(K, R)} && grey == 40 - 10 * level);
                const QString question = TextAt(9, col::Blue);
                const bool column = question == QStringLiteral("In welke kolom (= k) zit de muis ?");
                QVERIFY(column || question == QStringLiteral("In welke rij (= r) zit de muis ?"));
                QCOMPARE(column, c == 1 || c == 2 || c == 4);
                QVERIFY(s.ExpectedAnswer == (column ? K : R) && port.caption == (column ? "k : " : "r : ") &&
                        port.hint == "|" + question);
                QCOMPARE(TextAt(4.5, col::Blue), QStringLiteral("Daar geldt:"));
                CheckQuestion({"De muis zit verstopt", "in het hokje (k , r)", "Er staat een stip in."});
                if (i == 0)
                    SecondAttemptSame(2);
                if (i % 150 == 0) {  // grey cells filled up to their lines and no further, red dots in the middle
                    int inGreyCells = 0;
                    for (int k = 1; k <= 12; ++k)
                        for (int r = 1; r <= 12; ++r) {
                            const int state = cells[size_t(k)][size_t(r)];
                            QCOMPARE(Pixel(kav::CellLeft(k) + 1.5, kav::CellTop(r) + 1.5), state == kav::CellGrey ? col::Gray : col::BtnFace);
                            QCOMPARE(Pixel(kav::CellMidX(k), kav::CellMidY(r)),
                                     state == kav::CellDot ? col::Red : state == kav::CellGrey ? col::Gray : col::BtnFace);
                            inGreyCells += state == kav::CellGrey ? InCell(k, r, col::Gray.rgb()) : 0;
                        }
                    const QRect grid(QPoint(kav::PercentX(10), kav::PercentY(6)), QPoint(kav::PercentX(94), kav::PercentY(90)));
                    QCOMPARE(testsupport::CountColour(picture.image().copy(grid), col::Gray), inGreyCells);
                    QVERIFY(picture.textLog().size() == 26 && testsupport::Logged(picture, "k (= kolom)   "));
                }
                if (i % 11 != 10) {
                    ++s.ThemeItemCount[2];
                    continue;
                }
                // Judged: the mouse in its cell after any final answer; the explanation only after a
                // wrong one in practice, every equation in it true for the mouse's cell.
                const QImage clean = picture.image();
                const QRect cell(QPoint(kav::PercentX(kav::CellLeft(K)) + 2, kav::PercentY(kav::CellTop(R)) + 2),
                                 QPoint(kav::PercentX(kav::CellRight(K)) - 3, kav::PercentY(kav::CellBottom(R)) - 3));
                for (int round = 0; round < 3; ++round) {  // right in practice, wrong in a test, wrong in practice
                    picture.image() = clean;
                    const QMap<int, QString> lines = Judge(round == 0, round != 1);
                    QImage outside = picture.image(), cleanOutside = clean;
                    QPainter(&outside).fillRect(cell.adjusted(-2, -2, 2, 2), Qt::white);
                    QPainter(&cleanOutside).fillRect(cell.adjusted(-2, -2, 2, 2), Qt::white);
                    QVERIFY(picture.image().copy(cell) != clean.copy(cell) && outside == cleanOutside);
                    const double B = 11 + 2 + (round == 0 ? 1.75 : 1.25) + 0.5 + (round == 2 ? 1.25 : 0);
                    QVERIFY(s.TextLine == B && (lines.value(Y(B)) == QStringLiteral("Toelichting:")) == (round == 2));
                    if (round < 2)
                        continue;
                    explained << c;
                    // Filling in one of the two (clues 0 and 1) shows the product worked out as a
                    // line of its own before the unknown is isolated.
                    const int last = c <= 1 ? 5 : 4;
                    int equations = 0;
                    for (int l = 1; l <= last; ++l) {
                        const QString problem = CheckLine(lines.value(Y(B + l)), K, R, 0, equations);
                        QVERIFY2(problem.isEmpty(), qPrintable(problem));
                        QCOMPARE(At(B + l)->x, l == 1 || (l == 2 && c >= 4) ? kav::TextMargin : 2 * kav::TextMargin);
                    }
                    QVERIFY(equations == (c == 3 || c <= 1 ? 4 : 3) && At(B + last)->color == col::Red);
                    QVERIFY(lines.value(Y(B + last)).contains(column ? QStringLiteral("k = %1").arg(K) : QStringLiteral("r = %1").arg(R)));
                    if (c <= 1)  // no letter but the unknown on the line after the filling in
                        QVERIFY(!lines.value(Y(B + 3)).contains(c == 0 ? u'k' : u'r'));
                    InsideTheText();
                }
            }
            QVERIFY(early == QVector<int>({0, 1, 0}) && as.size() == 2 * level && bs.size() == 2 * level);
            QVERIFY(cs.size() == level + 3 && explained == cs);
        }
    }

    void frog()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(3, level);
            QSet<int> starts, steps, jumps, variants, explained;
            for (int i = 0; i < testsupport::Sweep(1000) && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(30000 * level + i));
                kav::SessionState& s = Session();
                const int before = s.ThemeMemory[3];
                Item(3);
                const int m = s.ThemeMemory[3];
                int cycled = (before + 1) % (level + 5) + 2 * level - 2;  // 0..5, 2..8, 4..11; easier at first
                QCOMPARE(m, cycled - (s.ThemeItemCount[3] < 3 && cycled > 5 ? 5 : 0));
                if (s.ThemeItemCount[3] >= 3)
                    variants << m;
                const Frog f = FrogFromText();
                QVERIFY2(f.jumps >= 0, qPrintable(TextAt(7) + TextAt(7.5)));
                QVERIFY(f.K0 >= 1 && f.K0 <= 3 && f.R0 >= 1 && f.R0 <= 3 && f.K0 != f.R0);
                QVERIFY(f.dk >= level && f.dk <= 2 * level + 2 && f.dr >= level && f.dr <= 2 * level + 2 && f.dk != f.dr);
                QVERIFY(f.jumps >= 5 && f.jumps <= 3 * level + 7 && (f.K > 12 + f.dk || f.R > 12 + f.dr));
                starts << 10 * f.K0 + f.R0, steps << f.dk << f.dr, jumps << f.jumps;
                const QString question = TextAt(9, col::Red);
                const int answer = question == QStringLiteral("In welke kolom k eindigt hij ?") ? f.K
                                   : question == QStringLiteral("In welke rij r eindigt hij ?") ? f.R
                                   : question == QStringLiteral("Hoeveel sprongen maakte hij ?") ? f.jumps : -1;
                QCOMPARE(s.ExpectedAnswer, answer);
                // Each variant its fact (jumps, column, row, sum, relation) and its question (column, row, jumps).
                const QString fact = At(7.5) ? TextAt(7.5) : TextAt(7);
                const char given = fact.contains("keer") ? 'J' : fact.contains("kolom") ? 'C' : fact.contains(" rij ") ? 'R'
                                   : fact.contains("k + r") ? 'S' : 'E';
                QVERIFY(QByteArray("JJCRRCSSSEEE").at(m) == given && QByteArray("KRnnKRnRKRKn").at(m) == (answer == f.K ? 'K' : answer == f.R ? 'R' : 'n'));
                QVERIFY(port.hint == "|" + question &&
                        port.caption == (answer == f.K ? "kolom k : " : answer == f.R ? "rij r : " : "aantal sprongen : "));
                QVERIFY(m < 6 ? At(7, col::Blue)->x == kav::TextMargin : TextAt(6.5, col::Blue) == QStringLiteral("Het eindhokje is (k , r)"));
                QCOMPARE(TextAt(3.5, col::Blue), QStringLiteral("Elke sprong is "));
                CheckQuestion({"De kikker start in", QStringLiteral("hokje (%1 , %2)").arg(f.K0).arg(f.R0)});
                if (i == 0)
                    SecondAttemptSame(3);
                if (i % 125 == 0) {
                    // Frogs exactly on the points inside the grid, the start framed red, the path green;
                    // the arrows stay in the picture and its frame is whole.
                    for (int k = 1; k <= 12; ++k)
                        for (int r = 1; r <= 12; ++r) {
                            const bool on = k >= f.K0 && (k - f.K0) % f.dk == 0 && r == f.R0 + (k - f.K0) / f.dk * f.dr;
                            QCOMPARE(InCell(k, r, qRgb(0x4c, 0xbf, 0x3c)) > 30, on);
                        }
                    QCOMPARE(Pixel(kav::CellLeft(f.K0), kav::CellMidY(f.R0)), col::Red);
                    QCOMPARE(Pixel((kav::CellMidX(f.K0) + kav::CellMidX(f.K0 + f.dk)) / 2,
                                   (kav::CellMidY(f.R0) + kav::CellMidY(f.R0 + f.dr)) / 2), col::Green);
                    const QImage img = picture.image();
                    QRect red;
                    for (int y = 0; y < img.height(); ++y)
                        for (int x = 0; x < img.width(); ++x) {
                            const bool edge = x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1;
                            QVERIFY(!edge || (img.pixel(x, y) | 0xff000000u) == col::Black.rgb());
                            red |= (img.pixel(x, y) | 0xff000000u) == col::Red.rgb() ? QRect(x, y, 1, 1) : QRect();
                        }
                    QVERIFY(red.right() <= kav::PercentX(96) + 1 && red.top() >= kav::PercentY(4) - 1);  // a tip may take one pixel more
                }
                if (i % 11 != 10) {
                    ++s.ThemeItemCount[3];
                    continue;
                }
                // Judged: no explanation after a right answer; after a wrong one the judge clears the
                // lower text and the explanation writes there, every equation true for the real journey.
                QVERIFY(!Judge(true, true).values().join("").contains("Toelichting"));
                const QMap<int, QString> lines = Judge(false, true);
                const double B = 15.5;
                QVERIFY(lines.value(Y(B)) == QStringLiteral("Toelichting:") && !testsupport::Logged(text, "oud"));
                explained << m;
                int equations = 0;
                for (int l = 1; l <= 4; ++l) {
                    const QString problem = CheckLine(lines.value(Y(B + l)), f.K, f.R, f.jumps, equations);
                    QVERIFY2(problem.isEmpty(), qPrintable(problem));
                    QVERIFY(!At(B + l) || At(B + l)->x == 2 * kav::TextMargin);
                }
                QCOMPARE(equations, QVector<int>({1, 1, 3, 3, 3, 3, 4, 5, 5, 5, 5, 4})[m]);
                QVERIFY(lines.lastKey() == Y(m >= 7 && m <= 10 ? B + 4 : m < 2 ? B + 1 : B + 3));
                const TextLogEntry& last = text.textLog().last();
                QVERIFY(last.color == col::Red && last.text.contains(QString::number(s.ExpectedAnswer)));
                for (const TextLogEntry& e : text.textLog())
                    QVERIFY(!e.text.contains(u'?') || e.color == col::Red || (m >= 9 && e.y == Y(B + 1)));
                InsideTheText();
            }
            QVERIFY(starts.size() == 6 && steps.size() == level + 3 && jumps.contains(5) && jumps.contains(3 * level + 7));
            QCOMPARE(variants.size(), level + 5);
            QCOMPARE(explained.size(), level + 5);
        }
    }

    void jumpVector()
    {
        kav::Canvas c(300, 200);
        kav::ClearBitmap(&c, col::White);
        c.font = text.font;
        kav::DrawJumpVector(40, 60, QStringLiteral("7"), QStringLiteral("12"), col::Blue, &c);
        kav::DrawJumpVector(40, 60, QStringLiteral("1"), QStringLiteral("2"), col::Blue, nullptr);  // nowhere: nothing
        const int h = c.textHeight("7"), wn = c.textWidth("n"), w = c.textWidth("12  "), x1 = kav::Round(40 + kav::ScreenScale);
        QCOMPARE(c.textLog().size(), 2);
        QVERIFY(c.textLog()[0].text == "7" && c.textLog()[0].y == 60 && c.textLog()[1].text == "12" && c.textLog()[1].y == 60 + h);
        QCOMPARE(c.textLog()[0].x, x1 + w + wn + (w - c.textWidth("7")) / 2);  // the numbers centred beside the arrows
        QRect blue;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x)
                blue |= c.pixel(x, y) == col::Blue ? QRect(x, y, 1, 1) : QRect();
        // Two brackets as high as the two lines round the arrows and the numbers.
        QVERIFY(qAbs(blue.left() - (40 + wn / 2)) <= 2 && qAbs(blue.top() - 60) <= 2 && qAbs(blue.bottom() - (60 + 2 * h)) <= 3);
        QVERIFY(blue.right() >= x1 + 2 * w + wn && blue.right() <= x1 + 2 * w + 2 * wn);
        QCOMPARE(c.pixel(x1 + wn + w / 2, 60 + h / 2), col::Blue);                  // the arrow to the right
        QCOMPARE(c.pixel(x1 + wn + w / 2, kav::Round(60 + 1.5 * h)), col::Blue);      // the arrow up
        QCOMPARE(c.pixel(x1 + wn + w / 2, kav::Round(60 + 2.5 * h)), col::White);
    }

    // A picture area far wider than the text keeps the small framed frog inside the text area.
    void widePicture()
    {
        kav::Canvas wide(2000, picture.height());
        kav::SetContext(&wide, &text, &port);
        Start(3, 1);
        kav::ClearBitmap(&text, col::BtnFace);
        kav::Theme3();
        kav::SetContext(&picture, &text, &port);
        const int edge = text.width() - kav::TextMargin - 1, middle = (kav::PercentY(4) + kav::PercentY(11)) / 2;
        QVERIFY(text.pixel(edge, middle) == col::Black && text.pixel(edge + 3, middle) == col::BtnFace);
        QVERIFY(testsupport::CountColour(text.image(), QColor(0x4c, 0xbf, 0x3c)) > 100);
    }

    // Odd values never crash: nothing that is not an item of the theme is shown or explained.
    void oddValues()
    {
        for (int v : {-2000000000, -1, 0, 13, 2000000000}) {
            Start(2, 3);
            kav::SessionState& s = Session();
            s.QuestionParams.fill(v);
            s.ThemeMemory.fill(v);
            s.LevelIndex = v % 7;
            s.PracticeMode = true;
            s.TextLine = 11;
            kav::ClearBitmap(&text, col::BtnFace);
            const QImage before = picture.image();
            kav::Theme2Explanation(false);
            kav::Theme3Explanation();
            QVERIFY(s.TextLine == 11.5 && picture.image() == before && text.textLog().isEmpty());
            s.Attempt = 2;
            Item(2);
            Item(3);
            s.Attempt = 0;
            Item(v % 2 ? 2 : 3);  // a new item at a level out of range keeps to the highest
            QVERIFY(s.TextLine == 11 && s.QuestionParams[0] >= 1 && s.QuestionParams[0] <= 3 + 16 * 7);
        }
    }
};

QTEST_MAIN(TestRelationsGrid)
#include "tst_relations_grid.moc"

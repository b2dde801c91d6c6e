// The grid themes 2 (the mouse) and 3 (the frog) run as a session runs them, thousands of
// seeded items per level. Every answer is found again from what the pupil is shown: the mouse's
// cell by trying all 144 cells against the two clues, the frog's end by following its jumps;
// every equation of the worked explanations is checked against those values. A sample of
// pictures is checked pixel by pixel.
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>
#include <optional>

#include "formsfixture.h"
#include "support.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/relations/grid.h"
#include "themes/relations/relations.h"
#include "themes/verdeler.h"

using kav::Canvas;
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
    Canvas c(1, 1);
    c.font.size = e.size;
    c.font.bold = e.bold;
    return c.textWidth(e.text);
}

// A sum of products of whole numbers, k, r and ? ("2 + ? · 3", "k - 4"), or nothing when the
// text is not one.
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

// An equation "left = right" as c0 + ck k + cr r = 0 (its sides are linear in k and r).
struct Linear {
    long long c0 = 0, ck = 0, cr = 0;
    bool Holds(long long k, long long r) const { return c0 + ck * k + cr * r == 0; }
};
std::optional<Linear> Equation(QString text)
{
    static const QRegularExpression name("^(kolom|rij|met) "), stop("\\.$");
    text.remove(name).remove(stop);
    const QStringList sides = text.split(QStringLiteral(" = "));
    if (sides.size() != 2)
        return std::nullopt;
    auto f = [&](long long k, long long r) {
        const auto a = Value(sides[0], k, r), b = Value(sides[1], k, r);
        return a && b ? std::optional(*a - *b) : std::nullopt;
    };
    const auto z = f(0, 0), kk = f(1, 0), rr = f(0, 1);
    if (!z || !kk || !rr)
        return std::nullopt;
    return Linear{*z, *kk - *z, *rr - *z};
}

// Every equation of an explanation line ("a = b = c", several joined by "   en   " or
// ", dus ") holds for the true k, r and number of jumps; an empty string when so.
QString CheckLine(QString line, long long k, long long r, long long jumps, int* equations)
{
    line.remove(QStringLiteral("Dus: "));
    static const QRegularExpression joint(",\\s+dus |   en   ");
    for (const QString& part : line.split(joint)) {
        const QStringList sides = part.split(QStringLiteral(" = "));
        if (sides.size() < 2)
            continue;
        const auto first = Value(sides[0], k, r, jumps);
        for (const QString& side : sides)
            if (const auto v = Value(side, k, r, jumps); !first || !v || *v != *first)
                return QStringLiteral("does not hold: ") + line;
        ++*equations;
    }
    return QString();
}

}  // namespace

class TestRelationsGrid : public QObject {
    Q_OBJECT

    Canvas picture{645, 688}, text{366, 714};
    Recorder port;

    int Y(double line) const { return kav::Round(line * kav::LineHeight); }

    void Start(int code, int level)
    {
        testsupport::StartThemeItem(code, level);
        Session().SessionMode = 0;
        Session().PracticeMode = true;
    }

    // One item as the engine shows it: both areas cleared (the picture framed) for a new item,
    // only the text for a second attempt.
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

    const TextLogEntry* At(double line, const QColor& c = QColor(), int index = 0) const
    {
        for (const TextLogEntry& e : text.textLog())
            if (e.y == Y(line) && (!c.isValid() || e.color == c) && index-- == 0)
                return &e;
        return nullptr;
    }
    QString TextAt(double line, const QColor& c = QColor()) const
    {
        const TextLogEntry* e = At(line, c);
        return e ? e->text : QString();
    }

    // The texts written from entry From on, joined line by line.
    QMap<int, QString> Lines(int from) const
    {
        QMap<int, QString> lines;
        for (int i = from; i < text.textLog().size(); ++i)
            lines[text.textLog()[i].y] += text.textLog()[i].text;
        return lines;
    }

    // Every text inside the text area, and the question lines in their place.
    void CheckTexts(const QStringList& blackLines)
    {
        for (const TextLogEntry& e : text.textLog())
            QVERIFY2(e.x >= 0 && e.x + Width(e) < text.width() && e.y + kav::LineHeight <= text.height(), qPrintable(e.text));
        for (int i = 0; i < blackLines.size(); ++i)
            QVERIFY(At(i + 1, col::Black) && At(i + 1, col::Black)->text == blackLines[i] && At(i + 1)->x == kav::TextMargin);
        QCOMPARE(Session().TextLine, 11.0);
        QVERIFY(Session().AnswerKind == 1 && Session().AnswerSuffix.isEmpty());
    }

    // The answer judged as the session judges it (final attempt); the entries written after it.
    int Judge(bool right, bool practice)
    {
        kav::SessionState& s = Session();
        s.PracticeMode = practice;
        s.Attempt = s.MaxAttempts = 2;
        s.GivenAnswer = s.ExpectedAnswer + (right ? 0 : 1);
        const int before = int(text.textLog().size());
        kav::Judge(QString::number(s.GivenAnswer));
        return before;
    }

    void SecondAttemptSame(int code)
    {
        kav::SessionState& s = Session();
        auto log = [&] {
            QStringList l;
            for (const TextLogEntry& e : text.textLog())
                l << QStringLiteral("%1|%2|%3|%4").arg(e.text).arg(e.x).arg(e.y).arg(e.color.name());
            return l;
        };
        const QStringList shown = log();
        const QImage pictureShown = picture.image();
        const auto params = s.QuestionParams;
        const auto memory = s.ThemeMemory;
        const Recorder asked = port;
        const int expected = s.ExpectedAnswer;
        s.Attempt = 2;
        Item(code);
        s.Attempt = 0;
        QVERIFY(log() == shown && picture.image() == pictureShown);
        QVERIFY(s.QuestionParams == params && s.ThemeMemory == memory && s.ExpectedAnswer == expected);
        QVERIFY(port.caption == asked.caption && port.hint == asked.hint);
    }

    // Pixel (x, y) percent of the picture.
    QColor Pixel(double x, double y) const { return picture.pixel(kav::PercentX(x), kav::PercentY(y)); }

    // How many pixels of colour C lie inside cell (k, r).
    int InCell(int k, int r, QRgb c) const
    {
        int n = 0;
        for (int y = kav::PercentY(kav::CellTop(r)); y < kav::PercentY(kav::CellBottom(r)); ++y)
            for (int x = kav::PercentX(kav::CellLeft(k)); x < kav::PercentX(kav::CellRight(k)); ++x)
                n += (picture.image().pixel(x, y) | 0xff000000u) == c;
        return n;
    }

    // The mouse's cell: the one cell of the 144 that fits both clues.
    QPoint MouseFromClues(const Linear& a, const Linear& b) const
    {
        QVector<QPoint> fits;
        for (int k = 1; k <= 12; ++k)
            for (int r = 1; r <= 12; ++r)
                if (a.Holds(k, r) && b.Holds(k, r))
                    fits << QPoint(k, r);
        return fits.size() == 1 ? fits[0] : QPoint();
    }

    struct Frog {
        int K0 = 0, R0 = 0, dk = 0, dr = 0;
        int jumps = -1, K = 0, R = 0;  // the end, found by following the jumps
    };

    // The frog as the text describes it, and its end point found by jumping until the fact holds.
    Frog FrogFromText() const
    {
        Frog f;
        static const QRegularExpression startCell("^hokje \\((\\d+) , (\\d+)\\)$"), endNumber("(\\d+)( keer)?\\.$");
        const QRegularExpressionMatch start = startCell.match(TextAt(2));
        f.K0 = start.captured(1).toInt(), f.R0 = start.captured(2).toInt();
        const TextLogEntry* lead = At(3.5, col::Blue);
        for (int i = 0; i < text.textLog().size() - 2; ++i)
            if (&text.textLog()[i] == lead)
                f.dk = text.textLog()[i + 1].text.toInt(), f.dr = text.textLog()[i + 2].text.toInt();
        const QString fact = At(7.5) ? TextAt(7.5) : TextAt(7);
        const QRegularExpressionMatch number = endNumber.match(fact);
        const auto equation = Equation(fact);
        int found = 0;
        for (int i = 0; i <= 1000 && f.dk > 0; ++i) {
            const int k = f.K0 + i * f.dk, r = f.R0 + i * f.dr;
            const int v = number.captured(1).toInt();
            const bool holds = fact.contains("keer") ? i == v
                               : fact.contains("kolom")  ? k == v
                               : fact.contains(" rij ")  ? r == v
                                                         : equation && equation->Holds(k, r);
            if (holds && found++ == 0)
                f.jumps = i, f.K = k, f.R = r;
        }
        if (found != 1)
            f.jumps = -1;
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

    void mouseItems()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(2, level);
            QSet<int> as, bs, cs;
            QVector<int> early;
            for (int i = 0; i < 1500 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(20000 * level + i));
                kav::SessionState& s = Session();
                const int before = s.ThemeMemory[2];
                Item(2);
                const auto& p = s.QuestionParams;
                const int K = p[0], R = p[1], c = s.ThemeMemory[2];
                QVERIFY(kav::InGrid(K, R) && p[2] >= 2 && p[2] <= 2 * level + 1 && p[3] >= 2 && p[3] <= 2 * level + 1);
                as << p[2], bs << p[3], cs << c;
                // The sub-question moves on by one in a cycle of L + 3, held back as stated.
                int e = (before + 1) % (level + 3);
                e -= s.ThemeItemCount[2] < 3 && e > 1 ? 2 : 0;
                e -= qAbs(K + R - 13) > 9 && e > 3 ? 2 : 0;
                QCOMPARE(c, qAbs(K - R) > 9 && (e == 2 || e == 3) ? 1 : e);
                QVERIFY(c <= level + 2 && (qAbs(K + R - 13) <= 9 || c <= 3) && (qAbs(K - R) <= 9 || c < 2 || c > 3));
                if (i < 3)
                    early << c;
                // The clues, the dots and the cell they point at.
                const auto first = Equation(TextAt(6, col::Red));
                const auto second = Equation(TextAt(c == 4 ? 7 : 7.5, col::Red));
                QVERIFY2(first && second, qPrintable(TextAt(6) + " / " + TextAt(7.5)));
                QCOMPARE(At(6, col::Red)->x, 2 * kav::TextMargin);
                const QPoint mouse = MouseFromClues(*first, *second);
                QCOMPARE(mouse, QPoint(K, R));
                const kav::CellGrid& cells = kav::CellState();
                int grey = 0;
                for (int k = 1; k <= 12; ++k)
                    for (int r = 1; r <= 12; ++r) {
                        const int state = cells[size_t(k)][size_t(r)];
                        grey += state == kav::CellGrey;
                        QCOMPARE(state == kav::CellDot, state != kav::CellGrey && first->Holds(k, r));
                    }
                QVERIFY(grey == 40 - 10 * level && cells[size_t(K)][size_t(R)] == kav::CellDot);
                // The question asks for the column or the row of that cell.
                const QString question = TextAt(9, col::Blue);
                const bool column = question == QStringLiteral("In welke kolom (= k) zit de muis ?");
                QVERIFY(column || question == QStringLiteral("In welke rij (= r) zit de muis ?"));
                QCOMPARE(s.ExpectedAnswer, column ? K : R);
                QVERIFY(port.caption == (column ? "k : " : "r : ") && port.hint == "|" + question);
                QCOMPARE(TextAt(4.5, col::Blue), QStringLiteral("Daar geldt:"));
                CheckTexts({"De muis zit verstopt", "in het hokje (k , r)", "Er staat een stip in."});
                if (i == 0)
                    SecondAttemptSame(2);
                if (i % 150 == 0) {  // the picture: grey cells filled inside their lines, dots in the middle
                    for (int k = 1; k <= 12; ++k)
                        for (int r = 1; r <= 12; ++r) {
                            const int state = cells[size_t(k)][size_t(r)];
                            QCOMPARE(Pixel(kav::CellLeft(k) + 1.5, kav::CellTop(r) + 1.5),
                                     state == kav::CellGrey ? col::Gray : col::BtnFace);
                            QCOMPARE(Pixel(kav::CellMidX(k), kav::CellMidY(r)),
                                     state == kav::CellDot ? col::Red : state == kav::CellGrey ? col::Gray : col::BtnFace);
                        }
                    // No grey beyond the grey cells (the numbers' smooth edges may hold some grey).
                    QCOMPARE(testsupport::CountColour(picture.image().copy(QRect(QPoint(kav::PercentX(10), kav::PercentY(6)),
                                                                                 QPoint(kav::PercentX(94), kav::PercentY(90)))),
                                                      col::Gray),
                             [&] { int n = 0; for (int k = 1; k <= 12; ++k) for (int r = 1; r <= 12; ++r)
                                       n += cells[size_t(k)][size_t(r)] == kav::CellGrey ? InCell(k, r, col::Gray.rgb()) : 0;
                                   return n; }());
                    QVERIFY(Pixel(10, 50) == col::Black && Pixel(50, 6) == col::Black && Pixel(94, 90) == col::Black);
                    QVERIFY(picture.textLog().size() == 26 && testsupport::Logged(picture, "k (= kolom)   "));
                }
                ++s.ThemeItemCount[2];
            }
            QVERIFY(early == QVector<int>({0, 1, 0}));
            QVERIFY(as.size() == 2 * level && bs.size() == 2 * level && cs.size() == level + 3);
        }
    }

    // The mouse after every final answer; the explanation only after a wrong one in practice,
    // every equation in it true for the mouse's cell.
    void mouseShownAndExplained()
    {
        QSet<int> explained;
        for (int i = 0; explained.size() < 6 && i < 400; ++i) {
            Start(2, 3);
            kav::SessionState& s = Session();
            s.ThemeItemCount[2] = 3;
            s.ThemeMemory[2] = i % 6 - 1;
            kav::SeedRandom(std::uint32_t(900 + i));
            Item(2);
            const int K = s.QuestionParams[0], R = s.QuestionParams[1], c = s.ThemeMemory[2];
            const bool column = s.ExpectedAnswer == K && s.CaptionSubject == "k ";
            const QImage clean = picture.image();
            const QRect cell(QPoint(kav::PercentX(kav::CellLeft(K)) + 2, kav::PercentY(kav::CellTop(R)) + 2),
                             QPoint(kav::PercentX(kav::CellRight(K)) - 3, kav::PercentY(kav::CellBottom(R)) - 3));
            for (int round = 0; round < 3; ++round) {  // right in practice, wrong in a test, wrong in practice
                picture.image() = clean;
                s.Attempt = 2;
                Item(2);  // the question drawn again, the answer line back at 11
                const int from = Judge(round == 0, round != 1);
                QVERIFY(picture.image().copy(cell) != clean.copy(cell));  // the mouse in its cell, nothing else
                QImage outside = picture.image(), cleanOutside = clean;
                QPainter(&outside).fillRect(cell.adjusted(-2, -2, 2, 2), Qt::white);
                QPainter(&cleanOutside).fillRect(cell.adjusted(-2, -2, 2, 2), Qt::white);
                QVERIFY(outside == cleanOutside);
                const QMap<int, QString> lines = Lines(from);
                const bool explains = round == 2;
                const double B = 11 + 2 + (round == 0 ? 1.75 : 1.25) + 0.5 + (explains ? 1.25 : 0);
                QCOMPARE(s.TextLine, B);
                QCOMPARE(lines.value(Y(B)) == QStringLiteral("Toelichting:"), explains);
                if (!explains)
                    continue;
                explained << c;
                int equations = 0;
                for (int l = 1; l <= 4; ++l) {
                    const QString problem = CheckLine(lines.value(Y(B + l)), K, R, 0, &equations);
                    QVERIFY2(problem.isEmpty(), qPrintable(problem));
                    QCOMPARE(At(B + l)->x, l == 1 || (l == 2 && c >= 4) ? kav::TextMargin : 2 * kav::TextMargin);
                }
                QCOMPARE(equations, c == 3 ? 4 : 3);
                // The last line, all red, gives the asked coordinate.
                for (int k = 0; At(B + 4, QColor(), k); ++k)
                    QCOMPARE(At(B + 4, QColor(), k)->color, col::Red);
                QVERIFY(lines.value(Y(B + 4)).contains(column ? QStringLiteral("k = %1").arg(K) : QStringLiteral("r = %1").arg(R)));
                for (const TextLogEntry& e : text.textLog())
                    QVERIFY2(e.x + Width(e) < text.width(), qPrintable(e.text));
            }
        }
        QCOMPARE(explained.size(), 6);
    }

    void frogItems()
    {
        for (int level = 1; level <= 3; ++level) {
            Start(3, level);
            QSet<int> starts, steps, jumps, variants, earlyVariants;
            for (int i = 0; i < 1500 && !QTest::currentTestFailed(); ++i) {
                kav::SeedRandom(std::uint32_t(30000 * level + i));
                kav::SessionState& s = Session();
                const int before = s.ThemeMemory[3];
                Item(3);
                const int m = s.ThemeMemory[3];
                int expectedM = (before + 1) % (level + 5) + 2 * level - 2;
                expectedM -= s.ThemeItemCount[3] < 3 && expectedM > 5 ? 5 : 0;
                QCOMPARE(m, expectedM);
                (s.ThemeItemCount[3] < 3 ? earlyVariants : variants) << m;
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
                QVERIFY(port.hint == "|" + question && port.caption == (answer == f.K ? "kolom k : " : answer == f.R ? "rij r : " : "aantal sprongen : "));
                const bool twoLines = m >= 6;
                QVERIFY(At(twoLines ? 7.5 : 7, col::Blue) && At(twoLines ? 7.5 : 7)->x == kav::TextMargin);
                QVERIFY(!twoLines || TextAt(6.5, col::Blue) == QStringLiteral("Het eindhokje is (k , r)"));
                CheckTexts({"De kikker start in", QStringLiteral("hokje (%1 , %2)").arg(f.K0).arg(f.R0)});
                QCOMPARE(TextAt(3.5, col::Blue), QStringLiteral("Elke sprong is "));
                if (i == 0)
                    SecondAttemptSame(3);
                if (i % 125 == 0) {
                    // Frogs exactly on the points inside the grid; the path leaves it; arrows stay in the picture.
                    const QRgb frog = qRgb(0x4c, 0xbf, 0x3c);
                    int inside = 0;
                    for (int k = 1; k <= 12; ++k)
                        for (int r = 1; r <= 12; ++r) {
                            const int n = (k - f.K0) / f.dk;
                            const bool on = k >= f.K0 && (k - f.K0) % f.dk == 0 && r == f.R0 + n * f.dr;
                            inside += on;
                            QVERIFY2((InCell(k, r, frog) > 30) == on, qPrintable(QStringLiteral("cell %1,%2").arg(k).arg(r)));
                        }
                    QVERIFY(inside >= 1);
                    QCOMPARE(Pixel(kav::CellLeft(f.K0), kav::CellMidY(f.R0)), col::Red);  // the start's frame
                    QCOMPARE(Pixel((kav::CellMidX(f.K0) + kav::CellMidX(f.K0 + f.dk)) / 2,
                                   (kav::CellMidY(f.R0) + kav::CellMidY(f.R0 + f.dr)) / 2), col::Green);
                    QRect red;
                    for (int y = 0; y < picture.height(); ++y)
                        for (int x = 0; x < picture.width(); ++x)
                            if (picture.pixel(x, y) == col::Red)
                                red |= QRect(x, y, 1, 1);
                    QVERIFY(red.right() <= kav::PercentX(96) + 1 && red.top() >= kav::PercentY(4) - 1);  // a tip may take one pixel more
                    const QImage img = picture.image();
                    for (int x = 0; x < img.width(); ++x)
                        QVERIFY(QColor(img.pixel(x, 0)) == col::Black && QColor(img.pixel(x, img.height() - 1)) == col::Black);
                    for (int y = 0; y < img.height(); ++y)
                        QVERIFY(QColor(img.pixel(0, y)) == col::Black && QColor(img.pixel(img.width() - 1, y)) == col::Black);
                }
                ++s.ThemeItemCount[3];
            }
            QCOMPARE(starts.size(), 6);
            QCOMPARE(steps.size(), level + 3);
            QVERIFY(jumps.contains(5) && jumps.contains(3 * level + 7));
            QCOMPARE(variants, [&] { QSet<int> v; for (int m = 2 * level - 2; m <= 3 * level + 2; ++m) v << m; return v; }());
            for (int m : earlyVariants)
                QVERIFY(m <= 5 || (level == 3 && m == 6));
        }
    }

    void jumpVector()
    {
        Canvas c(300, 200);
        kav::ClearBitmap(&c, col::White);
        c.font = text.font;
        const int x = 40, y = 60;
        kav::DrawJumpVector(x, y, QStringLiteral("7"), QStringLiteral("12"), col::Blue, &c);
        kav::DrawJumpVector(x, y, QStringLiteral("1"), QStringLiteral("2"), col::Blue, nullptr);  // nowhere: nothing
        const int h = c.textHeight("7"), wn = c.textWidth("n"), w = c.textWidth("12  ");
        const int x1 = kav::Round(x + kav::ScreenScale);
        QCOMPARE(c.textLog().size(), 2);
        const TextLogEntry &top = c.textLog()[0], &bottom = c.textLog()[1];
        QVERIFY(top.text == "7" && top.y == y && top.x == x1 + w + wn + (w - c.textWidth("7")) / 2);
        QVERIFY(bottom.text == "12" && bottom.y == y + h && bottom.color == col::Blue);
        QRect blue;
        for (int yy = 0; yy < c.height(); ++yy)
            for (int xx = 0; xx < c.width(); ++xx)
                if (c.pixel(xx, yy) == col::Blue)
                    blue |= QRect(xx, yy, 1, 1);
        // Two brackets as high as the two lines, round the arrows and the numbers.
        QVERIFY(qAbs(blue.left() - (x + wn / 2)) <= 2 && qAbs(blue.top() - y) <= 2 && qAbs(blue.bottom() - (y + 2 * h)) <= 3);
        QVERIFY(blue.right() >= x1 + 2 * w + wn && blue.right() <= x1 + 2 * w + 2 * wn);
        QCOMPARE(c.pixel(x1 + wn + w / 2, y + h / 2), col::Blue);                     // the arrow to the right
        QCOMPARE(c.pixel(x1 + wn + w / 2, kav::Round(y + 1.5 * h)), col::Blue);         // the arrow up
        QCOMPARE(c.pixel(x1 + wn + w / 2, kav::Round(y + 1.5 * h) + h), col::White);
    }

    // After a final wrong answer in practice the judge clears the lower part of the text and the
    // explanation writes there; every equation in it holds for the frog's true journey.
    void frogExplained()
    {
        QSet<int> explained;
        for (int i = 0; explained.size() < 12 && i < 600; ++i) {
            const int level = i % 3 + 1;
            Start(3, level);
            kav::SessionState& s = Session();
            s.ThemeItemCount[3] = 3;
            s.ThemeMemory[3] = i % 13 - 1;
            kav::SeedRandom(std::uint32_t(7000 + i));
            Item(3);
            const int m = s.ThemeMemory[3];
            const Frog f = FrogFromText();
            auto question = [&] {
                QStringList l;
                for (const TextLogEntry& e : text.textLog())
                    if (e.y < Y(11))
                        l << e.text;
                return l;
            };
            const QStringList asked = question();
            const int right = Judge(true, true);
            QVERIFY(!Lines(right).values().join("").contains("Toelichting"));
            s.Attempt = 2;
            Item(3);
            kav::DrawTextItem(QStringLiteral("oud"), col::Black, false, 10, 20, 1, &text);  // left from before
            const int from = Judge(false, true) - 1;
            QVERIFY(question() == asked && !testsupport::Logged(text, "oud"));
            const QMap<int, QString> lines = Lines(from);
            const double B = 15.5;
            QCOMPARE(lines.value(Y(B)), QStringLiteral("Toelichting:"));
            explained << m;
            int equations = 0;
            for (int l = 1; l <= 4; ++l) {
                const QString problem = CheckLine(lines.value(Y(B + l)), f.K, f.R, f.jumps, &equations);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
                if (lines.contains(Y(B + l)))
                    QCOMPARE(At(B + l)->x, 2 * kav::TextMargin);
            }
            QCOMPARE(equations, QVector<int>({1, 1, 3, 3, 3, 3, 4, 5, 5, 5, 5, 4})[m]);
            QVERIFY(lines.lastKey() <= Y(B + 4) && lines.contains(Y(B + 4)) == (m >= 7 && m <= 10));
            const TextLogEntry& last = text.textLog().last();
            QVERIFY(last.color == col::Red && last.text.contains(QString::number(s.ExpectedAnswer)));
            for (const TextLogEntry& e : text.textLog()) {
                QVERIFY2(e.x + Width(e) < text.width(), qPrintable(e.text));
                QVERIFY(!e.text.contains(u'?') || e.color == col::Red || (m >= 9 && e.y == Y(B + 1)));
            }
        }
        QCOMPARE(explained.size(), 12);
    }

    // Odd values never crash: nothing to explain is explained, the mouse stays out of view.
    void oddValues()
    {
        for (int v : {-2000000000, -1, 0, 13, 2000000000}) {
            Start(2, 3);
            kav::SessionState& s = Session();
            s.QuestionParams.fill(v);
            s.ThemeMemory.fill(v);
            s.LevelIndex = v % 7;
            kav::ClearBitmap(&text, col::BtnFace);
            const QImage before = picture.image();
            s.TextLine = 11;
            kav::Theme2Explanation(false);
            QVERIFY(s.TextLine == 11.5 && picture.image() == before && text.textLog().isEmpty());
            kav::Theme3Explanation();
            QVERIFY(s.TextLine == 11.5 && text.textLog().isEmpty());
            s.Attempt = 2;
            Item(2);
            Item(3);
            QCOMPARE(s.TextLine, 11.0);
            s.Attempt = 0;
            Item(v % 2 ? 2 : 3);  // a new item at a level out of range stays within the highest
            QVERIFY(s.QuestionParams[0] >= 1 && s.QuestionParams[0] <= 12 + 7 * 16);
        }
    }

    // When KAVRIN_SHOTS names a folder: every variant with its explanation, text beside picture.
    void shots()
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        QDir().mkpath(folder);
        for (int code : {2, 3})
            for (int i = 0; i < 36; ++i) {
                const int level = i / 12 + 1;
                Start(code, level);
                Session().ThemeItemCount[code] = 3;
                Session().ThemeMemory[code] = i % 12 - 1;
                kav::SeedRandom(std::uint32_t(i));
                Item(code);
                Judge(false, true);
                QImage both(text.width() + picture.width(), text.height(), QImage::Format_RGB32);
                both.fill(Qt::white);
                QPainter painter(&both);
                painter.drawImage(0, 0, text.image());
                painter.drawImage(text.width(), 0, picture.image());
                painter.end();
                const QString name = QStringLiteral("%1/theme%2_variant%3.png").arg(folder).arg(code).arg(Session().ThemeMemory[code]);
                QVERIFY(QFile::exists(name) || both.save(name));
            }
    }

    // In the window: relations practice with themes 2 and 3, then a test, on the smallest screen.
    void inTheWindow()
    {
        testsupport::StartForms(QSize(640, 480));
        kav::TTestForm* form = testsupport::Test();
        form->activateWindow();
        QApplication::setActiveWindow(form);
        auto start = [&](QPushButton* button, QList<int> boxes) {
            QTest::mouseClick(button, Qt::LeftButton);
            for (int n = 1; n <= 8; ++n)
                testsupport::Tick(n, boxes.contains(n));
            form->NivoBox->buttons[2]->click();
            QTest::mouseClick(form->StartButton, Qt::LeftButton);
        };
        auto answer = [&](bool right) {
            testsupport::TypeInto(form->InvoerVeld, QString::number(Session().ExpectedAnswer + (right ? 0 : 1)));
        };
        auto texts = [&] {
            QStringList l;
            for (const TextLogEntry& e : form->TextBitmap.textLog()) {
                l << e.text;
                if (e.x + Width(e) >= form->TextBitmap.width())
                    l << QStringLiteral("cut off: ") + e.text;
            }
            return l;
        };
        start(testsupport::Main()->Button3, {2, 3});
        for (int code : {2, 3}) {
            QCOMPARE(Session().ThemeCode, code);
            QCOMPARE(form->InvoerPanel->y() - form->Tekst->y(), kav::Round(11 * kav::LineHeight));
            QVERIFY(form->CalcButton->isHidden());
            answer(false);
            QTest::mouseClick(form->ContinueButton, Qt::LeftButton);
            answer(false);
            QVERIFY(texts().contains(QStringLiteral("Toelichting:")));
            QVERIFY(!texts().join(u'|').contains(QStringLiteral("cut off")));
            testsupport::Shot(form, QStringLiteral("relations-grid-%1").arg(code));
            QTest::mouseClick(form->ContinueButton, Qt::LeftButton);
        }
        QTest::mouseClick(form->EindButton, Qt::LeftButton);
        // In a test the mouse still shows where it was, without an explanation.
        start(testsupport::Main()->Button4, {2, 3, 4});
        while (Session().ThemeCode != 2) {
            answer(true);
            QTest::mouseClick(form->ContinueButton, Qt::LeftButton);
        }
        const QImage before = form->PictureBitmap.image();
        answer(false);
        QTest::mouseClick(form->ContinueButton, Qt::LeftButton);
        answer(false);
        QVERIFY(form->PictureBitmap.image() != before && !texts().contains(QStringLiteral("Toelichting:")));
        QCOMPARE(Session().TextLine, 11 + 2 + 1.25 + 0.5);
        kav::DestroyForms();
    }
};

QTEST_MAIN(TestRelationsGrid)
#include "tst_relations_grid.moc"

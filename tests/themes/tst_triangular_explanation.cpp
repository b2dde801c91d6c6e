// The worked explanation of the triangular themes: what it writes, where its lines wrap,
// the table it adds to the dot and tile pictures (never to the sums), and that it stays
// inside the text area after any item.
#include <QDir>
#include <QPainter>
#include <QtTest>
#include <functional>

#include "support.h"
#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/shapes.h"
#include "draw/text.h"
#include "session/context.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/triangular/triangle.h"
#include "themes/triangular/triangular.h"

using kav::Session;
using kav::TextLogEntry;
namespace col = kav::col;

namespace {

struct Silent : kav::AnswerPort {
    void OpenAnswer(const QString&, const QString&) override {}
};

int Width(const TextLogEntry& e)
{
    kav::Canvas c(1, 1);
    c.font.size = e.size;
    c.font.bold = e.bold;
    return c.textWidth(e.text);
}

int T(int n) { return n * (n + 1) / 2; }

}  // namespace

class TestTriangularExplanation : public QObject {
    Q_OBJECT

    kav::Canvas picture{645, 688}, text{366, 714};
    Silent port;
    QVector<TextLogEntry> written;  // the explanation's texts
    int blueCells = 0, itemBlueCells = 0;  // blue cells drawn by the explanation, by the item

    // An item of Code at Level (or the values Set leaves), a final wrong answer as the
    // judge writes it, then the explanation.
    void Explain(int code, int level, const std::function<void()>& set = {})
    {
        kav::SessionState& s = Session();
        testsupport::StartThemeItem(code, level);
        kav::ClearBitmap(&picture, col::BtnFace);
        kav::FrameBitmap(&picture, col::Black);
        kav::ClearBitmap(&text, col::BtnFace);
        const std::function<void()> generators[] = {kav::Theme21, kav::Theme22, kav::Theme23,      kav::Theme24,
                                                    kav::Theme25, kav::Theme26and27, kav::Theme26and27, kav::Theme28};
        blueCells = 0;
        if (set)
            set();
        else
            generators[code - 21]();
        itemBlueCells = blueCells;
        kav::DrawTextItem(QStringLiteral("Ingegeven: 1"), col::Black, false, kav::TextMargin, s.TextLine, 1, &text);
        s.TextLine += 3.25;
        kav::DrawTextItem(QStringLiteral("Het juiste antwoord was: %1").arg(s.ExpectedAnswer), col::Black, false,
                          kav::TextMargin, s.TextLine, 1, &text);
        ++s.ThemeItemCount[code];
        const int before = int(text.textLog().size());
        blueCells = 0;
        kav::TriangularExplanation();
        written = text.textLog().mid(before);
    }

    const TextLogEntry* Find(const QString& t, const QColor& c = QColor()) const
    {
        for (const TextLogEntry& e : written)
            if (e.text == t && (!c.isValid() || e.color == c))
                return &e;
        return nullptr;
    }

    int Y(double line) const { return kav::Round(line * kav::LineHeight); }

    // Ends with " = answer" in red on TextLine, everything inside the text area.
    void CheckWritten()
    {
        QVERIFY(Find(QStringLiteral("Toelichting:"), col::Blue));
        QCOMPARE(written.last().text, QStringLiteral(" = %1").arg(Session().ExpectedAnswer));
        QVERIFY(written.last().color == col::Red && written.last().y == Y(Session().TextLine));
        for (const TextLogEntry& e : written)
            QVERIFY2(e.x >= 0 && e.x + Width(e) <= text.width() - 2 && e.y + kav::LineHeight <= text.height(),
                     qPrintable(e.text));
    }

    // The right edge of the figure (blue dots, yellow tiles) in the picture.
    int FigureRight() const
    {
        int right = 0;
        for (int y = 1; y < kav::PercentY(86); ++y)
            for (int x = right; x < picture.width(); ++x)
                if (const QColor c = picture.image().pixel(x, y); c == col::Blue || c == col::Yellow)
                    right = x;
        return right;
    }

    bool TableDrawn() const
    {
        int found = 0;
        for (const TextLogEntry& e : picture.textLog())
            found += e.text == QStringLiteral("basis") || e.text == QStringLiteral("300");
        return found == 2;
    }

private slots:
    void initTestCase()
    {
        testsupport::SessionMeasures(picture, text);
        kav::SetContext(&picture, &text, &port);
        kav::SetTriangleCellObserver([this](const kav::TriangleCellCall& c) { blueCells += c.color == col::Blue; });
    }
    void cleanupTestCase() { kav::SetTriangleCellObserver({}); }

    void gaussForBase7()
    {
        Explain(21, 3, [] {
            Session().ThemeMemory[21] = 7;
            Session().ExpectedAnswer = 28;
            Session().TextLine = 8;
            kav::DrawPicture21();
        });
        QCOMPARE(Find(QStringLiteral("Toelichting:"))->y, Y(11.25 + 1.5));
        QVERIFY(Find(QStringLiteral("Driehoeksgetal met basis 7."), col::Black));
        QCOMPARE(Session().TextLine, 11.25 + 2.5 + 4);
        const TextLogEntry *sub = Find("7", col::Red), *top = Find("7 x 8", col::Blue), *bottom = Find("2", col::Blue);
        // The triangle's number is a subscript: smaller, and lower than the text of its line.
        QVERIFY(sub && top && bottom && sub->size < kav::BaseFontSize && sub->y > Y(Session().TextLine) &&
                sub->y < Y(Session().TextLine + 1));
        QVERIFY(top->x > sub->x && top->y < Y(Session().TextLine) && bottom->y > Y(Session().TextLine));
        QVERIFY(qAbs(2 * top->x + Width(*top) - 2 * bottom->x - Width(*bottom)) <= 2);  // centred over each other
        CheckWritten();
        QCOMPARE(written.last().text, QStringLiteral(" = 28"));
        // Theme 21 never shows the table with its item: the triangle is drawn again beside it.
        QVERIFY(TableDrawn());
        QCOMPARE(blueCells, 28);
    }

    void squareMinusTriangleForBase12()
    {
        Explain(25, 1, [] {
            kav::SessionState& s = Session();
            s.ThemeMemory[25] = 12;
            s.QuestionParams[0] = 4;
            s.QuestionParams[1] = 3;
            s.ExpectedAnswer = 134;
            s.TextLine = 8;
        });
        const TextLogEntry *base = Find("12", col::Red), *square = Find("2", col::Red);
        QVERIFY(base && base->x == kav::TextMargin && base->y == Y(Session().TextLine));
        QVERIFY(square && square->x == base->x + Width(*base) && square->y == Y(Session().TextLine - 0.4));
        QCOMPARE(square->size, kav::Round(0.75 * kav::BaseFontSize));
        QVERIFY(Find(" - ", col::Red) && Find("4", col::Red) && Find(" = 144 - 10", col::Blue));
        CheckWritten();
        QCOMPARE(written.last().text, QStringLiteral(" = 134"));
        QCOMPARE(blueCells, 144);  // the square drawn again beside the table
    }

    void tenRingsWrap()
    {
        const int b = 29, k = 10;  // the longest terms
        Explain(28, 3, [&] {
            kav::SessionState& s = Session();
            s.ThemeMemory[28] = s.QuestionParams[0] = b;
            s.QuestionParams[1] = k;
            s.ExpectedAnswer = 0;
            for (int t = 0; t <= k; ++t)
                s.ExpectedAnswer += (t % 2 ? -1 : 1) * T(b - 2 * t);
            s.TextLine = 5;
        });
        QString signs, subscripts;
        QSet<int> lines;
        for (const TextLogEntry& e : written)
            if (e.color == col::Red && (e.text == " - " || e.text == " + ")) {
                signs += e.text.trimmed();
                QVERIFY(e.x == 2 * kav::TextMargin || e.x > 3 * kav::TextMargin);  // a new line starts indented
            } else if (e.color == col::Red && !e.text.startsWith(" = ")) {
                subscripts += e.text + u' ';
                lines << e.y;
            }
        QCOMPARE(signs, QStringLiteral("-+-+-+-+-+"));
        QCOMPARE(subscripts, QStringLiteral("29 27 25 23 21 19 17 15 13 11 9 "));
        QVERIFY(lines.size() >= 2);
        CheckWritten();
        QCOMPARE(blueCells, Session().ExpectedAnswer);  // the picture shows as many dots as the answer
    }

    void sumsLeaveThePictureAlone()
    {
        for (int code : {26, 27}) {
            kav::SeedRandom(5);
            QImage shown;
            Explain(code, 3, [&] {
                kav::Theme26and27();
                shown = picture.image();
            });
            QCOMPARE(picture.image(), shown);
            const auto& p = Session().QuestionParams;
            const QString product = QStringLiteral("%1 \u00b7 %2").arg(p[2]).arg(p[3]);
            QVERIFY(Find(QStringLiteral("%1 keer %2").arg(p[2]).arg(p[3]), col::Blue));
            QVERIFY(Find(QStringLiteral("2 \u00b7 som = ") + product, col::Blue) && Find(product, col::Red));
            // With the middle left out, how many numbers the row has is worked out first.
            const int first = p[0], d = p[1], n = p[2], last = p[3] - p[0];
            const QString count = QStringLiteral("(%1 - %2) : %3 + 1 = %4").arg(last).arg(first).arg(d).arg(n);
            QCOMPARE(Find(count, col::Blue) != nullptr, code == 27);
            QVERIFY(d > 0 && (last - first) % d == 0 && (last - first) / d + 1 == n);
            const TextLogEntry *ofwel = Find("Ofwel: ", col::Black), *som = Find("som = ", col::Red);
            QVERIFY(som->x == ofwel->x + Width(*ofwel) && som->y == Y(Session().TextLine) && ofwel->y < som->y);
            CheckWritten();
        }
    }

    void cornersAndDifferences()
    {
        Explain(23, 3, [] {
            auto& p = Session().QuestionParams;
            p[0] = 20, p[1] = 5, p[2] = 7;
            Session().ExpectedAnswer = 167;
            Session().TextLine = 8;
        });
        QVERIFY(Find(" = 210 - 15 - 28", col::Blue)->x == 2 * kav::TextMargin && Find("20", col::Red)->y < Y(Session().TextLine));
        CheckWritten();
        Explain(24, 2, [] {
            Session().ThemeMemory[24] = 20;
            Session().QuestionParams[0] = 6;
            Session().ExpectedAnswer = 189;
            Session().TextLine = 8;
        });
        QVERIFY(Find("driehoeken:", col::Black) && Find(" = 210 - 21", col::Blue));
        CheckWritten();
    }

    // After any item: the answer at the end, inside the text area; the dot and tile pictures
    // get the table beside the same figure.
    void everyItem()
    {
        for (int code = 21; code <= 28; ++code)
            for (int level = 1; level <= 3 && !QTest::currentTestFailed(); ++level)
                for (int i = 0; i < testsupport::Sweep(100); ++i) {
                    kav::SeedRandom(std::uint32_t(1000 * code + 100 * level + i));
                    Explain(code, level);
                    CheckWritten();
                    QCOMPARE(TableDrawn(), code != 26 && code != 27);
                    QCOMPARE(blueCells, itemBlueCells);
                    if (i % 20 == 0 && code != 26 && code != 27)  // the figure beside the table, not under it
                        QVERIFY(FigureRight() < kav::PercentX(83));
                }
    }

    void oddValuesStillExplained()
    {
        for (int code : {21, 22, 23, 25, 26, 28, 29, -1}) {
            Explain(qBound(21, code, 28), 1, [code] {
                Session().ThemeCode = code;
                Session().QuestionParams.fill(2000000000);
                Session().ThemeMemory.fill(code % 2 ? -1 : 1999999999);
                Session().ExpectedAnswer = 5;
                Session().TextLine = 6;
            });
            QCOMPARE(written.last().text, QStringLiteral(" = 5"));
        }
    }

    // When KAVRIN_SHOTS names a folder: one item of each theme at each level, and one
    // explanation per theme, each as text beside picture.
    void shots()
    {
        const QString folder = qEnvironmentVariable("KAVRIN_SHOTS");
        if (folder.isEmpty())
            QSKIP("KAVRIN_SHOTS not set");
        QDir().mkpath(folder);
        auto save = [&](const QString& name) {
            QImage both(text.width() + picture.width(), text.height(), QImage::Format_RGB32);
            both.fill(Qt::white);
            QPainter(&both).drawImage(0, 0, text.image());
            QPainter(&both).drawImage(text.width(), 0, picture.image());
            QVERIFY(both.save(folder + u'/' + name));
        };
        const std::function<void()> generators[] = {kav::Theme21, kav::Theme22, kav::Theme23,      kav::Theme24,
                                                    kav::Theme25, kav::Theme26and27, kav::Theme26and27, kav::Theme28};
        for (int code = 21; code <= 28; ++code)
            for (int level = 1; level <= 3; ++level) {
                kav::SeedRandom(std::uint32_t(code * 10 + level));
                Explain(code, level, [&] {
                    generators[code - 21]();
                    save(QStringLiteral("item%1_level%2.png").arg(code).arg(level));
                });
                if (level == code % 3 + 1)
                    save(QStringLiteral("explanation%1.png").arg(code));
            }
    }
};

QTEST_MAIN(TestTriangularExplanation)
#include "tst_triangular_explanation.moc"

// Texts on the line grid: alignment, texts kept inside their area, the euro sign, fractions,
// triangle numbers, the approximately-equal sign, clearing lines, and the number helpers they
// lean on.
#include <QtTest>
#include <cmath>
#include <limits>

#include "draw/canvas.h"
#include "draw/numbers.h"
#include "draw/reading.h"
#include "draw/text.h"
#include "support.h"

using kav::Canvas;
using testsupport::At;
using testsupport::CountColour;
namespace col = kav::col;

namespace {

constexpr int AreaWidth = 403;
constexpr int AreaHeight = 390;  // 26 lines of 15 pixels

// Pixels clearly of colour c (text edges are blended with the background).
bool Near(QRgb px, const QColor& c)
{
    return std::abs(qRed(px) - c.red()) < 60 && std::abs(qGreen(px) - c.green()) < 60 &&
           std::abs(qBlue(px) - c.blue()) < 60;
}

QRect InkOf(const QImage& img, const QColor& c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Near(img.pixel(x, y), c))
                box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

using testsupport::Logged;

class TestDrawText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kav::StartRecordingMessages(); }
    void init()
    {
        kav::ResetMeasures();
        kav::ClearRecordedMessages();
    }

    void textItemAlignment()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("Hoeveel is 7 x 8?"), col::Black, false, kav::Centred, 4, 1, &c);
        const QRect ink = InkOf(c.image(), col::Black);
        QVERIFY(std::abs(ink.left() - (AreaWidth - 1 - ink.right())) <= 3);
        QVERIFY(kav::LastTextEnd > ink.right() && kav::LastTextEnd <= ink.right() + 3);

        Canvas r(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("= 56"), col::Blue, true, kav::RightAligned, 2, 1, &r);
        QCOMPARE(kav::LastTextEnd, AreaWidth - kav::TextMargin);
        QVERIFY(InkOf(r.image(), col::Blue).right() >= AreaWidth - kav::TextMargin - 3);

        // Texts too long for the line never start left of 0 nor end past the right edge.
        const QString longText(80, u'm');
        for (double x : {kav::Centred, kav::RightAligned}) {
            kav::DrawTextItem(longText, col::Black, false, x, 1, 1, &c);
            const kav::TextLogEntry& e = c.textLog().last();
            QVERIFY(e.x >= 0 && e.x + e.width <= AreaWidth);
            QVERIFY(e.size < 10);
            QCOMPARE(kav::LastTextEnd, e.x + e.width);
        }
    }

    // A text that would run past the edge of its area is written just as large as fits there
    // (one point more would not), on the baseline of its line; the next text continues after
    // it at full size. Texts that fit keep their size and place exactly.
    void textsStayInTheirArea()
    {
        Canvas c(AreaWidth, AreaHeight);
        const QString start = QStringLiteral("Dus het eerste machientje is: ");
        kav::DrawTextItem(start, col::Blue, false, kav::TextMargin, 6, 1, &c);
        const kav::TextLogEntry first = c.textLog().last();
        QCOMPARE(first.size, 10);
        QCOMPARE(first.x, kav::TextMargin);
        QCOMPARE(first.y, 6 * kav::LineHeight);
        QCOMPARE(kav::LastTextEnd, first.x + first.width);

        const QString wide = QStringLiteral("Keer 1234567890 en dan nog heel veel meer erbij");
        const int from = kav::LastTextEnd;
        QVERIFY(from + c.textWidth(wide) > AreaWidth);  // too wide at full size
        kav::DrawTextItem(wide, col::Red, false, from, 6, 1, &c);
        const kav::TextLogEntry shrunk = c.textLog().last();
        QCOMPARE(shrunk.x, from);
        QVERIFY(shrunk.size < 10 && shrunk.size > 1);
        QVERIFY(shrunk.x + shrunk.width <= AreaWidth - 1);
        Canvas measure(1, 1);
        measure.font.size = shrunk.size + 1;
        QVERIFY2(from + measure.textWidth(wide) > AreaWidth - 1, "not as large as fits");
        QCOMPARE(kav::LastTextEnd, shrunk.x + shrunk.width);
        measure.font.size = shrunk.size;
        const int shrunkAscent = measure.ascent();
        measure.font.size = 10;
        QCOMPARE(shrunk.y + shrunkAscent, first.y + measure.ascent());  // the same baseline
        const QRect red = InkOf(c.image(), col::Red);
        QVERIFY(red.left() >= from && red.right() < AreaWidth);

        // A bold, larger text at the margin, centred and right-aligned alike.
        const QString title = QStringLiteral("Foutje in de verhoudingstabel van vandaag");
        for (double x : {double(kav::TextMargin), kav::Centred, kav::RightAligned}) {
            Canvas t(AreaWidth, AreaHeight);
            kav::DrawTextItem(title, col::Red, true, x, 0.25, 1.5, &t);
            const kav::TextLogEntry& e = t.textLog().last();
            QVERIFY(e.bold && e.size < 15);
            QVERIFY(e.x >= 0 && e.x + e.width <= AreaWidth);
        }

        // A short text keeps its size, also right at the edge; its last column stays free.
        const int ab = kav::TextItemWidth(&c, QStringLiteral("ab"));
        kav::DrawTextItem(QStringLiteral("ab"), col::Black, false, AreaWidth - 1 - ab, 9, 1, &c);
        QCOMPARE(c.textLog().last().size, 10);
        kav::DrawTextItem(QStringLiteral("ab"), col::Black, false, AreaWidth - ab, 9, 1, &c);
        QVERIFY(c.textLog().last().size < 10);
        // A text placed beyond the edge cannot be saved by shrinking: it keeps its size.
        kav::DrawTextItem(QStringLiteral("weg"), col::Black, false, AreaWidth + 5, 10, 1, &c);
        QCOMPARE(c.textLog().last().size, 10);
        QCOMPARE(c.textLog().last().y, 10 * kav::LineHeight);

        // The longest answer the field takes, with its unit, after "Ingegeven: " on a text
        // column of a 1366 x 768 screen.
        Canvas column(365, 709);
        kav::DrawTextItem(QStringLiteral("Ingegeven: "), col::Black, false, kav::TextMargin, 12, 1, &column);
        kav::DrawTextItem(QString(40, u'9') + QStringLiteral(" liter"), col::Black, false, kav::LastTextEnd, 12, 1, &column);
        const kav::TextLogEntry& answer = column.textLog().last();
        QVERIFY(answer.x + answer.width <= column.width() && answer.size >= 5);
    }

    // The euro amount and the approximate value fit as a whole, sign included.
    void signedTextsStayInTheirArea()
    {
        Canvas c(120, AreaHeight);
        kav::DrawEuroText(QStringLiteral("1234567,89"), col::Navy, false, 60, 6, 1, &c);
        const kav::TextLogEntry* sign = Logged(c, QStringLiteral("C"));
        const kav::TextLogEntry* amount = Logged(c, QStringLiteral("1234567,89"));
        QVERIFY(sign && amount);
        QVERIFY(amount->size < 10 && sign->size > amount->size);
        QVERIFY(amount->x > sign->x && amount->x + amount->width <= c.width());
        QCOMPARE(kav::LastTextEnd, amount->x + amount->width);

        Canvas a(120, AreaHeight);
        kav::DrawApproxText(QStringLiteral("1234567,89"), col::Green, &a, 1, 3, 50);
        const kav::TextLogEntry& text = a.textLog().last();
        QVERIFY(text.size < 10 && text.x + text.width <= a.width());
        QCOMPARE(a.textLog().first().size, text.size);
        QCOMPARE(kav::LastTextEnd, text.x + text.width);
    }

    void textItemLinePositions()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("boven"), col::Black, false, 10, 0, 1, &c);
        QCOMPARE(c.textLog().last().y, 0);
        kav::DrawTextItem(QStringLiteral("onder"), col::Black, false, 10.5, 25.5, 1.5, &c);
        QCOMPARE(c.textLog().last().y, 382);  // 382.5 to the even neighbour
        QCOMPARE(c.textLog().last().x, 10);
        QCOMPARE(c.textLog().last().size, 15);
        const int before = kav::LastTextEnd;
        kav::DrawTextItem(QStringLiteral("nergens"), col::Black, false, 10, 3, 1, nullptr);
        QCOMPARE(kav::LastTextEnd, before);
    }

    void clearLinesSparesTheFrame()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::FrameBitmap(&c, col::Black);
        kav::DrawTextItem(QStringLiteral("weg"), col::Black, false, 20, 3, 1, &c);
        kav::DrawTextItem(QStringLiteral("blijft"), col::Black, false, 20, 10, 1, &c);
        kav::ClearLines(&c, 2, 5);
        QCOMPARE(At(c.image(), 100, 31), col::BtnFace);
        QCOMPARE(At(c.image(), 100, 75), col::BtnFace);
        QCOMPARE(At(c.image(), 100, 76), col::White);
        QCOMPARE(At(c.image(), 0, 40), col::Black);
        QCOMPARE(At(c.image(), AreaWidth - 1, 40), col::Black);
        QVERIFY(!Logged(c, QStringLiteral("weg")) && Logged(c, QStringLiteral("blijft")));
        kav::ClearLines(&c, 0, 26);
        QCOMPARE(CountColour(c.image(), col::BtnFace), (AreaWidth - 2) * (AreaHeight - 2));
        QCOMPARE(CountColour(c.image(), col::Black), 2 * (AreaWidth + AreaHeight) - 4);
        kav::ClearLines(nullptr, 0, 26);
        kav::FrameBitmap(nullptr, col::Black);
    }

    void euroTextSignThenAmount()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawEuroText(QStringLiteral("12,50"), col::Navy, false, 30, 6, 1, &c);
        const kav::TextLogEntry* sign = Logged(c, QStringLiteral("C"));
        const kav::TextLogEntry* amount = Logged(c, QStringLiteral("12,50"));
        QVERIFY(sign && amount);
        QCOMPARE(sign->size, 12);  // a size larger than the amount
        QCOMPARE(amount->size, 10);
        QCOMPARE(amount->y, 6 * kav::LineHeight);
        QVERIFY(amount->x > sign->x + 4);
        const QRect ink = InkOf(c.image(), col::Navy);
        QVERIFY(kav::LastTextEnd > ink.right() && kav::LastTextEnd <= ink.right() + 3);
        Canvas n(50, 50);
        kav::DrawEuroText(QStringLiteral("3"), col::Black, false, qQNaN(), 6, 1, &n);
        kav::DrawEuroText(QStringLiteral("3"), col::Black, false, 4, 6, 1, nullptr);
        QVERIFY(n.textLog().isEmpty());
    }

    void euroBarsCrossTheC_data()
    {
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("bold");
        QTest::newRow("normal") << 1.0 << false;
        QTest::newRow("large bold") << 1.5 << true;
        QTest::newRow("double") << 2.0 << false;
        QTest::newRow("triple") << 3.0 << false;
    }

    void euroBarsCrossTheC()
    {
        QFETCH(double, size);
        QFETCH(bool, bold);
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawEuroText(QString(), col::Red, bold, 30, 10, size, &c);
        const kav::TextLogEntry* entry = Logged(c, QStringLiteral("C"));
        QVERIFY(entry);
        // The same C without bars: where they differ are the bars.
        Canvas plain(AreaWidth, AreaHeight);
        plain.font.size = entry->size;
        plain.font.bold = bold;
        plain.font.color = col::Red;
        plain.textOut(entry->x, entry->y, QStringLiteral("C"));
        const QRect sign = InkOf(plain.image(), col::Red);
        QVector<int> barRows;
        for (int y = 0; y < AreaHeight; ++y)
            for (int x = 0; x < AreaWidth; ++x)
                if (c.image().pixel(x, y) == col::Red.rgb() && qGray(plain.image().pixel(x, y)) > 200) {
                    barRows.append(y);
                    break;
                }
        QVERIFY(!barRows.isEmpty());
        QVERIFY2(barRows.first() > sign.top() && barRows.last() < sign.bottom(),
                 qPrintable(QStringLiteral("bars %1..%2, C %3..%4")
                                .arg(barRows.first()).arg(barRows.last()).arg(sign.top()).arg(sign.bottom())));
        const double barMiddle = (barRows.first() + barRows.last()) / 2.0;
        QVERIFY(std::abs(barMiddle - (sign.top() + sign.bottom()) / 2.0) <= 1);
    }

    void fractionBarAndResult()
    {
        Canvas c(200, 120);
        const int end = kav::DrawFraction(QStringLiteral("7"), QStringLiteral("120"), &c, 50, 40, col::Red);
        QCOMPARE(end, 50 + c.textWidth(QStringLiteral("120")));
        // The bar: the row with the longest pure red run, from x up to just before the result.
        int barY = -1, barLen = 0;
        for (int y = 0; y < c.height(); ++y) {
            int run = 0;
            for (int x = 0; x < c.width(); ++x)
                run += c.image().pixel(x, y) == col::Red.rgb();
            if (run > barLen) {
                barLen = run;
                barY = y;
            }
        }
        QCOMPARE(At(c.image(), 50, barY), col::Red);
        QCOMPARE(barLen, end - 50);
        const kav::TextLogEntry* num = Logged(c, QStringLiteral("7"));
        const kav::TextLogEntry* den = Logged(c, QStringLiteral("120"));
        QVERIFY(num && den);
        QVERIFY(num->y + c.textHeight("7") / 2 < barY && den->y > barY);
        QVERIFY(std::abs(num->x + c.textWidth(QStringLiteral("7")) / 2 - (50 + end) / 2) <= 1);
        QCOMPARE(kav::DrawFraction(QStringLiteral("1"), QStringLiteral("2"), nullptr, 17, 40, col::Red), 17);
    }

    void triangleNumber()
    {
        // One sign in the text: a triangle on the baseline as tall as a capital, its number
        // close after it, smaller and lower (a subscript, never an exponent), then a space.
        Canvas c(AreaWidth, AreaHeight);
        c.font.size = 12;
        c.font.bold = true;
        const int baseline = 5 * kav::LineHeight + c.ascent();
        const int cap = c.capHeight();
        int x = 40;
        kav::DrawTriangleNumber(x, QStringLiteral("4"), &c, 5, col::Purple);
        const kav::TextLogEntry* sub = Logged(c, QStringLiteral("4"));
        QVERIFY(sub);
        QCOMPARE(sub->size, 8);  // seven tenths of 12
        QVERIFY(!sub->bold);
        QCOMPARE(c.font.size, 12);  // given back: the next one is just as large
        QVERIFY(c.font.bold);
        const int end = x;

        QRect tri, digits;
        for (int y = 0; y < AreaHeight; ++y)
            for (int xx = 40; xx < end; ++xx)
                if (Near(c.image().pixel(xx, y), col::Purple))
                    (xx < sub->x ? tri : digits) |= QRect(xx, y, 1, 1);
        QCOMPARE(tri.bottom(), baseline);
        QVERIFY2(std::abs(tri.top() - (baseline - cap)) <= 1,
                 qPrintable(QStringLiteral("apex %1, capital top %2").arg(tri.top()).arg(baseline - cap)));
        int apex = 0, base = 0;
        for (int xx = tri.left(); xx <= tri.right(); ++xx) {
            apex += Near(c.image().pixel(xx, tri.top()), col::Purple);
            base += Near(c.image().pixel(xx, tri.bottom()), col::Purple);
        }
        QVERIFY(apex <= 2 && base >= tri.width() - 1);
        QVERIFY2(digits.bottom() > baseline && digits.top() > tri.top() + cap / 3,
                 qPrintable(QStringLiteral("digits %1..%2, baseline %3").arg(digits.top()).arg(digits.bottom()).arg(baseline)));
        QVERIFY(digits.left() - tri.right() <= 4);
        QVERIFY(end - digits.right() >= c.textWidth(QStringLiteral(" ")));

        // A minus after it stands on the middle of the sign, not down at its foot.
        kav::DrawTextItem(QStringLiteral("-"), col::Green, false, end, 5, 12.0 / kav::BaseFontSize, &c);
        const QRect minus = InkOf(c.image(), col::Green);
        const int middle = (minus.top() + minus.bottom()) / 2;
        QVERIFY2(middle > tri.top() + cap / 4 && middle < baseline - cap / 5,
                 qPrintable(QStringLiteral("minus at %1, triangle %2..%3").arg(middle).arg(tri.top()).arg(baseline)));

        x = 40;
        Canvas again(AreaWidth, AreaHeight);
        again.font = c.font;
        kav::DrawTriangleNumber(x, QStringLiteral("4"), &again, 5, col::Purple);
        kav::DrawTriangleNumber(x, QStringLiteral("4"), &again, 5, col::Purple);
        QCOMPARE(x - 40, 2 * (end - 40));
        int y = 0;
        kav::DrawTriangleNumber(y, QStringLiteral("5"), nullptr, 3, col::Black);
        QCOMPARE(y, 0);
    }

    void approxText()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawApproxText(QStringLiteral("3,14"), col::Green, &c, 1, 8, kav::RightAligned);
        QCOMPARE(kav::LastTextEnd, AreaWidth - kav::TextMargin);
        QCOMPARE(c.textLog().size(), 3);
        const kav::TextLogEntry& upper = c.textLog()[0];
        const kav::TextLogEntry& lower = c.textLog()[1];
        const kav::TextLogEntry& text = c.textLog()[2];
        QVERIFY(upper.text == QStringLiteral(" ~") && lower.text == QStringLiteral(" ~"));
        QVERIFY(upper.y < 120 && lower.y > 120);  // around line 8, evenly
        QCOMPARE(120 - upper.y, lower.y - 120);
        QCOMPARE(text.y, 120);
        QVERIFY(text.x > upper.x);
        QVERIFY(std::abs(text.x + c.textWidth(QStringLiteral("3,14")) - kav::LastTextEnd) <= 1);

        Canvas m(AreaWidth, AreaHeight);
        kav::DrawApproxText(QStringLiteral("0,333"), col::Black, &m, 2, 2, kav::Centred);
        QVERIFY(std::abs(m.textLog().first().x + kav::LastTextEnd - AreaWidth) <= 1);
        QCOMPARE(m.textLog().last().size, 20);
        Canvas narrow(60, AreaHeight);
        kav::DrawApproxText(QStringLiteral("123456789012"), col::Black, &narrow, 1, 2, kav::RightAligned);
        QCOMPARE(narrow.textLog().first().x, 0);
        kav::DrawApproxText(QStringLiteral("7"), col::Black, nullptr, 1, 3, 100);
    }

    void roundAndTriangular()
    {
        const QList<QPair<double, int>> cases{{0.5, 0}, {1.5, 2},   {2.5, 2},   {-0.5, 0},
                                              {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {-7.6, -8}};
        for (const auto& [value, rounded] : cases)
            QCOMPARE(kav::Round(value), rounded);
        // Far outside the range of whole pixels: held at the ends, never wrapped round.
        QCOMPARE(kav::Round(1e12), std::numeric_limits<int>::max());
        QCOMPARE(kav::Round(2147483647.6), std::numeric_limits<int>::max());
        QCOMPARE(kav::Round(-1e300), std::numeric_limits<int>::min());
        QCOMPARE(kav::Round(std::numeric_limits<double>::infinity()), std::numeric_limits<int>::max());
        QCOMPARE(kav::Round(std::nan("")), 0);
        QCOMPARE(kav::Round(-2147483648.0), std::numeric_limits<int>::min());
        QCOMPARE(kav::Triangular(0), 0);
        QCOMPARE(kav::Triangular(4), 10);
        QCOMPARE(kav::Triangular(30), 465);
    }

    void powers()
    {
        QCOMPARE(kav::Power(3, 2), 8.0);  // exponent first, then base
        QCOMPARE(kav::Power(-1, 4), 0.25);
        QCOMPARE(kav::Power(0.5, 9), 3.0);
        QVERIFY(kav::RecordedMessages().isEmpty());
        QCOMPARE(kav::Power(2, 0), 0.0);
        QCOMPARE(kav::RecordedMessages().size(), 1);
        // A negative base with a whole exponent: the sign follows the exponent's parity.
        QCOMPARE(kav::Power(3, -2), -8.0);
        QCOMPARE(kav::Power(2, -3), 9.0);
        QCOMPARE(kav::Power(-1, -2), -0.5);
        QVERIFY(std::isnan(kav::Power(0.5, -4)));
    }

    // Reading order: lines top to bottom, pieces of a line joined by their gaps, a group read
    // where it begins (stacked as a fraction), and what was written after a given point.
    void readingOrder()
    {
        Canvas c(400, 200);
        c.textOut(10, 50, QStringLiteral("tweede regel"));
        c.textOut(10, 10, QStringLiteral("3"));
        c.textOut(10 + c.textWidth(QStringLiteral("3")), 10, QStringLiteral(",5"));
        c.textOut(100, 12, QStringLiteral("meter"));
        {
            kav::TextGroup fraction(c);
            c.textOut(200, 80, QStringLiteral("25,2"));
            c.textOut(205, 80 + c.textHeight(QStringLiteral("6")), QStringLiteral("6"));
        }
        c.textOut(180, 88, QStringLiteral("="));
        c.textOut(260, 88, QStringLiteral("4,2"));
        c.textOut(10, 150, QStringLiteral("   "));
        QCOMPARE(kav::ReadingLines(c.textLog()),
                 QStringList({QStringLiteral("3,5 meter"), QStringLiteral("tweede regel"), QStringLiteral("= 25,2 / 6 4,2")}));
        QCOMPARE(kav::ReadingLinesFrom(c.textLog(), 4), QStringList({QStringLiteral("= 25,2 / 6 4,2")}));
        QVERIFY(c.textLog()[4].group != 0 && c.textLog()[4].group == c.textLog()[5].group);
        QCOMPARE(c.textLog()[6].group, 0);
    }

    // What is drawn as one thing reads as one: a triangle number with its sign, a fraction
    // over its bar, a euro sign (a crossed C) with its amount; the log keeps the texts as drawn.
    void drawnSignsReadWithTheirNumbers()
    {
        Canvas c(AreaWidth, AreaHeight);
        c.font.size = kav::BaseFontSize;
        int x = 10;
        kav::DrawTriangleNumber(x, QStringLiteral("12"), &c, 2, col::Red);
        c.textOut(x, 2 * kav::LineHeight, QStringLiteral(" = "));
        x += c.textWidth(QStringLiteral(" = "));
        x = kav::DrawFraction(QStringLiteral("12 x 13"), QStringLiteral("2"), &c, x,
                              2 * kav::LineHeight + c.textHeight(QStringLiteral("1")) / 2 - c.textHeight(QStringLiteral("12")), col::Blue);
        c.textOut(x, 2 * kav::LineHeight, QStringLiteral(" = 78"));
        kav::DrawEuroText(QStringLiteral("3,75"), col::Black, false, 10, 6, 1, &c);
        QCOMPARE(kav::ReadingLines(c.textLog()),
                 QStringList({QStringLiteral("\u039412 = 12 x 13 / 2 = 78"), QStringLiteral("\u20ac 3,75")}));
        QVERIFY(Logged(c, QStringLiteral("12")) && Logged(c, QStringLiteral("C")));
    }
};

QTEST_MAIN(TestDrawText)
#include "tst_draw_text.moc"

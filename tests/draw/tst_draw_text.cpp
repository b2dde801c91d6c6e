// Texts on the line grid: alignment, the euro sign, fractions, triangle numbers, the
// approximately-equal sign, clearing lines, and the number helpers they lean on.
#include <QtTest>
#include <cmath>

#include "draw/canvas.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "support.h"

using kav::Canvas;
using testsupport::At;
using testsupport::CountColour;

namespace {

constexpr int AreaWidth = 403;
constexpr int AreaHeight = 390;  // 26 lines of 15 pixels

// Pixels clearly of colour c (text edges are blended with the background).
bool Near(QRgb px, const QColor& c)
{
    return std::abs(qRed(px) - c.red()) < 60 && std::abs(qGreen(px) - c.green()) < 60 &&
           std::abs(qBlue(px) - c.blue()) < 60;
}

QRect InkOf(const QImage& img, const QColor& c, const QRect& within = QRect())
{
    const QRect area = within.isNull() ? img.rect() : within.intersected(img.rect());
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Near(img.pixel(x, y), c))
                box |= QRect(x, y, 1, 1);
    return box;
}

const kav::TextLogEntry* Logged(const Canvas& c, const QString& text)
{
    for (const kav::TextLogEntry& e : c.textLog())
        if (e.text == text)
            return &e;
    return nullptr;
}

}  // namespace

class TestDrawText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { kav::StartRecordingMessages(); }
    void init()
    {
        kav::ResetMeasures();
        kav::ClearRecordedMessages();
    }

    // DrawTextItem

    void textItemCentred()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("Hoeveel is 7 x 8?"), kav::col::Black, false, kav::Centred, 4, 1, &c);
        const QRect ink = InkOf(c.image(), kav::col::Black);
        const int leftRoom = ink.left(), rightRoom = AreaWidth - 1 - ink.right();
        QVERIFY2(std::abs(leftRoom - rightRoom) <= 3, qPrintable(QStringLiteral("%1 %2").arg(leftRoom).arg(rightRoom)));
        QVERIFY(ink.top() >= 4 * kav::LineHeight && ink.bottom() < 5 * kav::LineHeight + 4);
        // LastTextEnd lies just after the last letter.
        QVERIFY2(kav::LastTextEnd > ink.right() && kav::LastTextEnd <= ink.right() + 3,
                 qPrintable(QString::number(kav::LastTextEnd)));
    }

    void textItemRightAligned()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("= 56"), kav::col::Blue, true, kav::RightAligned, 2, 1, &c);
        QCOMPARE(kav::LastTextEnd, AreaWidth - kav::TextMargin);
        const QRect ink = InkOf(c.image(), kav::col::Blue);
        QVERIFY(ink.right() < AreaWidth - kav::TextMargin);
        QVERIFY(ink.right() >= AreaWidth - kav::TextMargin - 3);
        QVERIFY(c.textLog().last().bold);
    }

    void textItemNeverLeftOfZero()
    {
        const QString longText = QStringLiteral("Een heel lange zin die niet op een regel van dit plaatje past, "
                                                "hoe je hem ook wendt of keert.");
        for (double x : {kav::Centred, kav::RightAligned}) {
            Canvas c(AreaWidth, AreaHeight);
            kav::DrawTextItem(longText, kav::col::Black, false, x, 1, 1, &c);
            QCOMPARE(c.textLog().last().x, 0);
            QCOMPARE(kav::LastTextEnd, c.textWidth(longText));
        }
    }

    void textItemLinePositions()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawTextItem(QStringLiteral("boven"), kav::col::Black, false, 10, 0, 1, &c);
        QCOMPARE(c.textLog().last().y, 0);
        QCOMPARE(c.textLog().last().x, 10);
        // 25.5 lines of 15 pixels is 382.5: halves go to the even neighbour.
        kav::DrawTextItem(QStringLiteral("onder"), kav::col::Black, false, 10.5, 25.5, 1, &c);
        QCOMPARE(c.textLog().last().y, 382);
        QCOMPARE(c.textLog().last().x, 10);
        kav::DrawTextItem(QStringLiteral("groot"), kav::col::Black, false, 10, 3, 1.5, &c);
        QCOMPARE(c.textLog().last().size, 15);
        const int before = kav::LastTextEnd;
        kav::DrawTextItem(QStringLiteral("nergens"), kav::col::Black, false, 10, 3, 1, nullptr);
        QCOMPARE(kav::LastTextEnd, before);
    }

    // Clearing and framing

    void clearLinesSparesTheFrame()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::ClearBitmap(&c, kav::col::White);
        kav::FrameBitmap(&c, kav::col::Black);
        kav::DrawTextItem(QStringLiteral("weg"), kav::col::Black, false, 20, 3, 1, &c);
        kav::DrawTextItem(QStringLiteral("blijft"), kav::col::Black, false, 20, 10, 1, &c);
        kav::ClearLines(&c, 2, 5);
        // The band between lines 2 and 5 is button face, the frame stays black all round.
        QCOMPARE(At(c.image(), 100, 2 * kav::LineHeight + 1), kav::col::BtnFace);
        QCOMPARE(At(c.image(), 100, 5 * kav::LineHeight), kav::col::BtnFace);
        QCOMPARE(At(c.image(), 100, 5 * kav::LineHeight + 1), kav::col::White);
        QCOMPARE(At(c.image(), 100, 2 * kav::LineHeight), kav::col::White);
        for (int y : {2 * kav::LineHeight + 1, 4 * kav::LineHeight})
            for (int x : {0, AreaWidth - 1})
                QCOMPARE(At(c.image(), x, y), kav::col::Black);
        QVERIFY(!Logged(c, QStringLiteral("weg")));
        QVERIFY(Logged(c, QStringLiteral("blijft")));

        kav::ClearLines(&c, 0, 26);
        for (int x : {0, 200, AreaWidth - 1}) {
            QCOMPARE(At(c.image(), x, 0), kav::col::Black);
            QCOMPARE(At(c.image(), x, AreaHeight - 1), kav::col::Black);
        }
        QCOMPARE(CountColour(c.image(), kav::col::BtnFace), (AreaWidth - 2) * (AreaHeight - 2));
        kav::ClearLines(nullptr, 0, 26);
        kav::FrameBitmap(nullptr, kav::col::Black);
        kav::ClearBitmap(nullptr, kav::col::Black);
    }

    void frameKeepsPenAndBrush()
    {
        Canvas c(50, 40);
        c.setPen(kav::col::Red, 3);
        c.setBrush(kav::col::Yellow);
        kav::FrameBitmap(&c, kav::col::Black);
        QCOMPARE(c.penColor, kav::col::Red);
        QCOMPARE(c.penWidth, 3);
        QVERIFY(c.brushSolid);
        QCOMPARE(At(c.image(), 25, 20), kav::col::White);
        QCOMPARE(At(c.image(), 49, 39), kav::col::Black);
    }

    // The euro sign

    void euroTextSignThenAmount()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawEuroText(QStringLiteral("12,50"), kav::col::Navy, false, 30, 6, 1, &c);
        const kav::TextLogEntry* sign = Logged(c, QStringLiteral("C"));
        const kav::TextLogEntry* amount = Logged(c, QStringLiteral("12,50"));
        QVERIFY(sign && amount);
        QCOMPARE(sign->x, 30);
        QCOMPARE(sign->size, 12);  // a size larger than the amount
        QCOMPARE(amount->size, 10);
        QCOMPARE(amount->y, 6 * kav::LineHeight);
        QVERIFY(amount->x > sign->x + 4);

        // Two bars cross the C in its left part, a few pixels apart around the middle of the line.
        const int col = 30 + 2;
        const int mid = kav::Round(6.5 * kav::LineHeight);
        int barRows = 0;
        for (int y = mid - 4; y <= mid + 4; ++y)
            barRows += Near(c.image().pixel(col, y), kav::col::Navy);
        QVERIFY2(barRows >= 3, qPrintable(QString::number(barRows)));

        const QRect ink = InkOf(c.image(), kav::col::Navy);
        QVERIFY(ink.left() >= 29 && ink.left() <= 31);  // the round end of a bar may stick out a pixel
        QVERIFY2(kav::LastTextEnd > ink.right() && kav::LastTextEnd <= ink.right() + 3,
                 qPrintable(QStringLiteral("%1 %2").arg(kav::LastTextEnd).arg(ink.right())));
        QCOMPARE(c.font.size, 10);
    }

    void euroTextBoldHasThickerBars()
    {
        kav::ScreenScale = 2;
        int rows[2] = {0, 0};
        for (int bold = 0; bold < 2; ++bold) {
            Canvas c(AreaWidth, AreaHeight);
            kav::DrawEuroText(QStringLiteral("3"), kav::col::Black, bold == 1, 40, 6, 1, &c);
            const int mid = kav::Round(6.5 * kav::LineHeight);
            for (int y = mid - 10; y <= mid + 10; ++y)
                rows[bold] += Near(c.image().pixel(42, y), kav::col::Black);
        }
        QVERIFY2(rows[1] > rows[0], qPrintable(QStringLiteral("%1 %2").arg(rows[0]).arg(rows[1])));
        kav::DrawEuroText(QStringLiteral("3"), kav::col::Black, false, 40, 6, 1, nullptr);
        Canvas c(50, 50);
        kav::DrawEuroText(QStringLiteral("3"), kav::col::Black, false, qQNaN(), 6, 1, &c);
        QVERIFY(c.textLog().isEmpty());
    }

    // Fractions

    void fractionBarAndResult()
    {
        Canvas c(200, 120);
        c.font.size = 10;
        const int end = kav::DrawFraction(QStringLiteral("7"), QStringLiteral("120"), &c, 50, 40, kav::col::Red);
        // The bar is the only long red run: it starts at x and ends just before the result.
        int barY = -1, barLen = 0;
        for (int y = 0; y < c.height(); ++y) {
            int run = 0;
            for (int x = 0; x < c.width(); ++x)
                run += c.image().pixel(x, y) == kav::col::Red.rgb();
            if (run > barLen) {
                barLen = run;
                barY = y;
            }
        }
        QCOMPARE(end, 50 + c.textWidth(QStringLiteral("120")));
        QCOMPARE(At(c.image(), 50, barY), kav::col::Red);
        QCOMPARE(At(c.image(), end - 1, barY), kav::col::Red);
        QCOMPARE(At(c.image(), end, barY), kav::col::White);
        QCOMPARE(barLen, end - 50);

        // Numerator above the bar and centred over it, denominator below.
        const kav::TextLogEntry* num = Logged(c, QStringLiteral("7"));
        const kav::TextLogEntry* den = Logged(c, QStringLiteral("120"));
        QVERIFY(num && den);
        QVERIFY(InkOf(c.image(), kav::col::Red, QRect(0, 0, 200, barY)).bottom() < barY);
        QVERIFY(den->y > barY);
        QCOMPARE(den->x, 50);
        const int numMiddle = num->x + c.textWidth(QStringLiteral("7")) / 2;
        QVERIFY(std::abs(numMiddle - (50 + end) / 2) <= 1);

        QCOMPARE(kav::DrawFraction(QStringLiteral("1"), QStringLiteral("2"), nullptr, 17, 40, kav::col::Red), 17);
    }

    // Triangle numbers

    void triangleNumberAdvancesAndKeepsFontSize()
    {
        Canvas c(AreaWidth, AreaHeight);
        c.font.size = 12;
        c.font.bold = true;
        int x = 40;
        kav::DrawTriangleNumber(x, QStringLiteral("4"), &c, 5, kav::col::Purple);
        const kav::TextLogEntry* sub = Logged(c, QStringLiteral("4"));
        QVERIFY(sub);
        QCOMPARE(sub->size, 8);  // seven tenths of 12
        QVERIFY(!sub->bold);
        QCOMPARE(sub->y, 5 * (AreaHeight / 26));
        QVERIFY(sub->x > 40);
        QCOMPARE(c.font.size, 12);  // given back, so the next one is just as large
        const int first = x - 40;
        QVERIFY(first > 0);
        kav::DrawTriangleNumber(x, QStringLiteral("4"), &c, 5, kav::col::Purple);
        QCOMPARE(x - 40, 2 * first);

        // The triangle: an apex above its base, in the colour, left of the subscript.
        const QRect tri = InkOf(c.image(), kav::col::Purple, QRect(40, 0, sub->x - 40, AreaHeight));
        QVERIFY(!tri.isEmpty());
        QCOMPARE(tri.top(), kav::Round(4.75 * (AreaHeight / 26)));
        QVERIFY(tri.height() >= 5);
        QVERIFY(tri.width() >= 5);
        int topRun = 0, bottomRun = 0;
        for (int xx = tri.left(); xx <= tri.right(); ++xx) {
            topRun += Near(c.image().pixel(xx, tri.top()), kav::col::Purple);
            bottomRun += Near(c.image().pixel(xx, tri.bottom()), kav::col::Purple);
        }
        QVERIFY(topRun <= 2);
        QVERIFY(bottomRun >= tri.width() - 1);

        int y = 0;
        kav::DrawTriangleNumber(y, QStringLiteral("5"), nullptr, 3, kav::col::Black);
        QCOMPARE(y, 0);
    }

    // The approximately-equal sign

    void approxTextPlacement()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawApproxText(QStringLiteral("3,14"), kav::col::Green, &c, 1, 8, kav::RightAligned);
        QCOMPARE(kav::LastTextEnd, AreaWidth - kav::TextMargin);
        const int y = 8 * kav::LineHeight;
        int tildes = 0;
        QVector<int> tildeRows;
        for (const kav::TextLogEntry& e : c.textLog())
            if (e.text == QStringLiteral(" ~")) {
                ++tildes;
                tildeRows.append(e.y);
            }
        QCOMPARE(tildes, 2);
        QVERIFY(tildeRows[0] < y && tildeRows[1] > y);
        QCOMPARE(y - tildeRows[0], tildeRows[1] - y);
        const kav::TextLogEntry* text = Logged(c, QStringLiteral("3,14"));
        QVERIFY(text);
        QCOMPARE(text->y, y);
        QVERIFY(std::abs(text->x + c.textWidth(QStringLiteral("3,14")) - kav::LastTextEnd) <= 1);
        QVERIFY(text->x > c.textLog().first().x);  // the amount follows the sign
    }

    void approxTextCentredAndClamped()
    {
        Canvas c(AreaWidth, AreaHeight);
        kav::DrawApproxText(QStringLiteral("0,333"), kav::col::Black, &c, 1, 2, kav::Centred);
        const int start = c.textLog().first().x;
        QVERIFY(std::abs(start + kav::LastTextEnd - AreaWidth) <= 1);

        Canvas narrow(60, AreaHeight);
        kav::DrawApproxText(QStringLiteral("123456789012"), kav::col::Black, &narrow, 1, 2, kav::Centred);
        QCOMPARE(narrow.textLog().first().x, 0);
        kav::DrawApproxText(QStringLiteral("123456789012"), kav::col::Black, &narrow, 1, 2, kav::RightAligned);
        QCOMPARE(narrow.textLog().last().x, narrow.textWidth(QStringLiteral(" = ")));

        Canvas d(AreaWidth, AreaHeight);
        kav::DrawApproxText(QStringLiteral("7"), kav::col::Black, &d, 2, 3, 100);
        QCOMPARE(d.textLog().first().x, 100);
        QCOMPARE(d.textLog().last().size, 20);
        kav::DrawApproxText(QStringLiteral("7"), kav::col::Black, nullptr, 1, 3, 100);
    }

    // Numbers

    void roundHalvesToEven()
    {
        QCOMPARE(kav::Round(0.5), 0);
        QCOMPARE(kav::Round(1.5), 2);
        QCOMPARE(kav::Round(2.5), 2);
        QCOMPARE(kav::Round(3.5), 4);
        QCOMPARE(kav::Round(-0.5), 0);
        QCOMPARE(kav::Round(-1.5), -2);
        QCOMPARE(kav::Round(-2.5), -2);
        QCOMPARE(kav::Round(2.4999), 2);
        QCOMPARE(kav::Round(2.5001), 3);
        QCOMPARE(kav::Round(-7.6), -8);
    }

    void triangularNumbers()
    {
        QCOMPARE(kav::Triangular(0), 0);
        QCOMPARE(kav::Triangular(1), 1);
        QCOMPARE(kav::Triangular(4), 10);
        QCOMPARE(kav::Triangular(30), 465);
    }

    void powers()
    {
        QCOMPARE(kav::Power(3, 2), 8.0);
        QCOMPARE(kav::Power(2, 3), 9.0);
        QCOMPARE(kav::Power(0, 5), 1.0);
        QCOMPARE(kav::Power(-1, 4), 0.25);
        QCOMPARE(kav::Power(0.5, 9), 3.0);
        QVERIFY(kav::RecordedMessages().isEmpty());

        QCOMPARE(kav::Power(2, 0), 0.0);
        QCOMPARE(kav::RecordedMessages().size(), 1);
        QVERIFY(kav::RecordedMessages().first().contains(QStringLiteral("0")));

        // A negative base with a whole exponent: the sign follows the exponent's parity.
        QCOMPARE(kav::Power(3, -2), -8.0);
        QCOMPARE(kav::Power(2, -3), 9.0);
        QCOMPARE(kav::Power(-1, -2), -0.5);
        QVERIFY(std::isnan(kav::Power(0.5, -4)));
    }

    void trimOnlySpaces()
    {
        QCOMPARE(kav::Trim(QStringLiteral("  12 + 3  ")), QStringLiteral("12 + 3"));
        QCOMPARE(kav::Trim(QStringLiteral("   ")), QString());
        QCOMPARE(kav::Trim(QStringLiteral("\t7 ")), QStringLiteral("\t7"));
    }
};

QTEST_MAIN(TestDrawText)
#include "tst_draw_text.moc"

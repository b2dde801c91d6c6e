// The celebration screen: what ends it, what the discs say and look like, the clearing after
// every hundred discs, and the pointer that always comes back.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "draw/measures.h"
#include "games/saldo.h"
#include "session/random.h"
#include "support.h"
#include "ui/ui.h"
#include "windows/scrn.h"

using namespace kav;

namespace {

void Move(TScrn& s, QPoint at)
{
    QMouseEvent e(QEvent::MouseMove, QPointF(at), QPointF(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&s, &e);
}

bool PointerHidden()
{
    const QCursor* c = QGuiApplication::overrideCursor();
    return c && c->shape() == Qt::BlankCursor;
}

int Lit(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += (img.pixel(x, y) & 0xffffffu) != 0;
    return n;
}

}  // namespace

class TestScrn : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        ResetMeasures();
        ScreenScale = 1.6;
        TextMargin = 13;
        SetScreenOverride(QSize(1024, 768));
        SetFixedSeed(4321u);
    }

    void init()
    {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        Saldo().Saldo = 12;
    }

    void coversTheScreenAndHidesThePointer()
    {
        TScrn s;
        QVERIFY(!PointerHidden());
        s.show();
        QVERIFY(s.isVisible());
        QCOMPARE(s.geometry(), QRect(ScreenOrigin(), QSize(1024, 768)));
        QCOMPARE(s.image().size(), QSize(1024, 768));
        QCOMPARE(Lit(s.image()), 0);  // black
        QVERIFY(PointerHidden());
        s.close();
        QVERIFY(!PointerHidden());
    }

    void onlyAMovementBothWaysEndsIt()
    {
        TScrn s;
        QSignalSpy finished(&s, &QDialog::finished);
        s.show();
        Move(s, QPoint(100, 100));  // the first position seen
        QCOMPARE(s.mouseStart(), QPoint(100, 100));
        Move(s, QPoint(160, 100));  // far, but only sideways
        Move(s, QPoint(100, 190));  // far, but only up and down
        Move(s, QPoint(102, 102));  // two pixels both ways
        Move(s, QPoint(98, 98));
        QVERIFY(s.isVisible());
        QCOMPARE(finished.count(), 0);
        QVERIFY(PointerHidden());
        Move(s, QPoint(103, 97));  // three pixels both ways
        QVERIFY(!s.isVisible());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!PointerHidden());
    }

    void aKeyOrAClickEndsIt()
    {
        for (bool key : {true, false}) {
            TScrn s;
            QSignalSpy finished(&s, &QDialog::finished);
            s.show();
            if (key)
                QTest::keyClick(&s, Qt::Key_A);
            else
                QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(500, 400));
            QVERIFY(!s.isVisible());
            QCOMPARE(finished.count(), 1);
            QVERIFY(!PointerHidden());
        }
    }

    void thePointerAlwaysComesBack()
    {
        // Shown twice in a row.
        {
            TScrn s;
            for (int i = 0; i < 2; ++i) {
                s.FirstActivation = true;
                s.show();
                QVERIFY(PointerHidden());
                QTest::keyClick(&s, Qt::Key_Space);
                QVERIFY(!PointerHidden());
            }
        }
        // Hidden by something else: the pointer returns and the one who showed it hears of it.
        {
            TScrn s;
            QSignalSpy finished(&s, &QDialog::finished);
            s.show();
            s.hide();
            QVERIFY(!PointerHidden());
            QTRY_COMPARE(finished.count(), 1);
        }
        // Destroyed while it is up.
        {
            auto* s = new TScrn;
            s->show();
            QVERIFY(PointerHidden());
            delete s;
            QVERIFY(!PointerHidden());
            QVERIFY(!QGuiApplication::overrideCursor());
        }
        // Another pointer set before it stays.
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        {
            TScrn s;
            s.show();
            QVERIFY(PointerHidden());
            s.close();
            QVERIFY(QGuiApplication::overrideCursor());
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QGuiApplication::restoreOverrideCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void discTextFitsOrIsLeftOut()
    {
        TScrn s;
        s.show();
        const QFontMetrics m(s.textFont());
        QCOMPARE(s.textFont().pixelSize(), 27);  // 17 pixels at the design size, scaled
        const int balanceWidth = m.horizontalAdvance(QStringLiteral("Saldo = 12"));
        const int doneWidth = m.horizontalAdvance(QStringLiteral("Klaar!"));
        QCOMPARE(TScrn::DiscText(1, 12, m, TextMargin), QString());
        QCOMPARE(TScrn::DiscText(149, 12, m, TextMargin), QStringLiteral("Saldo = 12"));
        // Just too narrow for the balance: "Klaar!".
        const int n = (balanceWidth + TextMargin) / 2;
        QVERIFY(doneWidth < 2 * n - TextMargin);
        QCOMPARE(TScrn::DiscText(n, 12, m, TextMargin), QStringLiteral("Klaar!"));
        QCOMPARE(TScrn::DiscText(n + 1, 12, m, TextMargin), QStringLiteral("Saldo = 12"));
        QCOMPARE(TScrn::DiscText((doneWidth + TextMargin) / 2, 12, m, TextMargin), QString());
        // A wider balance needs a wider disc.
        QCOMPARE(TScrn::DiscText(n + 1, -12345, m, TextMargin), QStringLiteral("Klaar!"));
        s.close();
    }

    void discsGlowFromTheEdgeInwards()
    {
        QCOMPARE(TScrn::RampColour(1, 0), QColor(21, 0, 0));
        QCOMPARE(TScrn::RampColour(1, 38), QColor(249, 0, 0));
        QCOMPARE(TScrn::RampColour(3, 5), QColor(0, 0, 51));
        QCOMPARE(TScrn::RampColour(4, 0), QColor(138, 64, 21));
        QCOMPARE(TScrn::RampColour(5, 38), QColor(251, 249, 251));
        QCOMPARE(TScrn::RampColour(6, 10), QColor(81, 139, 81));

        TScrn s;
        s.show();
        Saldo().Saldo = 12;
        const QRect r = s.DrawDiscAt(40, 2, 200, 300);
        QCOMPARE(r, QRect(200, 300, 80, 80));
        const QImage& img = s.image();
        // Ring g is the circle of radius g round the middle (240, 340); a pixel shows the
        // innermost ring holding it. The outer ring has the darkest green, inner rings
        // brighter ones: ring 36 takes entry 39 - Trunc(36 * 39 / 40) = 4.
        QCOMPARE(QColor(img.pixel(200, 340)), QColor(0, 21, 0));
        QCOMPARE(QColor(img.pixel(240, 304)), QColor(0, 21 + 6 * 4, 0));
        QCOMPARE(QColor(img.pixel(240, 340)), QColor(0, 21 + 6 * 38, 0));  // the middle ring
        QCOMPARE(QColor(img.pixel(201, 301)), QColor(0, 0, 0));  // a corner of the box stays black
        for (int x = 221; x < 240; ++x)
            QVERIFY(QColor(img.pixel(x, 339)).green() >= QColor(img.pixel(x - 1, 339)).green());
        // Too narrow for either text: none is written.
        for (int x = 201; x < 280; ++x)
            QVERIFY(img.pixel(x, 340) != qRgb(0, 0, 0));
        // Wide enough: the balance in black in the middle.
        s.DrawDiscAt(120, 3, 500, 300);
        int black = 0;
        for (int x = 510; x < 730; ++x)
            black += img.pixel(x, 420) == qRgb(0, 0, 0);
        QVERIFY(black > 5);
        // A disc partly off the screen is drawn as far as the screen goes.
        QCOMPARE(s.DrawDiscAt(100, 1, -64, 700), QRect(0, 700, 136, 68));
        s.close();
    }

    void clearedEveryHundredDiscs()
    {
        TScrn s;
        s.show();
        for (int i = 1; i < TScrn::ClearEvery; ++i)
            s.DrawDisc();
        QCOMPARE(s.discsDrawn(), 99);
        QVERIFY(Lit(s.image()) > 20000);
        const QRect r = s.DrawDisc();
        QCOMPARE(s.discsDrawn(), 0);
        QCOMPARE(r, s.image().rect());
        // Only the hundredth disc is left: at most one box of 2 x 149 pixels square.
        QVERIFY(Lit(s.image()) <= 298 * 298);
        s.close();
    }
};

QTEST_MAIN(TestScrn)
#include "tst_scrn.moc"

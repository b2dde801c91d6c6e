// The calculator of the calculator button, through its keys and the keyboard: sums, chains,
// decimals with the program's separator, sign change, "Fout", Backspace and clear; its window
// in front of the session window, where it opens, and its layout on small and large screens.
#include <QFontMetrics>
#include <QLabel>
#include <QMap>

#include "draw/numbers.h"
#include "formsfixture.h"
#include "windows/calculator.h"

using namespace testsupport;
using kav::Session;

namespace {

kav::Calculator* Calc()
{
    return Test()->calculator();
}

// A triangular practice item is on the screen, with its answer field and the calculator button.
void StartItem()
{
    QTest::mouseClick(Main()->Button8, Qt::LeftButton);
    Tick(1);
    QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
    QVERIFY(Test()->InvoerVeld->isVisible());
    QVERIFY(Test()->CalcButton->isVisible());
}

void OpenCalculator()
{
    QTest::mouseClick(Test()->CalcButton, Qt::LeftButton);
    QVERIFY(Calc() && Calc()->isVisible());
}

// Clicks the keys of the captions, separated by spaces, after C.
void Press(const QString& captions)
{
    QTest::mouseClick(Calc()->key(QStringLiteral("C")), Qt::LeftButton);
    for (const QString& c : captions.split(u' ', Qt::SkipEmptyParts)) {
        QPushButton* b = Calc()->key(c);
        QVERIFY2(b, qPrintable(QStringLiteral("no key ") + c));
        QTest::mouseClick(b, Qt::LeftButton);
    }
}

// The first text of the question (the text area or the picture) under the calculator, or empty.
QString CoveredText(const kav::Calculator* calc)
{
    for (const auto& [area, canvas] : {std::pair{static_cast<QWidget*>(Test()->Plaatje), &Test()->PictureBitmap},
                                       std::pair{static_cast<QWidget*>(Test()->Tekst), &Test()->TextBitmap}})
        for (const kav::TextLogEntry& e : canvas->textLog()) {
            const QRect text(area->mapToGlobal(QPoint(e.x, e.y)), QSize(e.width, kav::PointsToPixels(e.size)));
            if (!e.text.trimmed().isEmpty() && calc->frameGeometry().intersects(text))
                return e.text;
        }
    return QString();
}

#define SUM(keys, result)                              \
    do {                                               \
        Press(QStringLiteral(keys));                   \
        QCOMPARE(Calc()->display(), QStringLiteral(result)); \
    } while (0)

}  // namespace

class TestCalculator : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        StartForms(QSize(1024, 768));
        kav::DecimalSeparator = u',';
        QApplication::setActiveWindow(Test());
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void sumsWithTheKeys()
    {
        StartItem();
        OpenCalculator();
        QCOMPARE(Calc()->windowTitle(), QStringLiteral("Rekenmachine"));
        QCOMPARE(Calc()->display(), QStringLiteral("0"));
        // The sum stays in sight: the first number and the operation above the second.
        Press(QStringLiteral("1 2 ×"));
        QCOMPARE(Calc()->expression(), QStringLiteral("12 ×"));
        QCOMPARE(Calc()->display(), QStringLiteral("12"));
        QTest::mouseClick(Calc()->key(QStringLiteral("3")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("3"));
        QTest::mouseClick(Calc()->key(QStringLiteral("=")), Qt::LeftButton);
        QCOMPARE(Calc()->expression(), QStringLiteral("12 × 3 ="));
        QCOMPARE(Calc()->display(), QStringLiteral("36"));
        // A result goes on with the next operation; a digit starts a new sum.
        QTest::mouseClick(Calc()->key(QStringLiteral("+")), Qt::LeftButton);
        QTest::mouseClick(Calc()->key(QStringLiteral("4")), Qt::LeftButton);
        QTest::mouseClick(Calc()->key(QStringLiteral("=")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("40"));
        QTest::mouseClick(Calc()->key(QStringLiteral("7")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("7"));
        QCOMPARE(Calc()->expression(), QString());

        // Chains are worked from left to right, each step shown.
        Press(QStringLiteral("2 + 3 ×"));
        QCOMPARE(Calc()->display(), QStringLiteral("5"));
        QCOMPARE(Calc()->expression(), QStringLiteral("5 ×"));
        QTest::mouseClick(Calc()->key(QStringLiteral("4")), Qt::LeftButton);
        QTest::mouseClick(Calc()->key(QStringLiteral("=")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("20"));
        SUM("1 0 0 − 3 5 − 1 5 ÷ 2 =", "25");
        SUM("6 + × 2 =", "12");  // a second operation replaces the first
        SUM("5 + =", "10");
        SUM("9 9 9 9 9 × 9 9 9 9 9 =", "9999800001");
        SUM("1 2 3 4 5 6 × 1 0 0 0 0 0 0 =", "123456000000");
        SUM("1 1 1 1 1 1 1 1 1 1 1 1 1 1", "111111111111");  // twelve digits at most, and it says so
        QCOMPARE(Calc()->expression(), QStringLiteral("Niet meer dan 12 cijfers"));
        QTest::mouseClick(Calc()->key(QStringLiteral("+")), Qt::LeftButton);
        QCOMPARE(Calc()->expression(), QStringLiteral("111111111111 +"));

        // Decimals: the program's separator, about ten digits, no binary leftovers.
        SUM("0 , 1 + 0 , 2 =", "0,3");
        SUM("0 , 1 + 0 , 2 − 0 , 3 =", "0");
        SUM("1 ÷ 3 =", "0,3333333333");
        SUM("2 ÷ 3 =", "0,6666666667");
        SUM("1 ÷ 3 × 3 =", "1");
        SUM("2 , 5 × 4 =", "10");
        SUM("1 , 2 5 × 4 , 1 =", "5,125");
        SUM("0 , 0 0 0 1 ÷ 4 =", "0,000025");
        SUM(", 5 , 5", "0,55");  // one separator in a number
        Press(QStringLiteral("1 , 5 × 2 ="));
        QCOMPARE(Calc()->expression(), QStringLiteral("1,5 × 2 ="));

        // Sign change, of a typed number, of the first number and of a result.
        SUM("5 ±", "\u22125");  // the minus sign, as on the keys
        SUM("5 ± ±", "5");
        SUM("3 ± + 5 =", "2");
        SUM("1 2 − 4 ± =", "16");
        Press(QStringLiteral("1 2 − 4 ± ="));
        QCOMPARE(Calc()->expression(), QStringLiteral("12 − (\u22124) ="));
        SUM("1 2 × 3 = ±", "\u221236");
        SUM("0 ±", "0");

        // Division by zero gives "Fout", a result too large to show "Te groot"; the next key
        // starts afresh.
        SUM("1 ÷ 0 =", "Fout");
        QTest::mouseClick(Calc()->key(QStringLiteral("4")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("4"));
        QCOMPARE(Calc()->expression(), QString());
        SUM("8 ÷ 0 + 2", "2");
        SUM("8 ÷ 0 +", "Fout");
        SUM("9 9 9 9 9 9 9 9 9 9 9 9 × 9 9 9 9 9 9 9 9 9 9 9 9 =", "Te groot");
        SUM("9 9 9 9 9 9 9 9 9 9 9 9 ± × 9 9 9 9 9 9 9 9 9 9 9 9 =", "Te groot");
        QTest::mouseClick(Calc()->key(QStringLiteral("4")), Qt::LeftButton);
        QCOMPARE(Calc()->display(), QStringLiteral("4"));
        SUM("7 ÷ 0 = =", "0");

        // Backspace takes back the last typed digit, never a part of a result.
        SUM("1 2 3 ←", "12");
        SUM("1 2 3 ← ← ← ←", "0");
        SUM("1 , 5 ←", "1,");
        SUM("2 0 ÷ 4 = ←", "5");
        SUM("4 ± ←", "0");
        // Clear empties both lines.
        Press(QStringLiteral("1 2 × 3 = C"));
        QCOMPARE(Calc()->display(), QStringLiteral("0"));
        QCOMPARE(Calc()->expression(), QString());
    }

    void decimalKeyFollowsTheProgram()
    {
        kav::DecimalSeparator = u'.';
        StartItem();
        OpenCalculator();
        QVERIFY(Calc()->key(QStringLiteral(".")));
        QVERIFY(!Calc()->key(QStringLiteral(",")));
        SUM("1 . 5 × 3 =", "4.5");
        SUM("1 ÷ 4 =", "0.25");
        QTest::keyClicks(Calc(), QStringLiteral("2,5*2,5"));
        QTest::keyClick(Calc(), Qt::Key_Return);
        QCOMPARE(Calc()->display(), QStringLiteral("6.25"));
    }

    void sumsWithTheKeyboard()
    {
        StartItem();
        OpenCalculator();
        auto typed = [](const QString& text) {
            QTest::keyClick(Calc(), Qt::Key_Escape);
            QTest::keyClicks(Calc(), text);
            return Calc()->display();
        };
        QTest::keyClicks(Calc(), QStringLiteral("12*3"));
        QCOMPARE(Calc()->expression(), QStringLiteral("12 ×"));
        QTest::keyClick(Calc(), Qt::Key_Return);
        QCOMPARE(Calc()->display(), QStringLiteral("36"));
        QCOMPARE(Calc()->expression(), QStringLiteral("12 × 3 ="));
        QCOMPARE(typed(QStringLiteral("7.5+7,5=")), QStringLiteral("15"));
        QCOMPARE(typed(QStringLiteral("2.25")), QStringLiteral("2,25"));
        QCOMPARE(typed(QStringLiteral("9/4=")), QStringLiteral("2,25"));
        QCOMPARE(typed(QStringLiteral("9:3=")), QStringLiteral("3"));
        QCOMPARE(typed(QStringLiteral("10-12=")), QStringLiteral("\u22122"));
        QCOMPARE(typed(QStringLiteral("6×7=")), QStringLiteral("42"));
        QCOMPARE(typed(QStringLiteral("8÷0=")), QStringLiteral("Fout"));
        typed(QStringLiteral("5"));
        QTest::sendKeyEvent(QTest::Click, Calc(), Qt::Key_unknown, QStringLiteral("\u2212"), Qt::NoModifier);
        QTest::keyClicks(Calc(), QStringLiteral("2="));
        QCOMPARE(Calc()->display(), QStringLiteral("3"));
        QCOMPARE(typed(QStringLiteral("abc!?")), QStringLiteral("0"));  // "c" clears, the rest is nothing
        typed(QStringLiteral("3+4"));
        QTest::keyClick(Calc(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(Calc()->display(), QStringLiteral("7"));
        typed(QStringLiteral("456"));
        QTest::keyClick(Calc(), Qt::Key_Backspace);
        QCOMPARE(Calc()->display(), QStringLiteral("45"));
        QTest::keyClick(Calc(), Qt::Key_Delete);
        QCOMPARE(Calc()->display(), QStringLiteral("0"));
        // Escape clears the calculator and nothing else: the session goes on.
        typed(QStringLiteral("12+"));
        QTest::keyClick(Calc(), Qt::Key_Escape);
        QCOMPARE(Calc()->display(), QStringLiteral("0"));
        QCOMPARE(Calc()->expression(), QString());
        QVERIFY(Calc()->isVisible());
        QVERIFY(Test()->isVisible());
        QVERIFY(Session().SessionRunning);
        // With a key in focus (reached with Tab) the keyboard still calculates.
        Calc()->key(QStringLiteral("7"))->setFocus(Qt::TabFocusReason);
        typed(QStringLiteral("2+2"));
        QTest::keyClick(Calc()->key(QStringLiteral("7")), Qt::Key_Return);
        QCOMPARE(Calc()->display(), QStringLiteral("4"));
        QTest::keyClick(Calc()->key(QStringLiteral("7")), Qt::Key_Escape);
        QCOMPARE(Calc()->display(), QStringLiteral("0"));
        QVERIFY(Test()->isVisible());
    }

    void oneCalculatorInFrontOfTheSession()
    {
        StartItem();
        OpenCalculator();
        kav::Calculator* calc = Calc();
        QVERIFY(calc->isWindow());
        QCOMPARE(calc->windowType(), Qt::Tool);
        QCOMPARE(calc->parentWidget(), static_cast<QWidget*>(Test()));
        // The answer field keeps the session window's focus and is not judged.
        QCOMPARE(Test()->focusWidget(), static_cast<QWidget*>(Test()->InvoerVeld));
        QCOMPARE(Session().Attempt, 1);
        // Pressed again: the same calculator, still up, nothing started.
        Press(QStringLiteral("4 2"));
        QTest::mouseClick(Test()->CalcButton, Qt::LeftButton);
        QCOMPARE(Calc(), calc);
        QVERIFY(calc->isVisible());
        QCOMPARE(calc->display(), QStringLiteral("42"));
        QCOMPARE(Test()->findChildren<kav::Calculator*>().size(), 1);

        // It opens where the pupil left it.
        calc->move(120, 90);
        calc->close();
        QVERIFY(!calc->isVisible());
        QTest::mouseClick(Test()->CalcButton, Qt::LeftButton);
        QCOMPARE(calc->pos(), QPoint(120, 90));
        // ... but never off the screen.
        calc->move(5000, -300);
        calc->hide();
        QTest::mouseClick(Test()->CalcButton, Qt::LeftButton);
        QVERIFY(QRect(QPoint(0, 0), QSize(1024, 768)).contains(calc->frameGeometry()));

        // The viewer takes the session window away for a while: the calculator goes along.
        QTest::mouseClick(Test()->HelpButton, Qt::LeftButton);
        QVERIFY(Help()->isVisible());
        QVERIFY(!calc->isVisible());
        QTest::mouseClick(Help()->EindButton, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        QVERIFY(calc->isVisible());

        // Closing the session window puts it away until the button is pressed again.
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);  // back to the choice screen
        QTest::mouseClick(Test()->EindButton, Qt::LeftButton);  // and to the main menu
        QVERIFY(!Test()->isVisible());
        QVERIFY(!calc->isVisible());
        StartItem();
        QVERIFY(!calc->isVisible());
    }

    // Where the picture fills the screen's width, the calculator opens where it covers no
    // text: not over the floor plan's corner letters nor over the packages' weights.
    void opensClearOfThePicturesTexts()
    {
        for (int box : {3, 5}) {
            for (int item = 0; item < 3; ++item) {
                StartForms(QSize(1024, 768));
                kav::SetFixedSeed(100u + unsigned(item));
                QApplication::setActiveWindow(Test());
                QTest::mouseClick(Main()->Button5, Qt::LeftButton);
                Tick(box);
                QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
                QCOMPARE(Session().ThemeCode, 10 + box);
                OpenCalculator();
                const QString at = QStringLiteral(" in theme %1, seed %2").arg(10 + box).arg(100 + item);
                QVERIFY2(CoveredText(Calc()).isEmpty(), qPrintable(CoveredText(Calc()) + at));
                QVERIFY(QRect(QPoint(0, 0), QSize(1024, 768)).contains(Calc()->frameGeometry()));
            }
        }
    }

    // Every key clear of the display and of each other, large enough to hit, the whole
    // calculator on the screen; the first time clear of the question.
    void laidOutForTheScreen()
    {
        const QSize screens[] = {QSize(1024, 768), QSize(1920, 1080), QSize(800, 600), QSize(1366, 768)};
        QMap<int, int> widths;
        for (QSize screen : screens) {
            StartForms(screen);
            QApplication::setActiveWindow(Test());
            StartItem();
            OpenCalculator();
            kav::Calculator* calc = Calc();
            const QString at = QStringLiteral(" at %1x%2").arg(screen.width()).arg(screen.height());
            const double f = kav::CalculatorScale(screen);
            QVERIFY2(QRect(QPoint(0, 0), screen).contains(calc->frameGeometry()), qPrintable(QStringLiteral("off the screen") + at));
            // Beside the picture where the screen has room, else where it covers none of the
            // question's texts, nor the answer field.
            QVERIFY2(CoveredText(calc).isEmpty(), qPrintable(CoveredText(calc) + at));
            QVERIFY2(!calc->frameGeometry().intersects(QRect(Test()->InvoerPanel->mapToGlobal(QPoint(0, 0)),
                                                             Test()->InvoerPanel->size())),
                     qPrintable(at));
            QWidget* display = calc->displayPanel();
            QVERIFY(calc->rect().contains(display->geometry()));
            const QList<QPushButton*> keys = calc->keys();
            QCOMPARE(keys.size(), 19);
            for (int i = 0; i < keys.size(); ++i) {
                const QRect r = keys[i]->geometry();
                QVERIFY2(!r.intersects(display->geometry()), qPrintable(keys[i]->text() + QStringLiteral(" covers the display") + at));
                QVERIFY2(calc->rect().contains(r), qPrintable(keys[i]->text() + QStringLiteral(" sticks out") + at));
                QVERIFY2(r.height() >= 29 * f && r.width() >= 37 * f, qPrintable(keys[i]->text() + at));
                QVERIFY(keys[i]->isVisible());
                for (int j = i + 1; j < keys.size(); ++j)
                    QVERIFY2(!r.intersects(keys[j]->geometry()), qPrintable(keys[i]->text() + QStringLiteral(" overlaps ") + keys[j]->text() + at));
            }
            // Both lines of the display inside it and readable; the keys' captions as large as
            // the window's own texts.
            for (QLabel* l : display->findChildren<QLabel*>()) {
                QVERIFY(display->rect().contains(l->geometry()));
                QVERIFY(l->isVisible());
            }
            QVERIFY2(keys[0]->font().pixelSize() >= kav::PointsToPixels(kav::Round(12 * f)), qPrintable(at));
            // A long result is written smaller, never cut off.
            Press(QStringLiteral("9 9 9 9 9 9 9 ± × 9 9 9 9 9 9 9 ="));
            QCOMPARE(calc->display(), QStringLiteral("\u221299999980000001"));
            QLabel* result = calc->findChild<QLabel*>(QStringLiteral("CalcResult"));
            QVERIFY(QFontMetrics(result->font()).horizontalAdvance(result->text()) <= result->width());
            widths[screen.width()] = calc->width();
            Shot(calc, QStringLiteral("calculator-%1x%2").arg(screen.width()).arg(screen.height()));
        }
        // It grows with the screen, like the windows.
        QVERIFY(widths[800] < widths[1024] && widths[1024] < widths[1920]);
        QCOMPARE(widths[1366], widths[1024]);
    }
};

QTEST_MAIN(TestCalculator)
#include "tst_calculator.moc"

// What a screen reader gets: every control it can reach has a name, the drawn areas give their
// texts, and an item's question, judgement and explanation are said once, in order, with the
// focus on Doorgaan after Enter; a class test never says the right answer.
#include <QAccessible>
#include <QComboBox>
#include <QRegularExpression>

#include "draw/reading.h"
#include "formsfixture.h"
#include "session/engine.h"
#include "session/testcode.h"
#include "windows/calculator.h"
#include "windows/teacherform.h"
#include "windows/testmakerform.h"
#include "windows/worksheetform.h"

using namespace testsupport;
using kav::Session;

namespace {

struct Heard {
    QAccessible::Event type;
    QObject* object;
    QString text;
};
QVector<Heard> heard;

void Record(QAccessibleEvent* e)
{
    QString text;
    if (e->type() == QAccessible::TextInserted)
        text = static_cast<QAccessibleTextInsertEvent*>(e)->textInserted();
    heard.append({e->type(), e->object(), text});
}

// The texts said on the drawn areas, in order.
QStringList Said(const QVector<Heard>& events)
{
    QStringList said;
    for (const Heard& h : events)
        if (h.type == QAccessible::TextInserted && qobject_cast<kav::PaintBox*>(h.object))
            said << h.text;
    return said;
}

QObject* LastFocus(const QVector<Heard>& events)
{
    for (auto it = events.rbegin(); it != events.rend(); ++it)
        if (it->type == QAccessible::Focus)
            return it->object;
    return nullptr;
}

// Every visible, enabled widget that Tab reaches under the window, by its accessible
// interface, whose name is empty.
QStringList Unnamed(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        // A spin box's or a combo box's own editor is read as the box.
        if (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        if (!iface || iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << window->objectName() + QStringLiteral("/") + w->objectName() + QStringLiteral(" (") +
                           QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(")");
    }
    return unnamed;
}

void Answer(const QString& text)
{
    TypeInto(Test()->InvoerVeld, text);
}

QString Wrong()
{
    return QString::number(Session().ExpectedAnswer + 1000);
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Qt's own events reach the handler where a screen reader is active; the program's
        // own ones also reach the observer where none is (as here, headless).
        QAccessible::installUpdateHandler(&Record);
        kav::SetAccessibilityObserver(&Record);
    }
    void init()
    {
        StartForms(QSize(1024, 768));
        Test()->Klok->blockSignals(true);
        heard.clear();
    }
    void cleanupTestCase() { kav::DestroyForms(); }

    void everyReachableControlHasAName()
    {
        QStringList unnamed = Unnamed(Main());
        // The choice screen, the answer field and Doorgaan, the calculator.
        QTest::mouseClick(Main()->Button4, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        unnamed += Unnamed(Test());
        // The score panel under the level box is not there to be read; START brings it.
        QVERIFY(!Test()->ScorePanel->isVisible());
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Test()->ScorePanel->isVisible());
        unnamed += Unnamed(Test());
        // The answer field is named by its caption.
        QString caption = Test()->InvoerLabel->text().trimmed();
        caption.chop(1);
        QCOMPARE(Test()->InvoerVeld->accessibleName().toLower(), caption.trimmed().toLower());
        Test()->CalcButtonClick();
        unnamed += Unnamed(Test()->calculator()->window());
        Test()->CalcButtonClick();
        Answer(QString::number(Session().ExpectedAnswer));
        unnamed += Unnamed(Test());
        // The teacher's windows.
        kav::TDocentForm teacher;
        teacher.show();
        unnamed += Unnamed(&teacher);
        kav::TToetsMakenForm maker;
        maker.show();
        unnamed += Unnamed(&maker);
        kav::TWerkbladForm worksheet;
        worksheet.show();
        unnamed += Unnamed(&worksheet);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u'\n')));
    }

    // Enter presses the main menu's button that has the focus, as Space does, but not Einde.
    void enterPressesTheFocusedButton()
    {
        QApplication::setActiveWindow(Main());
        Main()->EindButton->setFocus();
        QTest::keyClick(Main()->EindButton, Qt::Key_Return);
        QVERIFY(Main()->isVisible());
        Main()->Button4->setFocus();
        QTest::keyClick(Main()->Button4, Qt::Key_Return);
        QVERIFY(Test()->isVisible());
        QVERIFY(!Session().PracticeMode);
    }

    // The drawn areas give what they show: the question as text, the picture its description.
    void theAreasGiveTheirTexts()
    {
        QTest::mouseClick(Main()->Button9, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QAccessibleInterface* text = QAccessible::queryAccessibleInterface(Test()->Tekst);
        QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(Test()->Plaatje);
        QVERIFY(text && picture);
        QCOMPARE(text->text(QAccessible::Name), QStringLiteral("Opgave"));
        QVERIFY(text->textInterface());
        const QString all = text->textInterface()->text(0, text->textInterface()->characterCount());
        QVERIFY2(all.contains(QStringLiteral("hiernaast.\n")), qPrintable(all));
        QCOMPARE(all, kav::ReadingText(Test()->TextBitmap.textLog()));
        QCOMPARE(picture->role(), QAccessible::Graphic);
        QCOMPARE(picture->text(QAccessible::Description), Session().PictureDescription);
        QVERIFY(!Session().PictureDescription.isEmpty());
        QCOMPARE(picture->textInterface()->text(0, picture->textInterface()->characterCount()),
                 kav::ReadingText(Test()->PictureBitmap.textLog()));
    }

    // Practice of the triangle numbers answered wrong twice: the question, the second try, the
    // final judgement and the explanation are each said once, in that order, and after every
    // Enter the last focus a screen reader hears is Doorgaan's.
    void aPlayedItemIsSaidInOrder()
    {
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        for (int n = 1; n <= 8; ++n)
            Tick(n, n == 1);
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        const QStringList question = Said(heard);
        QCOMPARE(question.size(), 1);
        QVERIFY2(question[0].contains(QStringLiteral("Zie het plaatje hiernaast.")) ||
                     question[0].contains(QStringLiteral("Hoeveel")) || question[0].contains(QStringLiteral("som")),
                 qPrintable(question[0]));
        QVERIFY(Test()->InvoerVeld->accessibleDescription().startsWith(question[0].split(u'\n').first()));

        heard.clear();
        Answer(Wrong());
        const QString typed = QStringLiteral("Ingegeven: ") + Test()->InvoerVeld->text();
        QCOMPARE(Said(heard), QStringList{typed + QStringLiteral("\nJammer! Tweede poging!")});
        QCOMPARE(LastFocus(heard), Test()->ContinueButton);
        QCOMPARE(Test()->ContinueButton->accessibleDescription(), typed + QStringLiteral(". Jammer! Tweede poging!"));

        heard.clear();
        QTest::keyClick(Test()->ContinueButton, Qt::Key_Return);
        QCOMPARE(Said(heard).size(), 1);  // the question again
        heard.clear();
        const QString expected = QString::number(Session().ExpectedAnswer);
        Answer(Wrong());
        const QStringList final = Said(heard);
        QCOMPARE(final.size(), 2);
        QVERIFY2(final[0].contains(QStringLiteral("Jammer !")) &&
                     final[0].contains(QStringLiteral("Het juiste antwoord was: ") + expected),
                 qPrintable(final[0]));
        QVERIFY2(final[1].contains(QStringLiteral("Toelichting")), qPrintable(final[1]));
        QVERIFY(!final[1].contains(QStringLiteral("Jammer")));
        QCOMPARE(LastFocus(heard), Test()->ContinueButton);
        QVERIFY(Test()->ContinueButton->accessibleDescription().endsWith(QStringLiteral("Score: 0 uit 1.")));
    }

    // A class test says "Fout." and never the right answer, not in what is said, not in the
    // area's text, not in Doorgaan's description.
    void aClassTestNeverSaysTheAnswer()
    {
        kav::TestCodeSettings settings;
        settings.sessionMode = 0;
        settings.themes = 0b0000111;
        settings.level = 1;
        settings.length = 10;
        settings.seed = 424242u;
        QTest::mouseClick(Main()->Button4, Qt::LeftButton);
        QApplication::setActiveWindow(Test());
        QTest::keyClicks(Test()->NaamVeld, QStringLiteral("Noor"));
        Test()->CodeVeld->setText(kav::EncodeTestCode(settings).value());
        QTest::mouseClick(Test()->StartButton, Qt::LeftButton);
        QVERIFY(Session().AnswersHidden);
        for (int item = 0; item < 4; ++item) {
            const QRegularExpression answer(QStringLiteral("(^|[^0-9])%1([^0-9]|$)").arg(Session().ExpectedAnswer));
            heard.clear();
            Answer(Wrong());
            QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
            Answer(Wrong());
            const QString said = Said(heard).join(u'\n');
            QVERIFY2(said.contains(QStringLiteral("Fout.")), qPrintable(said));
            // Only what was said after the question counts: the question may hold the number.
            const QString judged = said.mid(said.lastIndexOf(QStringLiteral("Ingegeven")));
            QVERIFY2(!judged.contains(answer), qPrintable(judged));
            QVERIFY(!judged.contains(QStringLiteral("juiste antwoord")));
            QVERIFY(!Test()->ContinueButton->accessibleDescription().contains(answer));
            QTest::mouseClick(Test()->ContinueButton, Qt::LeftButton);
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"

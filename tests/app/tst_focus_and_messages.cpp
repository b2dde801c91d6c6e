// The program's look beyond the windows' layout: the dark blue frame that shows which button
// has the keyboard focus (plain buttons, picture buttons, START), and message boxes written in
// the size of the session window's texts.
#include <QLabel>
#include <QMessageBox>
#include <QTranslator>

#include "formsfixture.h"
#include "windows/calculator.h"

using namespace testsupport;

namespace {

// How a button looks with and without the focus: where the two pictures differ, and whether
// every difference is the frame's colour inside the button's edge.
struct FocusLook {
    int framePixels = 0;  // pixels of the frame's colour with the focus
    int plainPixels = 0;  // ... without it
    int strayChanges = 0; // pixels that changed, but not to the frame inside the edge
};

FocusLook Look(QWidget* button, QWidget* other)
{
    FocusLook look;
    QApplication::setActiveWindow(button->window());
    other->setFocus(Qt::OtherFocusReason);
    const QImage plain = button->grab().toImage();
    button->setFocus(Qt::OtherFocusReason);
    if (!button->hasFocus())
        return look;
    const QImage focused = button->grab().toImage();
    const QRgb frame = kav::FocusFrameColour().rgb();
    const int w = kav::FocusFrameWidth();
    const QRect outer = QRect(QPoint(0, 0), focused.size()).adjusted(2, 2, -2, -2);
    const QRect inner = outer.adjusted(w, w, -w, -w);
    for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x) {
            const QRgb f = Px(focused, x, y), p = Px(plain, x, y);
            look.framePixels += f == frame;
            look.plainPixels += p == frame;
            const bool inBand = outer.contains(x, y) && !inner.contains(x, y);
            if (f != p && !(f == frame && inBand))
                ++look.strayChanges;
        }
    return look;
}

}  // namespace

class TestFocusAndMessages : public QObject {
    Q_OBJECT
private slots:
    void cleanupTestCase() { kav::DestroyForms(); }

    void focusedButtonsShowAFrame()
    {
        for (QSize screen : {QSize(1024, 768), QSize(1920, 1080)}) {
            StartForms(screen);
            const QString at = QStringLiteral(" at %1x%2").arg(screen.width()).arg(screen.height());
            QVERIFY(kav::FocusFrameWidth() >= 3);
            struct Case {
                QPushButton *button, *other;
            };
            // Grey buttons with a caption, and picture buttons, of the main menu.
            const Case menu[] = {{Main()->Button3, Main()->Button4},
                                 {Main()->EindButton, Main()->Button3},
                                 {Main()->HelpButton, Main()->Button3},
                                 {Main()->AllesButton, Main()->Button3}};
            for (const Case& c : menu) {
                const FocusLook look = Look(c.button, c.other);
                const QString what = c.button->objectName() + at;
                // The whole frame shows (a picture may cover nothing of it), and nothing else changes.
                const int band = 2 * kav::FocusFrameWidth() * (c.button->width() + c.button->height() - 8);
                QVERIFY2(look.framePixels - look.plainPixels >= band * 9 / 10, qPrintable(what));
                QCOMPARE(look.strayChanges, 0);
            }
            // In the session window: START (a caption over a picture), the level button and the
            // calculator button (pictures), Einde.
            QTest::mouseClick(Main()->Button8, Qt::LeftButton);
            Tick(1);
            kav::TTestForm* t = Test();
            t->CalcButton->show();
            const Case session[] = {{t->StartButton, t->EindButton},
                                    {t->CalcButton, t->EindButton},
                                    {t->HelpButton, t->EindButton},
                                    {t->EindButton, t->StartButton}};
            for (const Case& c : session) {
                const FocusLook look = Look(c.button, c.other);
                const QString what = c.button->objectName() + at;
                QVERIFY2(look.framePixels - look.plainPixels >= kav::FocusFrameWidth() * (c.button->width() + c.button->height()),
                         qPrintable(what));
                QCOMPARE(look.strayChanges, 0);
            }
            // The calculator's keys, reached with Tab.
            // A theme's check box and a level's radio button show it round box and caption.
            for (const auto& [box, other] : {std::pair<QWidget*, QWidget*>{t->CheckBoxes[0], t->EindButton},
                                             std::pair<QWidget*, QWidget*>{t->NivoBox->buttons[1], t->EindButton}}) {
                const FocusLook look = Look(box, other);
                QVERIFY2(look.framePixels - look.plainPixels >= kav::FocusFrameWidth() * box->width(),
                         qPrintable(box->objectName() + at + QStringLiteral(" %1 %2").arg(look.framePixels).arg(look.plainPixels)));
            }
            QTest::mouseClick(t->StartButton, Qt::LeftButton);
            QTest::mouseClick(t->CalcButton, Qt::LeftButton);
            kav::Calculator* calc = t->calculator();
            const FocusLook key = Look(calc->key(QStringLiteral("7")), calc->key(QStringLiteral("8")));
            QVERIFY(key.framePixels > key.plainPixels);
            QCOMPARE(key.strayChanges, 0);
            // The answer field shows the same frame.
            const FocusLook field = Look(t->InvoerVeld, t->EindButton);
            QVERIFY2(field.framePixels - field.plainPixels >= kav::FocusFrameWidth() * t->InvoerVeld->width(), qPrintable(at));
        }
    }

    void messageBoxesInTheTextSize()
    {
        QList<int> sizes;
        for (QSize screen : {QSize(1024, 768), QSize(1366, 768), QSize(1920, 1080)}) {
            StartForms(screen);
            auto box = kav::MakeMessageBox(QStringLiteral("Foutieve invoer !\rGeef een geheel getal in !"),
                                           kav::MessageKind::Error);
            QCOMPARE(box->windowTitle(), QStringLiteral("Kavrin 2"));
            QCOMPARE(box->icon(), QMessageBox::Critical);
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            QVERIFY(label);
            QCOMPARE(label->text(), QStringLiteral("Foutieve invoer !\nGeef een geheel getal in !"));
            // The session window's text size, as its question texts are drawn.
            QCOMPARE(label->font().pixelSize(), kav::PointsToPixels(kav::BaseFontSize));
            QCOMPARE(box->button(QMessageBox::Ok)->font().pixelSize(), label->font().pixelSize());
            sizes << label->font().pixelSize();
        }
        QVERIFY(sizes[0] > QApplication::font().pixelSize());
        QVERIFY(sizes[1] >= sizes[0]);
        QVERIFY(sizes[2] > sizes[0]);
        // Tests still record the messages instead of showing them.
        kav::ClearRecordedMessages();
        kav::ShowMessage(QStringLiteral("Een bericht"));
        QCOMPARE(kav::RecordedMessages(), QStringList{QStringLiteral("Een bericht")});
    }

    // Qt's own buttons and dialogs speak Dutch whatever the system's language (the tests run
    // under C.UTF-8).
    void qtSpeaksDutch()
    {
        StartForms(QSize(1024, 768));
        StartForms(QSize(1024, 768));  // set up twice, translated once
        QCOMPARE(qApp->findChildren<QTranslator*>().size(), 1);
        QMessageBox box(QMessageBox::Question, QStringLiteral("Kavrin 2"), QStringLiteral("?"),
                        QMessageBox::Cancel | QMessageBox::Save);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Annuleren"));
        QCOMPARE(box.button(QMessageBox::Save)->text(), QStringLiteral("Opslaan"));
    }
};

QTEST_MAIN(TestFocusAndMessages)
#include "tst_focus_and_messages.moc"

// A pupil who presses anything: thousands of random clicks, typed texts, keys and clock ticks on
// whatever windows are up, from the main menu through the sessions, the games, the lessons and
// the celebration screen. Nothing may crash (the sanitizers watch), and after every action the
// program must still be in a state the pupil can go on from. Seeded, so a failure replays.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <random>

#include "draw/messages.h"
#include "formsfixture.h"
#include "session/engine.h"
#include "ui/speaker.h"
#include "windows/calculator.h"
#include "windows/scrn.h"

using namespace testsupport;
using kav::Session;

namespace {

// What a pupil might type: numbers of every kind, both separators, and nonsense.
const QStringList Typed = {
    QString(), QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("-5"), QStringLiteral("12"),
    QStringLiteral("36"), QStringLiteral("1,5"), QStringLiteral("2.25"), QStringLiteral("-0"),
    QStringLiteral("abc"), QStringLiteral("1e9"), QStringLiteral("99999999999999999999"),
    QStringLiteral(" 3 "), QStringLiteral("\u00bd"), QStringLiteral("\u0663"), QStringLiteral("--3"),
    QStringLiteral(","), QStringLiteral("3,"), QStringLiteral("0,333333"), QString(40, u'9'),
    QStringLiteral("%1"), QStringLiteral("-2147483648"), QStringLiteral("15"), QStringLiteral("21"),
};

const Qt::Key Keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Space,
                        Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Up,   Qt::Key_Down};

class Monkey {
public:
    explicit Monkey(unsigned seed) : rng_(seed) {}

    int Pick(int n) { return int(rng_() % unsigned(n)); }

    // The windows a pupil can reach now: a modal window shuts out the others.
    QList<QWidget*> Reachable() const
    {
        QList<QWidget*> up;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            // and the tool windows it owns (the calculator)
            up.append(modal);
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != modal && w->isVisible() && w->parentWidget() && w->parentWidget()->window() == modal)
                    up.append(w);
            return up;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                up.append(w);
        return up;
    }

    template <typename T>
    QList<T*> Visible(const QList<QWidget*>& windows) const
    {
        QList<T*> found;
        for (QWidget* w : windows)
            for (T* c : w->findChildren<T*>())
                if (c->isVisible() && c->isEnabled())
                    found.append(c);
        return found;
    }

    // The answer the field waits for: the item's (or the game's balance), or a lesson's entry.
    QString RightAnswer(const QLineEdit* f)
    {
        const kav::SessionState& s = Session();
        if (f != Test()->InvoerVeld)
            return QString::number(5 + Pick(21));
        if (s.AnswerKind == 2)
            return kav::FormatDecimal(s.ExpectedDecimal, s.AnswerDecimals, kav::DecimalSeparator);
        return QString::number(s.ExpectedAnswer);
    }

    // The pupil works in the window he clicks or types in: it is the active one.
    static void Activate(QWidget* w)
    {
        if (QApplication::activeWindow() != w->window())
            QApplication::setActiveWindow(w->window());
    }

    // One random action; what it did, for the report.
    QString Act()
    {
        const QList<QWidget*> windows = Reachable();
        QList<QAbstractButton*> buttons;
        for (QAbstractButton* b : Visible<QAbstractButton>(windows))
            // Not the main menu's Einde (the program ends; that way out is tested on its own).
            if (b != Main()->EindButton)
                buttons.append(b);
        // A pupil mostly stays in what he started: Einde is a button he seldom picks.
        if (Pick(10) != 0)
            buttons.removeIf([](QAbstractButton* b) { return b == Test()->EindButton || b == Help()->EindButton; });
        const QList<QLineEdit*> fields = Visible<QLineEdit>(windows);
        const int roll = Pick(100);
        if (roll < 50 && !buttons.isEmpty()) {
            QAbstractButton* b = buttons[Pick(int(buttons.size()))];
            Activate(b);
            const QString what = QStringLiteral("click ") + b->objectName() + QLatin1Char('/') + b->text();
            QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(qMin(8, b->width() / 2), b->height() / 2));
            return what;
        }
        if (roll < 75 && !fields.isEmpty()) {
            QLineEdit* f = fields[Pick(int(fields.size()))];
            Activate(f);
            // Half the time a pupil knows the answer, so sessions and games go all the way.
            const QString text = Pick(2) ? RightAnswer(f) : Typed[Pick(int(Typed.size()))];
            f->setFocus();
            f->selectAll();
            for (QChar c : text) {
                if (c.unicode() < 128)
                    QTest::keyClick(f, c.toLatin1());
                else  // as from a keyboard of another script
                    QTest::sendKeyEvent(QTest::Click, f, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
            const bool enter = Pick(4) != 0;
            if (QPointer<QLineEdit> alive(f); alive && alive->isVisible())
                QTest::keyClick(f, enter ? Qt::Key_Return : Qt::Key_Tab);
            return QStringLiteral("type \"%1\" and %2").arg(text, enter ? QStringLiteral("Enter") : QStringLiteral("Tab"));
        }
        if (roll < 88 && Test()->Klok->isActive()) {
            const int ticks = 1 + Pick(40);
            for (int i = 0; i < ticks && Test()->Klok->isActive(); ++i)
                Test()->KlokTimer();
            return QStringLiteral("%1 ticks").arg(ticks);
        }
        if (kav::TScrn* scrn = kav::AppForms().Scrn; scrn && scrn->isVisible() && roll < 94) {
            for (int i = 0; i < 30; ++i)
                scrn->DrawDisc();
            QTest::keyClick(scrn, Qt::Key_Space);
            return QStringLiteral("celebration, then a key");
        }
        QWidget* target = QApplication::focusWidget();
        if (!target && !windows.isEmpty())
            target = windows[Pick(int(windows.size()))];
        if (target == Main()->EindButton)
            target = Main();  // not the way out of the program (see above)
        if (!target)
            return QStringLiteral("nothing to press");
        Activate(target);
        const Qt::Key key = Keys[Pick(int(std::size(Keys)))];
        QTest::keyClick(target, key);
        return QStringLiteral("key %1 on %2").arg(int(key), 0, 16).arg(target->objectName());
    }

private:
    std::mt19937 rng_;
};

// What must hold after any action; empty when it does.
QString Broken()
{
    const bool main = Main()->isVisible(), test = Test()->isVisible(), help = Help()->isVisible();
    kav::TScrn* scrn = kav::AppForms().Scrn;
    if (!main && !test && !help && !(scrn && scrn->isVisible()))
        return QStringLiteral("no window is left");
    if (help && (main || test))
        return QStringLiteral("the lesson window shows beside the window that opened it");
    if (main && test)
        return QStringLiteral("the main menu and the session window are both up");
    if (!test && Test()->calculator() && Test()->calculator()->isVisible())
        return QStringLiteral("the calculator is up without its session window");
    const kav::SessionState& s = Session();
    if (s.Attempt < 0 || s.Attempt > s.MaxAttempts)
        return QStringLiteral("attempt %1").arg(s.Attempt);
    if (test && Test()->ScorePanel->isVisible()) {
        static const QRegularExpression score(QStringLiteral("^-?\\d{3,} uit \\d{3,}$"));
        if (!score.match(Test()->ScoreLabel->text()).hasMatch())
            return QStringLiteral("score \"%1\"").arg(Test()->ScoreLabel->text());
    }
    // The caption names the item being answered, never a stale or missing one.
    if (test && Test()->windowTitle().contains(QStringLiteral("(Item: -")))
        return QStringLiteral("caption \"%1\"").arg(Test()->windowTitle());
    // The status bar asks for an entry only while the entry is open.
    const QString entryHint = kav::LongHint(kav::Hint(Help()->InvoerVeld2));
    if (help && !Help()->InvoerVeld2->isVisible() && !entryHint.isEmpty() &&
        Help()->StatusBalk->caption() == entryHint)
        return QStringLiteral("the lesson asks for an entry that is closed");
    if (test && Test()->InvoerPanel->isVisible() && Test()->ContinueButton->isVisible())
        return QStringLiteral("the answer field and Doorgaan are both open");
    return QString();
}

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    // "Lees voor" is pressed too, on a speaker that makes no sound: starting the system's
    // speech service is the speech tests' work.
    void initTestCase()
    {
        kav::SetSpeakerFactory([] { return std::unique_ptr<kav::Speaker>(); });
    }
    // The viewer finds the lessons beside the program in the build folder (see StartForms).
    void cleanupTestCase() { kav::DestroyForms(); }

    void windowsTakenDownWhileUp()
    {
        // The program ending with the session window up and the level box in focus: its
        // destruction moves the focus, which must reach no slot of the half-gone window
        // (the sanitizers report it if it does).
        StartForms(QSize(1024, 768));
        QTest::mouseClick(Main()->Button8, Qt::LeftButton);
        QVERIFY(Test()->isVisible());
        QApplication::setActiveWindow(Test());
        Test()->NivoBox->buttons[1]->setFocus();
        QVERIFY(Test()->NivoBox->buttons[1]->hasFocus());
        kav::DestroyForms();
        QVERIFY(!kav::AppForms().Test);
    }

    void anythingPressedKeepsTheProgramWhole_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<unsigned>("seed");
        const QSize screens[] = {QSize(1024, 768), QSize(1366, 768), QSize(800, 600)};
        // KAVRIN_MONKEY_SEEDS=N for a longer run by hand.
        const unsigned seeds = qMax(1, qEnvironmentVariableIsSet("KAVRIN_MONKEY_SEEDS")
                                           ? qEnvironmentVariableIntValue("KAVRIN_MONKEY_SEEDS")
                                           : 6);
        for (unsigned seed = 1; seed <= seeds; ++seed)
            QTest::addRow("seed %u", seed) << screens[seed % 3] << seed;
    }
    void anythingPressedKeepsTheProgramWhole()
    {
        QFETCH(QSize, screen);
        QFETCH(unsigned, seed);
        StartForms(screen);
        Test()->Klok->blockSignals(true);  // the monkey steps the clock itself
        Help()->script().PlayWaits = false;
        QApplication::setActiveWindow(Main());
        Monkey monkey(seed);
        QStringList last;
        QSet<QString> seen;  // window titles reached, so a run that got nowhere is noticed
        const int actions = Sweep(8000);
        for (int i = 0; i < actions; ++i) {
            const QString what = monkey.Act();
            QCoreApplication::processEvents();  // what the program posted for later
            last.append(what);
            if (last.size() > 12)
                last.removeFirst();
            for (QWidget* w : monkey.Reachable())
                seen.insert(w->windowTitle());
            const QString broken = Broken();
            QVERIFY2(broken.isEmpty(), qPrintable(QStringLiteral("after action %1: %2; the last actions: %3")
                                                      .arg(i)
                                                      .arg(broken, last.join(QStringLiteral("; ")))));
        }
        kav::ClearRecordedMessages();
        QVERIFY2(seen.size() >= 3, qPrintable(QStringList(seen.values()).join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"

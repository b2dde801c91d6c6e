// The session window's flow: activation, START, Doorgaan, the answer field, Einde and the
// ways out.
#include "windows/testform.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/pictures.h"
#include "draw/reading.h"
#include "draw/text.h"
#include "games/bookkeeper.h"
#include "games/saldo.h"
#include "results/handin.h"
#include "results/store.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "windows/calculator.h"
#include "windows/readaloud.h"
#include "windows/resultsform.h"

namespace kav {

namespace {

// Lines as a screen reader says them in one breath: a line that ends without a stop gets one,
// so that the voice pauses where the eye goes to the next line.
QString Spoken(const QStringList& lines)
{
    QStringList said;
    for (const QString& line : lines)
        said << (line.isEmpty() || QStringLiteral(".!?:-,").contains(line.back()) ? line : line + u'.');
    return said.join(u' ');
}

}  // namespace

void TTestForm::FormActivate()
{
    StatusBalk->show();
    move(ScreenOrigin());
    if (AppForms().Menu)
        AppForms().Menu->menuWindow()->hide();
    Randomize();
    Klok->stop();
    HelpButton->show();
    const SessionState& s = Session();
    if (s.BookkeeperMode || s.SaldoMode)
        ShowChoiceScreen();  // runs the game's start step
    else
        StartTest();
}

bool TTestForm::eventFilter(QObject* o, QEvent* e)
{
    // A setting that the class code fixed says why it does not change when clicked.
    if (e->type() == QEvent::MouseButtonPress && code_ && o->isWidgetType()) {
        auto* w = static_cast<QWidget*>(o);
        const bool lockable = w == AantalBox || w == NivoBox || NivoBox->isAncestorOf(w) || w == KeuzeBox ||
                              KeuzeBox->isAncestorOf(w);
        if (lockable && !w->isEnabled() && w->isVisible()) {
            ShowMessage(LockedByCodeMessage(w), MessageKind::Information);
            return true;
        }
    }
    // A window that is shown again hands the focus back to the widget that last had it, even
    // when that one is hidden by now: only a visible field or button is entered.
    if (o == ContinueButton && e->type() == QEvent::FocusIn && ContinueButton->isVisible())
        ContinueButtonEnter();
    if (o == InvoerVeld) {
        if (e->type() == QEvent::FocusIn) {
            if (InvoerVeld->isVisible())
                InvoerVeldEnter();
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                InvoerVeld->clearFocus();  // leaving the field judges the answer
                // Qt reports the field's loss of focus after the judge has focused Doorgaan,
                // and a screen reader then stays silent: Doorgaan's focus is reported last.
                if (QApplication::focusWidget() != InvoerVeld)
                    ReportFocus(QApplication::focusWidget());
                return true;
            }
        } else if (e->type() == QEvent::FocusOut) {
            // Switching to the calculator or to another program is not leaving the field.
            const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
            if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason)
                InvoerVeldExit(QApplication::focusWidget());
        }
    }
    return QDialog::eventFilter(o, e);
}

void TTestForm::setWindowHint(const QString& hint)
{
    SetHint(this, hint);
    StatusBalk->setCaption(LongHint(hint));
}

void TTestForm::StartButtonClick()
{
    SessionState& s = Session();
    StatusBalk->setCaption(QString());
    if (s.DemoMode) {
        int topic = 0;
        while (topic < 8 && !(s.TickedThemes & (1u << topic)))
            ++topic;
        s.ThemeCode = topic + 1;
        s.SessionRunning = true;
        HelpButtonClick();
        return;
    }
    if (s.SessionRunning && Level() != s.LevelAtStart) {
        // Another level in the middle of a session or game: asked first. Nee goes on at the
        // old level; Ja ends the session, and the choice screen shows the new level.
        const int chosen = NivoBox->itemIndex();
        if (!ConfirmStop()) {
            setLevelIndex(s.LevelAtStart - 1);
        } else {
            // As Einde does: the choice screen keeps the ticked themes.
            EndSession();
            ShowChoiceScreen();
            setLevelIndex(chosen);
            return;
        }
    }
    if (!s.SessionRunning && !beginSession())
        return;
    readAloud_->setAllowed(!code_ || code_->readAloud);
    ScorePanel->show();
    KeuzeBox->hide();
    NivoBox->hide();
    ToetsPanel->hide();
    hideButton(StartButton);
    if (s.SessionRunning && Level() == s.LevelAtStart) {
        // Back from the level box at the same level: the session goes on.
        s.LevelAtStart = Level();
        GameSteps& g = s.BookkeeperMode ? bookkeeper_ : saldo_;
        if ((s.BookkeeperMode || s.SaldoMode) && g.resume) {
            g.resume();
        } else if (s.Attempt == 0) {
            ContinueButtonClick();  // the item was finished: on to the next
        } else {
            ClearBitmap(&TextBitmap, col::BtnFace);  // the item in hand, drawn again
            Verdeler();
            paintBitmaps();
        }
        return;
    }
    ScoreLabel->setText(QStringLiteral("000 uit 000"));
    if (!s.SessionRunning) {
        const Picture uitleg = LoadPicture(QStringLiteral("uitleg"));
        const int w = Round(0.8 * HelpButton->width());
        SetGlyph(HelpButton, RenderPicture(uitleg, w, AspectHeight(uitleg, w)));
    }
    ResetSession(Level());
    s.AnswersHidden = code_.has_value();
    if (!s.BookkeeperMode && !s.SaldoMode)
        recorder_.start(NaamVeld->text().trimmed(), code_ ? NormaliseTestCode(CodeVeld->text()) : QString(),
                        s.SessionMode, s.PracticeMode, Level(), TestLength());
    if (!s.PracticeMode && !s.BookkeeperMode)
        HelpButton->hide();  // no explanations during a test
    ContinueButtonClick();
}

bool TTestForm::beginSession()
{
    SessionState& s = Session();
    highestRank_ = 1;
    gameReported_ = false;
    if (s.BookkeeperMode || s.SaldoMode || s.PracticeMode) {
        code_.reset();
        testLength_ = 0;
        return true;
    }
    testLength_ = AantalBox->currentData().toInt();
    const QString typed = CodeVeld->text().trimmed();
    if (typed.isEmpty()) {
        code_.reset();
        return true;
    }
    const std::optional<TestCodeSettings> settings = DecodeTestCode(typed);
    QString refusal;
    if (!settings)
        refusal = UnknownTestCodeMessage();
    else if (settings->sessionMode != s.SessionMode)
        refusal = QStringLiteral("Deze toetscode hoort bij een toets over ") + TopicName(settings->sessionMode) +
                  QStringLiteral(".\rKies die toets in het hoofdmenu.");
    if (!refusal.isEmpty()) {
        ShowMessage(refusal);
        CodeVeld->setFocus();
        CodeVeld->selectAll();
        return false;
    }
    // The code wins over a seed from the command line: every pupil gets the same items.
    code_ = settings;
    testLength_ = settings->length;
    SeedRandom(TestSeed(*settings));
    return true;
}

void TTestForm::ContinueButtonClick()
{
    SessionState& s = Session();
    ContinueButton->setText(QStringLiteral("&Doorgaan"));
    if (s.BookkeeperMode || s.SaldoMode) {
        GameSteps& g = s.BookkeeperMode ? bookkeeper_ : saldo_;
        if (g.next)
            g.next();
        return;
    }
    if (s.Attempt == 0 && TestLength() > 0 && s.ItemCount >= TestLength()) {
        // The test has had all its items: it ends, and its results show.
        EndSession();
        ShowChoiceScreen();
        return;
    }
    hideButton(ContinueButton);
    ClearBitmap(&TextBitmap, col::BtnFace);
    if (s.Attempt != 0) {
        Verdeler();  // the second attempt: same item, text only
        paintBitmaps();
        return;
    }
    // Every theme has items now; the check keeps the scheduling loop below from running for
    // ever should a choice ever hold none.
    if (!anyThemeAvailable()) {
        ShowMessage(QStringLiteral("Van de gekozen thema's zijn nog geen opgaven beschikbaar.\rKies andere thema's."),
                    MessageKind::Information);
        s.SessionRunning = false;
        ShowChoiceScreen();
        return;
    }
    ClearBitmap(&PictureBitmap, col::BtnFace);
    FrameBitmap(&PictureBitmap, col::Black);
    // A code without a generator is passed over at once: schedule again.
    NextScheduledItem([this, &s]() {
        if (s.ThemeCode >= 1 && s.ThemeCode <= 7) {
            InfoLabel->setText(QStringLiteral("Gebruik Pen en Papier !"));
            InfoLabel->move(InfoLabel->x(), Round(7.5 * ScreenScale));
            CalcButton->hide();
            infoImage->clear();
        } else {
            InfoLabel->setText(QStringLiteral("Gebruik: Pen, Papier en event. een Rekenmachine"));
            InfoLabel->move(InfoLabel->x(), Round(ScreenScale));
            CalcButton->show();
            infoImage->setPixmap(QPixmap::fromImage(Glyph(CalcButton)));
        }
    });
    paintBitmaps();
}

void TTestForm::InvoerVeldEnter()
{
    SessionState& s = Session();
    setWindowHint(Hint(InvoerVeld));
    if (s.Attempt == 0)
        s.Attempt = 1;
    setWindowTitle(sessionTitle_ + QStringLiteral(" (Item: ") + QString::number(s.ThemeCode) +
                   QStringLiteral("  Poging: ") + QString::number(s.Attempt) + QStringLiteral(")"));
    InvoerVeld->selectAll();
}

void TTestForm::InvoerVeldExit(QWidget* newFocus)
{
    SessionState& s = Session();
    if (!(s.SessionRunning || s.DemoMode) || InvoerPanel->isHidden())
        return;
    for (QWidget* w : {static_cast<QWidget*>(NivoBox), static_cast<QWidget*>(EindButton),
                       static_cast<QWidget*>(NivoButton), static_cast<QWidget*>(CalcButton),
                       static_cast<QWidget*>(HelpButton)})
        if (newFocus && (newFocus == w || w->isAncestorOf(newFocus)))
            return;
    s.GivenAnswer = 0;
    auto refuse = [this](const QString& message) {
        // The message and the way back into the field come after the focus change is over.
        QMetaObject::invokeMethod(
            this,
            [this, message]() {
                ShowMessage(message);
                InvoerVeld->setFocus();
            },
            Qt::QueuedConnection);
    };
    auto accepted = [this, &s]() {
        InvoerVeld->setText(CleanAnswer(InvoerVeld->text()));  // "Ingegeven:" shows what was read
        InvoerPanel->hide();
        if (!s.DemoMode) {
            GebruikPanel->hide();
            judge();
        }
    };
    const int kind = Tag(InvoerVeld);
    if (kind == 1) {
        const auto v = ParseWhole(InvoerVeld->text());
        if (!v) {
            refuse(WholeNumberError());
            return;
        }
        s.GivenAnswer = *v;
        accepted();
    } else if (kind == 2) {
        InvoerVeld->setText(RewriteSeparator(InvoerVeld->text(), DecimalSeparator));
        const auto v = ParseDecimal(InvoerVeld->text(), DecimalSeparator);
        if (!v) {
            refuse(DecimalNumberError(DecimalSeparator));
            return;
        }
        s.GivenDecimal = *v;
        accepted();
    } else if (!s.DemoMode) {
        InvoerPanel->hide();
        GebruikPanel->hide();
        judge();
    }
}

void TTestForm::judge()
{
    const SessionState& s = Session();
    const bool recording = recorder_.running() && !s.BookkeeperMode && !s.SaldoMode;
    if (recording)
        recorder_.aboutToJudge();
    readAloud_->judging();
    // The judgement is said before an explanation is drawn, the explanation after it.
    judgement_.clear();
    const ExplanationHandler explain = SetExplanationHandler({});
    SetExplanationHandler([this, &explain](int code, bool right) {
        judgement_ << announceAreas();
        if (explain)
            explain(code, right);
    });
    Judge(InvoerVeld->text());
    SetExplanationHandler(explain);
    if (recording)
        recorder_.judged(InvoerVeld->text());
    if (s.SaldoMode)
        SaldoShowBalance();
    highestRank_ = qMax(highestRank_, s.Rank);
}

void TTestForm::OpenAnswer(const QString& caption, const QString& hint)
{
    const SessionState& s = Session();
    InvoerLabel->setText(caption);
    SetHint(InvoerVeld, hint);
    SetTag(InvoerVeld, s.AnswerKind);
    InvoerVeld->setText(QStringLiteral("?"));
    InvoerPanel->move(InvoerPanel->x(), Tekst->y() + Round(s.TextLine * LineHeight));
    InvoerPanel->show();
    InvoerPanel->raise();
    InvoerVeld->setEnabled(true);
    GebruikPanel->move(GebruikPanel->x(), InvoerPanel->y() + InvoerPanel->height() + 1);
    GebruikPanel->show();
    paintBitmaps();
    // A new question: "Lees voor" reads it.
    readAloud_->questionShown();
    // A screen reader says the question, and hears it again with the field: named by its
    // caption, described by the question.
    announceAreas();
    QString name = caption.trimmed();
    if (name.endsWith(u':'))
        name = name.chopped(1).trimmed();
    InvoerVeld->setAccessibleName(name.isEmpty() ? QStringLiteral("Antwoord") : name.left(1).toUpper() + name.mid(1));
    InvoerVeld->setAccessibleDescription(Spoken(ReadingLines(TextBitmap.textLog())));
    InvoerVeld->setFocus();
}

QStringList TTestForm::announceAreas()
{
    // The picture's texts (its labels, a table of numbers) are read with the picture when the
    // pupil goes there; said each time, they would drown the judgement.
    announcer_.markSaid(Plaatje);
    return announcer_.announce(Tekst);
}

void TTestForm::SetScore(const QString& text)
{
    ScoreLabel->setText(text);
}

void TTestForm::ShowContinue()
{
    // The judgement (or what is left of it after an explanation) is said, and Doorgaan
    // repeats it when it gets the focus.
    judgement_ << announceAreas();
    const SessionState& s = Session();
    if (ScorePanel->isVisible() && !judgement_.isEmpty() && s.Attempt == 0)  // a final judgement
        judgement_ << QStringLiteral("Score: %1 uit %2.").arg(s.Points).arg(s.ItemCount);
    ContinueButton->setAccessibleDescription(Spoken(judgement_));
    judgement_.clear();
    ContinueButton->move(ContinueButton->x(), ScorePanel->y() - ContinueButton->height() - 1);
    ContinueButton->show();
    ContinueButton->raise();
    ContinueButton->setFocus();
}

void TTestForm::EindButtonClick()
{
    EindButton->setFocus();
    SessionState& s = Session();
    if (s.SessionRunning) {
        // Einde is made for it: no question, unless a test of set length still has items to
        // come (the status bar invites Einde after every item).
        if (ItemsToCome() && !ConfirmStop())
            return;
        EndSession();
        ShowChoiceScreen();
        return;
    }
    if (s.SaldoMode && AppForms().Menu)
        AppForms().Menu->setSaldoTag(1);
    if (AppForms().Menu)
        AppForms().Menu->menuWindow()->show();
    accept();
}

void TTestForm::done(int result)
{
    // Every way out (Einde, the window's close button, Escape) ends the session; Escape and
    // the close button ask first while a session or game runs (Einde comes here only when
    // none runs), but not when a test has had all its items: nothing is lost then.
    const SessionState& s = Session();
    if (s.SessionRunning && !s.DemoMode) {
        const bool allJudged = TestLength() > 0 && !s.PracticeMode && !ItemsToCome();
        if (!allJudged && !ConfirmStop())
            return;
        EndSession();
    }
    FormClose();
    QDialog::done(result);
}

bool TTestForm::ConfirmStop()
{
    return AskYesNo(QStringLiteral("Wil je stoppen met deze sessie?"));
}

bool TTestForm::ItemsToCome() const
{
    const SessionState& s = Session();
    if (!s.SessionRunning || s.PracticeMode || s.BookkeeperMode || s.SaldoMode || s.DemoMode || TestLength() <= 0)
        return false;
    return s.ItemCount < TestLength();
}

void TTestForm::EndSession()
{
    SessionState& s = Session();
    if (s.BookkeeperMode || s.SaldoMode) {
        endGame();
        return;
    }
    if (!recorder_.running())
        return;
    SessionResult result = recorder_.finish();
    if (!s.PracticeMode) {
        // The next pupil at this computer starts with an empty name and code.
        NaamVeld->clear();
        CodeVeld->clear();
    }
    // Nothing judged: nothing to keep, except that a coded test was opened (niet begonnen),
    // so the teacher can tell who came from who did not.
    const bool notStarted = result.items.isEmpty();
    if (notStarted && (result.code.isEmpty() || result.practice))
        return;
    // Kept before it is shown: a crash later loses nothing of it.
    // One that can't be kept is told every time with its cause, kept in memory to be written
    // with the next session, and offered as a PDF.
    ResultStore* st = store();
    result.id = st->save(result);
    if (HandInQueue* school = SchoolHandIn())
        school->handInWaiting();  // in the background; the window shows how it went
    const QString notice = st->takeNotice();
    if (!notice.isEmpty())
        ShowMessage(notice, MessageKind::Warning);
    if (!notStarted)
        ShowResultsWindow(this, result, ResultsView::Pupil, result.id != 0);
}

void TTestForm::endGame()
{
    const SessionState& s = Session();
    if (gameReported_ || s.ItemCount < 1)
        return;
    gameReported_ = true;
    QString text;
    if (s.SaldoMode) {
        // The balance of the rounds answered, as the level button shows it (a round whose
        // balance is still asked for does not count).
        const int balance = Saldo().Shown;
        text = QStringLiteral("Saldo Plus\rGespeelde rondes: %1\rGoede antwoorden: %2\rEindsaldo: %3\r%4")
                   .arg(s.ItemCount)
                   .arg(s.Points)
                   .arg(balance)
                   .arg(balance > 0 ? QStringLiteral("Gewonnen!") : QStringLiteral("Niet gewonnen."));
    } else {
        text = QStringLiteral("Boekhouderspel\rGoede antwoorden: %1 van de %2\rHoogste rang: %3")
                   .arg(s.Points)
                   .arg(s.ItemCount)
                   .arg(RankName(highestRank_));
    }
    ShowMessage(text, MessageKind::Information);
}

void TTestForm::hideButton(QWidget* button)
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == button || button->isAncestorOf(focus))) {
        // Qt would hand the focus to the next button (Einde); Space there would end the session.
        if (InvoerPanel->isVisible() && button != InvoerPanel && !button->isAncestorOf(InvoerPanel))
            InvoerVeld->setFocus();
        else
            Tekst->setFocus();
    }
    button->hide();
}

void TTestForm::keyPressEvent(QKeyEvent* e)
{
    // The buttons are no default buttons (Enter in the answer field must only judge), so Enter
    // reaches the window here: it presses the button that has the focus. Not Einde: a pupil
    // who presses Enter to go on while Einde has the focus would lose the session.
    const int key = e->key();
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier) {
        auto* b = qobject_cast<QPushButton*>(focusWidget());
        if (b && b != EindButton && b->isVisible() && b->isEnabled()) {
            b->click();
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

void TTestForm::FormClose()
{
    Session().SessionRunning = false;
    Klok->stop();
    readAloud_->stop();
    if (calculator_)
        calculator_->putAway();
    if (AppForms().Menu)
        AppForms().Menu->menuWindow()->show();
}

void TTestForm::ContinueButtonEnter()
{
    // The caption without its shortcut mark: the status bar shows the "&" as it is.
    const QString caption = QString(ContinueButton->text()).remove(u'&');
    const QString hint = QStringLiteral("|Druk op  '") + caption + QStringLiteral("'  of  'Einde'");
    SetHint(ContinueButton, hint);
    setWindowHint(hint);
}

}  // namespace kav

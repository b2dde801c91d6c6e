// The session window as host of the games: the game port's controls, the timer Klok and
// the celebration screen.
#include "windows/testform.h"

#include <QLabel>

#include "draw/measures.h"
#include "games/saldo.h"
#include "session/session.h"
#include "ui/forms.h"
#include "windows/scrn.h"

namespace kav {

void TTestForm::KlokTimer()
{
    const SessionState& s = Session();
    GameSteps& g = s.BookkeeperMode ? bookkeeper_ : saldo_;
    if ((s.BookkeeperMode || s.SaldoMode) && g.tick)
        g.tick();
    else
        Klok->stop();
}

void TTestForm::ShowCelebration()
{
    auto sessionEnds = [this]() {
        activateWindow();
        EndSession();  // won: the game's results
        Session().SessionRunning = false;
        Saldo().Running = false;
        EindButtonClick();
    };
    TScrn* scrn = CelebrationWindow();
    if (!scrn) {
        sessionEnds();
        return;
    }
    scrn->FirstActivation = true;
    ShowModal(scrn, sessionEnds);
}

QWidget* TTestForm::control(Control c) const
{
    switch (c) {
    case Control::HelpButton: return HelpButton;
    case Control::KeuzeBox: return KeuzeBox;
    case Control::CalcButton: return CalcButton;
    case Control::InvoerPanel: return InvoerPanel;
    case Control::GebruikPanel: return GebruikPanel;
    case Control::ContinueButton: return ContinueButton;
    case Control::StartButton: return StartButton;
    case Control::ScorePanel: return ScorePanel;
    case Control::NivoBox: return NivoBox;
    }
    return nullptr;
}

void TTestForm::SetSessionTitle(const QString& title)
{
    sessionTitle_ = title;
    setWindowTitle(QStringLiteral("Kavrin 2: ") + title);
}

void TTestForm::ShowControl(Control c, bool visible)
{
    QWidget* w = control(c);
    if (!visible) {  // the focus it holds goes where it does no harm, never stays hidden
        hideButton(w);
        return;
    }
    w->setVisible(visible);
    if (visible)
        w->raise();
}

void TTestForm::EnableControl(Control c, bool enabled)
{
    control(c)->setEnabled(enabled);
}

void TTestForm::PlaceHelpButton()
{
    if (AppForms().Menu)
        SetGlyph(HelpButton, AppForms().Menu->helpGlyph());
    HelpButton->move(StatusBalk->width() - HelpButton->width() - TextMargin, HelpButton->y());
}

void TTestForm::PlaceStartBesideLevels()
{
    StartButton->move(NivoBox->x() + NivoBox->width() - TextMargin - StartButton->width(),
                      NivoBox->y() + NivoBox->height() - StartButton->height() - TextMargin / 2);
    StartButton->raise();
}

void TTestForm::PlaceStartCentred(int top)
{
    StartButton->move((Tekst->width() - StartButton->width() - TextMargin) / 2, Tekst->y() + top);
}

int TTestForm::StartButtonHeight() const
{
    return StartButton->height();
}

void TTestForm::FocusControl(Control c)
{
    if (c == Control::NivoBox) {
        if (QRadioButton* b = NivoBox->buttons.value(NivoBox->itemIndex()))
            b->setFocus();
        return;
    }
    control(c)->setFocus();
}

void TTestForm::SetInfo(const QString& text, int top)
{
    InfoLabel->setText(text);
    InfoLabel->move(InfoLabel->x(), top);
    infoImage->clear();
}

void TTestForm::PlaceContinue(int top)
{
    ContinueButton->move(ContinueButton->x(), Tekst->y() + top);
}

void TTestForm::SetContinueCaption(const QString& caption)
{
    ContinueButton->setText(caption);
}

int TTestForm::ScorePanelTop() const
{
    return ScorePanel->y() - Tekst->y();
}

int TTestForm::ContinueTop() const
{
    return ContinueButton->y() - Tekst->y();
}

int TTestForm::ContinueHeight() const
{
    return ContinueButton->height();
}

int TTestForm::StatusBarTop() const
{
    return StatusBalk->y() - Tekst->y();
}

void TTestForm::ApplyLevel(int index)
{
    if (index >= 0)
        NivoBox->setItemIndex(index);
    NivoBoxExit();
}

void TTestForm::SetKlokInterval(int ms)
{
    Klok->setInterval(ms);
}

void TTestForm::EnableKlok(bool on)
{
    if (on)
        Klok->start();
    else
        Klok->stop();
}

bool TTestForm::SaldoExplained() const
{
    if (AppForms().Menu)
        return AppForms().Menu->saldoTag() != 0;
    return saldoExplained_;
}

void TTestForm::SetSaldoExplained()
{
    saldoExplained_ = true;
    if (AppForms().Menu)
        AppForms().Menu->setSaldoTag(1);
}

}  // namespace kav

// The session window's choice screens: the titles and theme check boxes of each kind of
// session, the level box and its picture on the level button, and the rule that enables START.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "draw/measures.h"
#include "draw/messages.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "session/catalogue.h"
#include "session/engine.h"
#include "session/session.h"
#include "themes/verdeler.h"
#include "ui/forms.h"
#include "windows/testform.h"

namespace kav {

void TTestForm::StartTest()
{
    SessionState& s = Session();
    const int m = s.SessionMode;
    if (s.DemoMode) {
        sessionTitle_ = QStringLiteral(" Demonstratie en uitleg driehoeksgetallen ");
        KeuzeBox->setTitle(sessionTitle_);
        SetHint(KeuzeBox, QStringLiteral("|Kies een demonstratie of uitleg"));
    } else if (s.PracticeMode) {
        sessionTitle_ = m == 0    ? QStringLiteral(" Oefenen met Verbanden")
                        : m == 10 ? QStringLiteral(" Oefenen met Verhoudingen")
                                  : QStringLiteral(" Oefenen met Driehoeksgetallen");
        KeuzeBox->setTitle(sessionTitle_ + QStringLiteral(" « Selectie » "));
        SetHint(KeuzeBox, QStringLiteral("|Kies minstens één thema om te oefenen"));
    } else {
        sessionTitle_ = m < 0     ? QStringLiteral(" GROTE UITDAGING ")
                        : m == 0  ? QStringLiteral(" Verbanden - Test")
                        : m == 10 ? QStringLiteral(" Verhoudingen - Test")
                                  : QStringLiteral(" Driehoeksgetallen - Test");
        if (m == -10) {
            SetHint(KeuzeBox, QStringLiteral("|Je hebt geen keus: ALLES!"));
            KeuzeBox->setTitle(sessionTitle_);
        } else {
            SetHint(KeuzeBox, QStringLiteral("|Kies minstens drie thema's voor de TEST"));
            KeuzeBox->setTitle(sessionTitle_ + QStringLiteral(" « Selectie » "));
        }
    }
    for (int j = 1; j <= 8; ++j) {
        QCheckBox* c = CheckBoxes[j - 1];
        if (m == -10) {
            c->setText(QStringLiteral(" Alles door elkaar !"));
            c->setChecked(true);  // all of them, whatever a code of another test ticked
            c->setVisible(true);
            c->setEnabled(false);
        } else {
            const QString title = ThemeTitle(m + j);
            c->setText(QStringLiteral(" ") + title);
            c->setVisible(!title.isEmpty());
            c->setEnabled(true);
        }
    }
    setWindowTitle(QStringLiteral("Kavrin 2: ") + sessionTitle_);
    // School computers are shared: every opening starts without a name or a code.
    NaamVeld->clear();
    CodeVeld->clear();
    AantalBox->setCurrentIndex(0);
    ShowChoiceScreen();
}

void TTestForm::ShowChoiceScreen()
{
    SessionState& s = Session();
    Klok->stop();
    ClearBitmap(&TextBitmap, col::BtnFace);
    ClearBitmap(&PictureBitmap, col::BtnFace);
    FrameBitmap(&PictureBitmap, col::Black);
    HelpButton->show();
    CalcButton->hide();
    InvoerPanel->hide();
    GebruikPanel->hide();
    ContinueButton->hide();
    StartButton->show();
    KeuzeBox->show();
    ScorePanel->show();
    NivoBox->setEnabled(true);
    if (AppForms().Menu)
        SetGlyph(HelpButton, AppForms().Menu->helpGlyph());
    HelpButton->move(StatusBalk->width() - HelpButton->width() - TextMargin, HelpButton->y());
    if (!s.SessionRunning) {
        NivoBox->setItemIndex(0);
        NivoBoxExit();
    }
    NivoBox->show();
    NivoBox->raise();
    StartButton->raise();
    // The level box covers the score panel ("999 uit 999" before a first session): hidden, so
    // that a screen reader does not say it. START shows it again.
    if (NivoBox->geometry().intersects(ScorePanel->geometry()))
        ScorePanel->hide();
    setKopImage(QStringLiteral("smile"));

    if (s.BookkeeperMode || s.SaldoMode) {
        // A game has no name field: nothing of a test's settings stays, nor its hints.
        ToetsPanel->hide();
        SetHint(StartButton, QStringLiteral("|Druk op START om te beginnen"));
        GameSteps& g = s.BookkeeperMode ? bookkeeper_ : saldo_;
        if (g.start)
            g.start();
        return;
    }

    // Back from a test or practice the caption no longer names the last item.
    setWindowTitle(QStringLiteral("Kavrin 2: ") + sessionTitle_);
    Canvas* t = &TextBitmap;
    if (s.SessionMode >= 0) {
        if (s.DemoMode) {
            if (!s.SessionRunning)
                for (QCheckBox* c : CheckBoxes)
                    c->setChecked(false);
            DrawTextItem(QStringLiteral("Kies één onderwerp voor"), col::Blue, false, TextMargin, 1, 1, t);
            DrawTextItem(QStringLiteral("de uitleg of de demonstratie."), col::Blue, false, TextMargin, 2, 1, t);
            NivoBox->hide();
            ScorePanel->hide();
            StartButton->move(NivoBox->x() + NivoBox->width() - TextMargin - StartButton->width(),
                              NivoBox->y() + NivoBox->height() - StartButton->height() - TextMargin / 2);
        } else {
            StartButton->move(NivoBox->x() + NivoBox->width() - TextMargin - StartButton->width(),
                              NivoBox->y() + NivoBox->height() - StartButton->height() - TextMargin / 2);
            DrawTextItem(QStringLiteral("Kies het juiste "), col::Black, false, TextMargin, 1, 1, t);
            DrawTextItem(QStringLiteral("niveau"), col::Blue, false, LastTextEnd, 1, 1, t);
            DrawTextItem(QStringLiteral("en "), col::Black, false, TextMargin, 2, 1, t);
            if (s.PracticeMode) {
                DrawTextItem(QStringLiteral("minstens één thema"), col::Blue, false, LastTextEnd, 2, 1, t);
                DrawTextItem(QStringLiteral("om te oefenen."), col::Black, false, TextMargin, 3, 1, t);
            } else {
                DrawTextItem(QStringLiteral("minstens drie thema's"), col::Blue, false, LastTextEnd, 2, 1, t);
                DrawTextItem(QStringLiteral("voor de TEST."), col::Black, false, TextMargin, 3, 1, t);
            }
            setWindowHint(QStringLiteral("|Kies het niveau, de thema's en druk op START"));
            if (!s.SessionRunning)
                for (QCheckBox* c : CheckBoxes)
                    c->setChecked(!s.PracticeMode);
        }
        DrawTextItem(QStringLiteral("Druk daarna op "), col::Black, false, TextMargin, 4, 1, t);
        DrawTextItem(QStringLiteral("START"), col::Blue, true, LastTextEnd, 4, 1, t);
        DrawTextItem(QStringLiteral("om te beginnen."), col::Black, false, TextMargin, 5, 1, t);
        s.SessionRunning = false;
        showToetsPanel();
        UpdateSelection();
        paintBitmaps();
        return;
    }

    // The mixed challenge.
    setWindowHint(QStringLiteral("|Druk op START om te beginnen"));
    if (AppForms().Menu) {
        const QImage glyph = AppForms().Menu->allesGlyph();
        const int w = qMax(1, glyph.width()), h = glyph.height();
        const double sc = MinReal(1.5 * w, 0.75 * Tekst->width()) / w;
        const int sw = Round(sc * w), sh = Round(sc * h);
        const int left = (Tekst->width() - sw) / 2, top = 8 * LineHeight;
        t->stretchDraw(left, top, left + sw, top + sh, AppForms().Menu->winnerPicture());
        DrawTextItem(QStringLiteral("Jij hebt lef !"), col::Red, true, Centred,
                     (1.5 * h + 9 * LineHeight) / LineHeight, 1, t);
    }
    setLevelIndex(2);
    NivoBox->hide();
    DrawTextItem(QStringLiteral("Druk op"), col::Black, false, Centred, 3, 1, t);
    DrawTextItem(QStringLiteral("START"), col::Blue, true, Centred, 4, 1, t);
    DrawTextItem(QStringLiteral("om te beginnen."), col::Black, false, Centred, 5, 1, t);
    StartButton->move((Tekst->width() - StartButton->width() - TextMargin) / 2,
                      ScorePanel->y() - TextMargin - StartButton->height());
    ScoreLabel->setText(QStringLiteral("000 uit 000"));
    s.SessionRunning = false;
    showToetsPanel();
    UpdateSelection();
    paintBitmaps();
}

void TTestForm::showToetsPanel()
{
    const SessionState& s = Session();
    const bool test = !s.PracticeMode && !s.DemoMode && !s.BookkeeperMode && !s.SaldoMode;
    const bool practice = s.PracticeMode && !s.DemoMode;
    for (QWidget* w : {static_cast<QWidget*>(CodeLabel), static_cast<QWidget*>(CodeVeld),
                       static_cast<QWidget*>(AantalLabel), static_cast<QWidget*>(AantalBox)})
        w->setVisible(test);
    // In practice only the name, which may stay empty; the panel shrinks to that row.
    const int rows = test ? toetsPanelPlace_.height() : CodeLabel->y();
    ToetsPanel->resize(ToetsPanel->width(), rows);
    // The theme boxes at their places in the design; the mixed challenge closes them up.
    for (QCheckBox* c : CheckBoxes) {
        const QRect design = c->property("kavDesign").toRect();
        c->setGeometry(c->x(), Round(design.y() * controlScale_), c->width(), Round(design.height() * controlScale_));
    }
    if (s.SessionMode < 0 && test) {
        // The mixed challenge's text column holds its picture: the panel goes to the foot of
        // the choice box, and its eight boxes close up above it.
        const QRect keuze = KeuzeBox->geometry();
        const int top = keuze.height() - TextMargin - ToetsPanel->height();
        ToetsPanel->move(keuze.x() + (keuze.width() - ToetsPanel->width()) / 2, keuze.y() + top);
        const int first = CheckBoxes[0]->y();
        const int step = qMin(CheckBoxes[1]->y() - first, (top - TextMargin / 2 - first) / 8);
        for (int j = 0; j < 8; ++j)
            CheckBoxes[j]->setGeometry(CheckBoxes[j]->x(), first + j * step, CheckBoxes[j]->width(),
                                       qMin(CheckBoxes[j]->height(), step));
    } else {
        ToetsPanel->move(toetsPanelPlace_.topLeft());
    }
    ToetsPanel->setVisible(test || practice);
    ToetsPanel->raise();
    lockToCode(code_.has_value());
    SetHint(StartButton, test ? QStringLiteral("|Vul je naam in en druk op START")
                              : QStringLiteral("|Druk op START om te beginnen"));
    if (test)
        NaamVeld->setFocus();
}

void TTestForm::lockToCode(bool locked)
{
    const SessionState& s = Session();
    for (QCheckBox* c : CheckBoxes)
        c->setEnabled(!locked && s.SessionMode >= 0);
    NivoBox->setEnabled(!locked);
    AantalBox->setEnabled(!locked);
}

QString TTestForm::LockedByCodeMessage(const QWidget* w) const
{
    if (w == AantalBox || AantalBox->isAncestorOf(w))
        return QStringLiteral("De toetscode bepaalt het aantal opgaven.");
    if (w == KeuzeBox || KeuzeBox->isAncestorOf(w))
        return QStringLiteral("De toetscode bepaalt de thema's.");
    return QStringLiteral("De toetscode bepaalt het niveau.");
}

void TTestForm::CodeVeldChange()
{
    SessionState& s = Session();
    code_.reset();
    const std::optional<TestCodeSettings> settings = DecodeTestCode(CodeVeld->text());
    // A code of another test is no code for this one: START says so.
    if (settings && settings->sessionMode == s.SessionMode) {
        code_ = settings;
        if (s.SessionMode >= 0)
            for (int n = 1; n <= 8; ++n)
                CheckBoxes[n - 1]->setChecked((settings->themes >> (n - 1)) & 1u);
        setLevelIndex(settings->level - 1);
        AantalBox->setCurrentIndex(qMax(0, AantalBox->findData(settings->length)));
    }
    lockToCode(code_.has_value());
    UpdateSelection();
}

void TTestForm::setLevelIndex(int index)
{
    NivoBox->setItemIndex(index);
    NivoBoxExit();
}

void TTestForm::UpdateSelection()
{
    SessionState& s = Session();
    s.TickedCount = 0;
    s.TickedThemes = 0;
    for (int n = 1; n <= 8; ++n) {
        QCheckBox* c = CheckBoxes[n - 1];
        if (c->isChecked() && !c->isHidden()) {
            ++s.TickedCount;
            s.TickedThemes |= 1u << (n - 1);
        }
    }
    const bool test = !s.PracticeMode && !s.DemoMode && !s.BookkeeperMode && !s.SaldoMode;
    // A test is the pupil's own: it starts with a name.
    const bool named = !test || !NaamVeld->text().trimmed().isEmpty();
    StartButton->setEnabled(named && ((s.PracticeMode && s.TickedCount > 0) || (!s.PracticeMode && s.TickedCount > 2) ||
                                      s.SessionMode < 0 || (s.DemoMode && s.TickedCount == 1) || s.BookkeeperMode));
}

void TTestForm::CheckBox1Click()
{
    SessionState& s = Session();
    const unsigned previous = s.TickedThemes;
    UpdateSelection();
    if (s.SessionMode == 30 && s.TickedCount > 1) {
        for (int n = 1; n <= 8; ++n)
            if (previous & (1u << (n - 1)))
                CheckBoxes[n - 1]->setChecked(false);
        UpdateSelection();
    }
}

void TTestForm::NivoBoxExit()
{
    const int index = NivoBox->itemIndex();
    if (Tag(NivoButton) != index) {
        static const QString names[] = {QStringLiteral("Starter"), QStringLiteral("Durver"), QStringLiteral("Prof !")};
        SetLevelGlyph(QStringLiteral("NIVEAU"), index >= 0 && index <= 2 ? names[index] : QString());
    }
    SetTag(NivoButton, index);
    Session().LevelIndex = qMax(index, 0);
}

void TTestForm::SetLevelGlyph(const QString& title, const QString& value)
{
    // Sized by the button rather than by the screen width, so on a wide screen it fills the
    // button as it does on a 4 : 3 one; both words centred.
    const double f = NivoButton->width() / 66.0;
    const int w = Round(60 * f), h = Round(0.7 * w);
    Canvas g(w, h);
    g.setBrush(col::BtnFace);
    g.fillRect(0, 0, w, h);
    // Always the text area's own font: a game may have left TextBitmap in a larger one.
    g.font.family = FontFamily;
    g.font.size = BaseFontSize;
    g.font.italic = g.font.underline = false;
    g.font.bold = true;
    g.font.color = col::Purple;
    g.textOut((w - g.textWidth(title)) / 2, Round(f), title);
    g.font.color = col::Blue;
    // A long value (a large balance) gets a smaller font rather than losing its ends.
    while (g.textWidth(value) > w - 2 && g.font.size > 1)
        --g.font.size;
    g.textOut((w - g.textWidth(value)) / 2, Round(1.25 * LineHeight), value);
    SetGlyph(NivoButton, g.image());
    NivoButton->setAccessibleName(title.left(1) + title.mid(1).toLower() + QStringLiteral(": ") + value);
    // Another picture than the level's (a game's balance): the next level choice draws the level again.
    if (title != QStringLiteral("NIVEAU"))
        SetTag(NivoButton, -1);
}

int TTestForm::Level() const
{
    return kav::Level();
}

void TTestForm::NivoButtonClick()
{
    if (Session().SessionMode < 0)
        return;
    if (code_) {
        ShowMessage(LockedByCodeMessage(NivoBox), MessageKind::Information);
        return;
    }
    NivoBox->show();
    NivoBox->raise();
    NivoBox->setFocus();
    if (QRadioButton* b = NivoBox->buttons.value(NivoBox->itemIndex()))
        b->setFocus();
    ContinueButton->hide();
    GebruikPanel->hide();
    InvoerPanel->hide();
    StartButton->show();
    StartButton->raise();
}

bool TTestForm::anyThemeAvailable() const
{
    const SessionState& s = Session();
    if (s.SessionMode < 0) {
        for (int code = 1; code <= 30; ++code)
            if (HasGenerator(code))
                return true;
        return false;
    }
    for (int n = 1; n <= 8; ++n)
        if ((s.TickedThemes & (1u << (n - 1))) && HasGenerator(ThemeCodeFor(n)))
            return true;
    return false;
}

}  // namespace kav

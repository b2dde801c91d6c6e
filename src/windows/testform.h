// The session window: every exercise, test, demonstration choice and game runs here.
// Text area on the left, picture area on the right, both drawn into off-screen canvases.
#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "draw/canvas.h"
#include "session/context.h"
#include "ui/ui.h"

class QLabel;

namespace kav {

class Calculator;

// A paint box: shows its canvas whole at (0, 0).
class PaintBox : public QWidget {
    Q_OBJECT
public:
    PaintBox(Canvas* source, QWidget* parent);
    void setSource(Canvas* source)
    {
        source_ = source;
        update();
    }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Canvas* source_;
};

// A radio group: a group box with a column of items and one item index.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& title, const QStringList& items, QWidget* parent);
    int itemIndex() const;
    void setItemIndex(int i);
    QList<QRadioButton*> buttons;
signals:
    void exited();
    void changed();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;
};

// Steps of a game played in the session window: at activation (start), at START again at
// the same level (resume), at Doorgaan (next), and at every tick of the timer Klok.
struct GameSteps {
    std::function<void()> start, resume, next, tick;
};

class TTestForm : public QDialog, public AnswerPort, public GamePort {
    Q_OBJECT
public:
    explicit TTestForm(QWidget* parent = nullptr);
    ~TTestForm() override;
    bool librariesOk() const { return librariesOk_; }

    void layoutForScreen(QSize screen);
    // The main menu shows the window for a session: activation, then the choice screen.
    void showFromMainMenu();

    void StartTest();
    void ShowChoiceScreen();
    void UpdateSelection();
    void CheckBox1Click();
    void NivoBoxExit();
    void NivoButtonClick();
    void EindButtonClick();
    void HelpButtonClick();
    void CalcButtonClick();
    void ContinueButtonEnter();
    void StartButtonClick();
    void ContinueButtonClick();
    void InvoerVeldEnter();
    void InvoerVeldExit(QWidget* newFocus);
    // One tick of Klok: the running game's animation step.
    void KlokTimer();
    // The celebration screen; when it closes the session ends and the window with it.
    void ShowCelebration() override;

    // The answer-entry port of the activities.
    void OpenAnswer(const QString& caption, const QString& hint) override;
    void Repaint() override { paintBitmaps(); }
    void SetFace(const QString& pictureName) override { setKopImage(pictureName); }
    void SetScore(const QString& text) override;
    void ShowContinue() override;
    int Level() const;
    void setLevelIndex(int index);
    // The level button's picture: a title ("NIVEAU", "SALDO") over a value.
    void SetLevelGlyph(const QString& title, const QString& value) override;

    // The window's side of the games.
    void SetSessionTitle(const QString& title) override;
    void SetWindowHint(const QString& hint) override { setWindowHint(hint); }
    void ShowControl(Control c, bool visible) override;
    void EnableControl(Control c, bool enabled) override;
    void PlaceHelpButton() override;
    void PlaceStartBesideLevels() override;
    void PlaceStartCentred(int top) override;
    int StartButtonHeight() const override;
    void FocusControl(Control c) override;
    void SetInfo(const QString& text, int top) override;
    void PlaceContinue(int top) override;
    void SetContinueCaption(const QString& caption) override;
    int ScorePanelTop() const override;
    int ContinueTop() const override;
    int ContinueHeight() const override;
    int StatusBarTop() const override;
    void ApplyLevel(int index) override;
    void SetKlokInterval(int ms) override;
    void EnableKlok(bool on) override;
    bool SaldoExplained() const override;
    void SetSaldoExplained() override;

    // Copies both canvases to the screen.
    void paintBitmaps();

    QString sessionTitle() const { return sessionTitle_; }
    void setWindowHint(const QString& hint);
    QString windowHint() const { return Hint(this); }

    void setBookkeeperSteps(GameSteps steps) { bookkeeper_ = std::move(steps); }
    void setSaldoSteps(GameSteps steps) { saldo_ = std::move(steps); }
    Calculator* calculator() const { return calculator_; }

    Canvas PictureBitmap;
    Canvas TextBitmap;

    PaintBox *Tekst, *Plaatje;
    QGroupBox* KeuzeBox;
    QCheckBox* CheckBoxes[8];
    TRadioGroup* NivoBox;
    TBitButton* StartButton;
    TPanel* ScorePanel;
    QLabel *ScoreTextLabel, *ScoreLabel, *KopImage;
    QPushButton* NivoButton;
    TPanel* InvoerPanel;
    QLabel* InvoerLabel;
    QLineEdit* InvoerVeld;
    TPanel* GebruikPanel;
    QLabel *InfoLabel, *infoImage;
    QPushButton* ContinueButton;
    TPanel* StatusBalk;
    QPushButton *EindButton, *CalcButton, *HelpButton;
    QStringList oke;
    QTimer* Klok;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormActivate();
    void FormClose();
    void setKopImage(const QString& name);
    bool anyThemeAvailable() const;
    QWidget* control(Control c) const;
    void showAfterViewer();

    bool librariesOk_ = true;
    bool activatePending_ = false;
    QSize client_;
    QString sessionTitle_;
    GameSteps bookkeeper_, saldo_;
    bool saldoExplained_ = false;  // without a main menu (the item dump)
    Calculator* calculator_ = nullptr;
};

}  // namespace kav

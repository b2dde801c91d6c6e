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
#include <memory>
#include <optional>

#include "draw/canvas.h"
#include "results/recorder.h"
#include "session/context.h"
#include "session/testcode.h"
#include "ui/ui.h"
#include "windows/accessibility.h"

class QComboBox;
class QLabel;

namespace kav {

class Calculator;
class ReadAloud;
class ResultStore;

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
    const Canvas* source() const { return source_; }
    // What a screen reader hears of a picture besides its texts: what it shows.
    std::function<QString()> description;

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
    // The class code field: a valid code fills in and locks the test's settings.
    void CodeVeldChange();
    // The session that runs ends: stored, then its results window; the games show their own
    // short results. Nothing happens when no session runs. How it ended (voltooid, afgebroken,
    // niet begonnen) follows from what was judged.
    void EndSession();
    // Whether a test of set length has items still to come: leaving it then loses them.
    bool ItemsToCome() const;
    // Asks "Wil je stoppen met deze sessie?" while a session or game runs: true to stop.
    bool ConfirmStop();
    // The number of items of a test of set length, 0 for no limit (and in practice and the
    // games); set at START.
    int TestLength() const { return testLength_; }
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
    // "Lees voor" on the key row.
    ReadAloud* readAloud() const { return readAloud_; }
    const SessionRecorder& recorder() const { return recorder_; }
    // Where sessions are kept; made at the first session that ends.
    ResultStore* store();

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
    // The test's settings on the choice screen: the pupil's name, the class code, the length.
    TPanel* ToetsPanel;
    QLabel *NaamLabel, *CodeLabel, *AantalLabel;
    QLineEdit *NaamVeld, *CodeVeld;
    QComboBox* AantalBox;
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
    void showToetsPanel();
    void lockToCode(bool locked);
    // Why a setting that a class code fixed cannot be changed (the level, the themes, the length).
    QString LockedByCodeMessage(const QWidget* w) const;
    // Hides a control (Start, Doorgaan, a game's panel); the focus it had goes where Space and
    // Enter do no harm, never to a hidden widget.
    void hideButton(QWidget* button);
    // The judge on the typed answer, and what the session keeps of it.
    void judge();
    // The game's short results, once, when a round was played.
    void endGame();
    // START of a new test or practice session: the code (when given) seeds the items.
    bool beginSession();
    // Says what is new in the text area; gives it.
    QStringList announceAreas();

    bool librariesOk_ = true;
    bool activatePending_ = false;
    QSize client_;
    QString sessionTitle_;
    GameSteps bookkeeper_, saldo_;
    bool saldoExplained_ = false;  // without a main menu (the item dump)
    Calculator* calculator_ = nullptr;
    ReadAloud* readAloud_ = nullptr;
    SessionRecorder recorder_;
    std::unique_ptr<ResultStore> store_;
    std::optional<TestCodeSettings> code_;  // the valid class code of the coming or running test
    int testLength_ = 0;
    int highestRank_ = 1;  // the bookkeeper game's best rank in this game
    bool gameReported_ = false;  // the game's results have been shown
    QRect toetsPanelPlace_;  // the panel's place in the text column at this screen size
    double controlScale_ = 1;  // controls' size against the design at this screen size
    Announcer announcer_;
    QStringList judgement_;  // what the judge said of the last answer, and its explanation
};

// The session window, made when it is first needed: the main menu starts without it.
TTestForm* SessionWindow();

}  // namespace kav

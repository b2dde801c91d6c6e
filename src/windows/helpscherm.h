// The viewer: plays the explanation and demonstration scripts in the session window's
// layout, or shows the about panel. It takes the place of the window that opened it.
#pragma once
#include <QDialog>
#include <QLineEdit>
#include <functional>

#include "draw/canvas.h"
#include "ui/ui.h"
#include "viewer/interpreter.h"
#include "windows/accessibility.h"

class QLabel;
class QPlainTextEdit;

namespace kav {

class PaintBox;
class ReadAloud;

// The viewer's title, whoever opens it.
QString ViewerTitle();

class THelpScherm : public QDialog, public ScriptPort {
    Q_OBJECT
public:
    explicit THelpScherm(QWidget* parent = nullptr);

    void layoutForScreen(QSize screen);

    // The window's Tag: below 0 the about panel, else the script "demo" + (n mod 5) + ".txt".
    int scriptNumber() const { return scriptNumber_; }
    void setScriptNumber(int n) { scriptNumber_ = n; }
    int scriptStep() const { return scriptStep_; }
    void setScriptStep(int s) { scriptStep_ = s; }
    QString scriptFileName() const;
    // What the status bar says while nothing else asks for it: how to go on.
    QString OwnHint() const;

    void EindButtonClick();
    // Closed by other means (the window's close button, Escape): the caller comes back.
    void reject() override;
    // One run of the script (Doorgaan).
    void ContinueButtonClick();
    void InvoerVeld2Enter();
    // The entry ends when the field loses the focus; newFocus is where the focus went.
    void InvoerVeld2Exit(QWidget* newFocus);

    // The script being played.
    Interpreter& script() { return script_; }
    // "Lees voor" on the key row: reads the page.
    ReadAloud* readAloud() const { return readAloud_; }

    // What the interpreter reaches of the window.
    void ShowContinue(bool focus) override;
    void HideContinue() override;
    void OpenEntry(int top, const QString& prompt, int kind) override;
    void Paint() override;
    void Einde() override { EindButtonClick(); }
    bool HandleEvents(int ms) override;

    bool IntroOnly = false;
    int FromMainMenu = 0;

    Canvas ViewerTextBitmap;
    Canvas ViewerPictureBitmap;

    PaintBox *TextBox, *PictureBox;
    QWidget* HelpPanel;
    QLabel* LogoImage;
    QPlainTextEdit *ProgMemo, *InfoMemo;
    TPanel* StatusBalk;
    QPushButton *EindButton, *ContinueButton;
    TPanel* InvoerPanel2;
    QLabel* InvoerLabel2;
    QLineEdit* InvoerVeld2;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void FormActivate();
    void showCaller();
    void startScript();
    void runScript();
    void reopenEntry();
    // Runs f after the current event (a focus change) is over, unless the window has closed
    // or been opened anew meanwhile.
    void later(std::function<void()> f);
    // Says what the script wrote since it was last said; gives it.
    QStringList announceSteps();

    int scriptNumber_ = 0;
    int scriptStep_ = 0;
    QSize client_;
    bool entryOpen_ = false;
    int activation_ = 0;  // counts the showings; queued work of an earlier one is dropped
    ReadAloud* readAloud_ = nullptr;
    Announcer announcer_;
    Interpreter script_{&ViewerTextBitmap, &ViewerPictureBitmap, this};
};

// The viewer, made when it is first needed (with the session window, whose areas it shares).
THelpScherm* ViewerWindow();

}  // namespace kav

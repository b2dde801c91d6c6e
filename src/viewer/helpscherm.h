// The viewer: plays the explanation and demonstration scripts in the session window's
// layout, or shows the about panel. It takes the place of the window that opened it.
#pragma once
#include <QDialog>
#include <QLineEdit>

#include "app/ui.h"
#include "draw/canvas.h"

class QLabel;
class QPlainTextEdit;

namespace kav {

class PaintBox;

class THelpScherm : public QDialog {
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

    void EindButtonClick();
    // Closed by other means (the window's close button, Escape): the caller comes back.
    void reject() override;

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

private:
    void FormActivate();
    void showCaller();

    int scriptNumber_ = 0;
    int scriptStep_ = 0;
    QSize client_;
};

}  // namespace kav

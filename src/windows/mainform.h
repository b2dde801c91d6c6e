// The main menu: one button per kind of session, the logo and the program information.
#pragma once
#include <QImage>
#include <QWidget>

#include "ui/forms.h"
#include "ui/ui.h"

class QGroupBox;
class QLabel;

namespace kav {

class TDocentForm;

class TKavrin2MainForm : public QWidget, public MainMenuLink {
    Q_OBJECT
public:
    explicit TKavrin2MainForm(QWidget* parent = nullptr);

    // Lays the window out for a usable screen area (called at creation).
    void layoutForScreen(QSize screen);

    void ButtonClick(QPushButton* button);
    void HelpButtonClick();
    void ProgInfoPanelClick();
    void EindButtonClick();
    // The teacher's corner, after the teacher code.
    void ResultatenButtonClick();

    // What the other windows use, through the registry.
    QWidget* menuWindow() override { return this; }
    QImage helpGlyph() const override { return Glyph(HelpButton); }
    QImage allesGlyph() const override { return Glyph(AllesButton); }
    const Picture& winnerPicture() const override { return winner_; }
    const QImage& logoImage() const override { return logo_; }
    int saldoTag() const override { return Tag(Button2); }
    void setSaldoTag(int tag) override { SetTag(Button2, tag); }
    QPushButton* saldoButton() const { return Button2; }
    QSize clientSize() const { return client_; }

    QWidget *LogoPanel, *ProgInfoPanel;
    QLabel *LogoImage, *ProgNaamLabel, *Label1, *VersieLabel, *DatumLabel;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5;
    QLabel *Label2, *Label4, *Label5, *Label6;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8, *Button9;
    QPushButton* AllesButton;
    TPanel* StatusBalk;
    QPushButton *EindButton, *HelpButton, *ResultatenButton;
    // The teacher's corner; made the first time it is opened.
    TDocentForm* docentForm() const { return docent_; }

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void activate();
    void fitFrame();
    void makeLogo();
    QPushButton* sessionButton(QWidget* parent, const QString& caption, int tag, const QString& hint);

    QSize client_;
    QImage logo_;
    bool iconSet_ = false;
    Picture winner_;
    TDocentForm* docent_ = nullptr;
};

}  // namespace kav

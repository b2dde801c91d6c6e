// The main menu: one button per kind of session, the logo and the program information.
#pragma once
#include <QImage>
#include <QWidget>

#include "app/ui.h"

class QGroupBox;
class QLabel;

namespace kav {

class TKavrin2MainForm : public QWidget {
    Q_OBJECT
public:
    explicit TKavrin2MainForm(QWidget* parent = nullptr);

    // Lays the window out for a usable screen area (called at creation).
    void layoutForScreen(QSize screen);

    void ButtonClick(QPushButton* button);
    void HelpButtonClick();
    void ProgInfoPanelClick();
    void EindButtonClick();

    QImage helpGlyph() const { return Glyph(HelpButton); }
    QImage allesGlyph() const { return Glyph(AllesButton); }
    const Picture& winnerPicture() const { return winner_; }
    const QImage& logoImage() const { return logo_; }
    QPushButton* saldoButton() const { return Button2; }
    QSize clientSize() const { return client_; }

    QWidget *LogoPanel, *ProgInfoPanel;
    QLabel *LogoImage, *ProgNaamLabel, *Label1, *VersieLabel, *DatumLabel;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5;
    QLabel *Label2, *Label4, *Label5, *Label6;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8, *Button9;
    QPushButton* AllesButton;
    TPanel* StatusBalk;
    QPushButton *EindButton, *HelpButton;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void activate();
    void fitFrame();
    void makeLogo();
    QPushButton* sessionButton(QWidget* parent, const QString& caption, int tag, const QString& hint);

    QSize client_;
    QImage logo_;
    Picture winner_;
};

}  // namespace kav

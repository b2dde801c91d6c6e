// The registry of the program's four windows: the main menu is made at start-up, the others when
// they are first needed (windows/testform.h, helpscherm.h, scrn.h); all are kept until the end.
// A window reaches another only through here; the main menu, at the top, is reached through
// the small link below, so that no window includes the main menu's header.
#pragma once
#include <QImage>

class QWidget;

namespace kav {

class TKavrin2MainForm;
class TTestForm;
class THelpScherm;
class TScrn;
class Picture;

// What the session window and the viewer use of the main menu.
class MainMenuLink {
public:
    virtual ~MainMenuLink() = default;
    virtual QWidget* menuWindow() = 0;
    virtual QImage helpGlyph() const = 0;   // the help button's picture
    virtual QImage allesGlyph() const = 0;  // the mixed challenge button's picture
    virtual const Picture& winnerPicture() const = 0;
    virtual const QImage& logoImage() const = 0;
    // The Saldo Plus button's Tag: 1 once the game's explanation has been shown.
    virtual int saldoTag() const = 0;
    virtual void setSaldoTag(int tag) = 0;
};

struct Forms {
    TKavrin2MainForm* Main = nullptr;
    MainMenuLink* Menu = nullptr;  // the main menu, as the other windows see it
    TTestForm* Test = nullptr;
    THelpScherm* Help = nullptr;
    TScrn* Scrn = nullptr;
};

Forms& AppForms();

}  // namespace kav

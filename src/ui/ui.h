// Shared pieces of the four windows: design geometry scaled to the screen, hints in the
// status bar, modal display, panels and picture buttons.
#pragma once
#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <functional>

#include "draw/picture.h"

class QComboBox;
class QLabel;
class QPainter;
class QStyle;

namespace kav {

// ---- screen ----------------------------------------------------------------
// The usable screen area: --screen WxH when given, else the primary screen's available area.
void SetScreenOverride(QSize size);
bool HasScreenOverride();
QSize AvailableScreenSize();
// The client size a window gets on the usable screen: the whole area when the size was
// given on the command line (and under a bare X server), else the area less the frame.
QSize ClientSizeFor(const QWidget* w, QSize screen);
// The window frame of this desktop, learnt from the first window once the window manager
// has framed it; windows laid out before that assume no frame.
void LearnFrameMargins(const QMargins& m);
QMargins KnownFrameMargins();
// The top left corner of the usable screen, where every window is put.
QPoint ScreenOrigin();
// For a window's showEvent: once the window is up (not when the desktop shows it again) it is
// laid out again when its frame turned out other than assumed, and put at ScreenOrigin().
// False for a show by the desktop, where nothing is done.
bool PlaceShownWindow(QWidget* w, bool spontaneous, const std::function<void(QSize screen)>& layout);
// For a window's layoutForScreen: every control scaled to the screen and the window made the
// size the screen gives it (ClientSizeFor); the scale.
double ScaleWindow(QWidget* w, QSize screen);

// ---- design geometry -------------------------------------------------------
// Every control is placed in the 640 x 480 design and grows with the screen by one factor.
// Design values are kept on the widget, so laying out again never accumulates rounding.
void Place(QWidget* w, int x, int y, int width, int height);
void SetDesignFont(QWidget* w, int points, bool bold = false, bool italic = false);
// Scales every placed descendant of root (and their fonts) by f from their design values.
void ScaleControls(QWidget* root, double f);
// Font of a widget in points (as set by SetDesignFont and scaled).
int FontPoints(const QWidget* w);
void SetFontPoints(QWidget* w, int points);

// The smaller of the two screen ratios, as every window scales its controls.
double ControlScale(QSize screen);
// The largest rectangle of the given shape that fits in space, centred in it. Picture areas
// keep the shape they have in the design this way, so a square stays square on any screen.
QRect FitShape(const QRect& space, QSize shape);
// The size a widget was placed with in the 640 x 480 design.
QSize DesignSize(const QWidget* w);

// ---- hints -----------------------------------------------------------------
// A hint "short|long": the short part is the tooltip, the long part goes to the status bar.
void SetHint(QWidget* w, const QString& hint);
QString Hint(const QWidget* w);
QString LongHint(const QString& hint);
// The status bar that shows the long hints; the active window installs its own.
void InstallHintSink(std::function<void(const QString&)> sink);

// ---- modal windows -----------------------------------------------------------
// Shows a window modally and runs `after` when it closes. Tests switch to non-blocking
// display: the window is shown and `after` runs when it is closed.
void ShowModal(QDialog* dlg, std::function<void()> after = {});
// For a window's destructor: cuts every connection from its children to the window, so that
// the focus moving as the window, still on the screen, is taken down reaches none of its
// slots (the window is half gone by then).
void DisconnectChildren(QWidget* window);
void SetNonBlockingModals(bool on);
bool NonBlockingModals();

// ---- widgets -----------------------------------------------------------------
// A panel with a centred caption, like the classic status bar.
class TPanel : public QFrame {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent = nullptr);
    void setCaption(const QString& c);
    QString caption() const { return caption_; }
    void setCaptionColor(const QColor& c);
    // Room kept free of the caption at the left and right, for buttons on the panel.
    void setCaptionMargins(int left, int right);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QString caption_;
    QMargins captionMargins_;
    QColor captionColor_ = Qt::black;
};

// A button that shows its caption above its picture.
class TBitButton : public QPushButton {
    Q_OBJECT
public:
    explicit TBitButton(const QString& caption, QWidget* parent = nullptr);
    void setGlyph(const QImage& glyph);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QImage glyph_;
};

// A label and a push button with their component name and design font; the button does not
// take Enter for itself (autoDefault off) and gets its hint.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int points, bool bold = false);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int points, bool bold = false,
                        const QString& hint = QString());
// A drop-down list with its component name, items, design font and hint.
QComboBox* MakeComboBox(QWidget* parent, const char* name, const QStringList& items, int points, const QString& hint);

// ---- keyboard focus ------------------------------------------------------------
// The program's style: the base style (Fusion) with a clear dark blue frame inside every push
// button that has the keyboard focus, so a pupil sees which button Enter or Space presses.
QStyle* FocusFrameStyle(QStyle* base);
// That frame inside a button's rectangle; its width grows with the screen.
void DrawFocusFrame(QPainter& p, const QRect& button);
int FocusFrameWidth();
QColor FocusFrameColour();

// A picture button: the glyph is an image shown at its own size.
void SetGlyph(QPushButton* b, const QImage& glyph);
QImage Glyph(const QPushButton* b);

// The picture rendered (stretched) into an image of the given size on a transparent ground.
QImage RenderPicture(const Picture& pic, int width, int height);
// Height that keeps the picture's aspect ratio at the given width.
int AspectHeight(const Picture& pic, int width);

// Tags of buttons (the topic base of a session).
void SetTag(QObject* o, int tag);
int Tag(const QObject* o);

}  // namespace kav

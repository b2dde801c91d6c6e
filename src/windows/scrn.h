// The celebration screen that ends a won Saldo Plus game: the whole display black, the pointer
// hidden, glowing discs at random places with the final balance in them, until the pupil
// presses a key, clicks, or moves the mouse.
#pragma once
#include <QColor>
#include <QDialog>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QTimer>

class QFontMetrics;

namespace kav {

class TScrn : public QDialog {
    Q_OBJECT
public:
    explicit TScrn(QWidget* parent = nullptr);
    ~TScrn() override;

    // Set when the screen is created and by the caller before showing it: the next
    // activation sets the screen up.
    bool FirstActivation = true;

    static constexpr int ClearEvery = 100;
    static constexpr int MaxRings = 150;
    // Discs per second drawn while the screen is up: lively, and the full-screen clearing
    // (every ClearEvery discs) stays a slow change rather than a flicker.
    static constexpr int DiscsPerSecond = 90;

    // Colour of entry k (0..39) of colour ramp j (1..6).
    static QColor RampColour(int ramp, int entry);
    // The colour of ring g (1..n, n the outer ring) of a disc of n rings in ramp j.
    static QColor RingColour(int ramp, int rings, int g);
    // What a disc of n rings says: "Saldo = " and the balance when it fits, else "Klaar!"
    // when that fits, else nothing.
    static QString DiscText(int rings, int saldo, const QFontMetrics& metrics, int margin);

    // The set-up of an activation: the screen size, the drawing, the pointer hidden.
    void FormActivate();
    // One disc at a random place (one idle moment's work); returns the area it changed.
    QRect DrawDisc();
    // A disc of n rings from ramp j with its box's top-left corner at (x1, y1).
    QRect DrawDiscAt(int rings, int ramp, int x1, int y1);

    int discsDrawn() const { return discsDrawn_; }
    // Every disc since the screen was last shown.
    qint64 discsSinceShown() const { return discsSinceShown_; }
    QPoint mouseStart() const { return mouseStart_; }
    const QImage& image() const { return buffer_; }
    QFont textFont() const { return font_; }
    bool pointerHidden() const { return pointerHidden_; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void pace();
    void finish();
    void end();

    QImage buffer_;
    QFont font_;
    QTimer pacer_;
    QElapsedTimer clock_;
    qint64 pacedDiscs_ = 0;
    int discsDrawn_ = 0;
    qint64 discsSinceShown_ = 0;
    QPoint mouseStart_{-1, -1};
    bool pointerHidden_ = false;
    bool mouseGrabbed_ = false;
    bool ending_ = true;  // not shown yet, or closing
};

// The celebration window, made when it is first needed.
TScrn* CelebrationWindow();

}  // namespace kav

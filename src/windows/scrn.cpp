#include "windows/scrn.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "games/saldo.h"
#include "session/random.h"
#include "ui/forms.h"
#include "ui/ui.h"

namespace kav {

namespace {

// The six colour ramps of 40 entries: start colour and step of red, green and blue.
struct Ramp {
    int r0, dr, g0, dg, b0, db;
};
constexpr Ramp Ramps[6] = {{21, 6, 0, 0, 0, 0},   {0, 0, 21, 6, 0, 0},   {0, 0, 0, 0, 21, 6},
                           {138, 3, 64, 4, 21, 4}, {99, 4, 21, 6, 99, 4}, {21, 6, 99, 4, 21, 6}};

// Frames of the drawing: each draws the discs that are due, at most a few, so input is
// handled between two frames.
constexpr int FrameMs = 15;
constexpr int MostDiscsPerFrame = 4;

QRect ScreenArea()
{
    if (HasScreenOverride())
        return QRect(ScreenOrigin(), AvailableScreenSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(QPoint(0, 0), AvailableScreenSize());
}

}  // namespace

TScrn::TScrn(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Scrn"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    pacer_.setTimerType(Qt::PreciseTimer);
    pacer_.setInterval(FrameMs);
    connect(&pacer_, &QTimer::timeout, this, &TScrn::pace);
    // Out of sight until a session shows it.
    setGeometry(-1000, -100, 1, 1);
}

TScrn::~TScrn()
{
    finish();
}

QColor TScrn::RampColour(int ramp, int entry)
{
    const Ramp& r = Ramps[qBound(1, ramp, 6) - 1];
    const int k = qBound(0, entry, 39);
    return QColor(r.r0 + k * r.dr, r.g0 + k * r.dg, r.b0 + k * r.db);
}

QColor TScrn::RingColour(int ramp, int rings, int g)
{
    // Palette index 39 * ramp - h is entry 39 - h of the ramp; the outer ring (g = n) takes
    // h = 39, the darkest entry, the inner rings ever brighter ones.
    const int n = Max(rings, 1);
    int h = int(g * (39.0 / n));
    if (h == 0)
        h = 1;
    return RampColour(ramp, 39 - qBound(1, h, 39));
}

QString TScrn::DiscText(int rings, int saldo, const QFontMetrics& metrics, int margin)
{
    const int room = 2 * rings - margin;
    const QString balance = QStringLiteral("Saldo = ") + QString::number(saldo);
    if (metrics.horizontalAdvance(balance) < room)
        return balance;
    const QString done = QStringLiteral("Klaar!");
    if (metrics.horizontalAdvance(done) < room)
        return done;
    return QString();
}

void TScrn::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    ending_ = false;
    if (FirstActivation)
        FormActivate();
}

void TScrn::FormActivate()
{
    FirstActivation = false;
    mouseStart_ = QPoint(-1, -1);
    const QRect area = ScreenArea();
    Randomize();
    buffer_ = QImage(area.size(), QImage::Format_RGB32);
    buffer_.fill(Qt::black);
    discsDrawn_ = 0;
    discsSinceShown_ = 0;
    font_ = QFont(FontFamily);
    font_.setPixelSize(Max(1, Round(17 * ScreenScale)));
    setGeometry(area);
    if (!HasScreenOverride())
        setWindowState(windowState() | Qt::WindowFullScreen);
    if (!pointerHidden_) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        pointerHidden_ = true;
    }
    clock_.start();
    pacedDiscs_ = 0;
    pacer_.start();
    if (isVisible()) {
        // All mouse input comes here, wherever the pointer goes (a display without a real
        // pointer, as in tests, has none to grab).
        if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
            grabMouse();
            mouseGrabbed_ = true;
        }
        activateWindow();
        setFocus();
    }
    update();
}

QRect TScrn::DrawDisc()
{
    bool cleared = false;
    ++discsSinceShown_;
    if (++discsDrawn_ >= ClearEvery) {
        buffer_.fill(Qt::black);
        discsDrawn_ = 0;
        cleared = true;
    }
    int rings = Random(MaxRings);
    if (rings == 0)
        rings = 1;
    int ramp = Random(7);
    if (ramp == 0)
        ramp = 1;
    const int x1 = Random(buffer_.width()) - 64;
    const int y1 = Random(buffer_.height()) - 64;
    const QRect r = DrawDiscAt(rings, ramp, x1, y1);
    return cleared ? buffer_.rect() : r;
}

QRect TScrn::DrawDiscAt(int rings, int ramp, int x1, int y1)
{
    if (buffer_.isNull() || rings < 1)
        return QRect();
    const int n = rings, size = 2 * n;
    // Ring g is the filled circle of radius g round the centre of the box, drawn from the
    // outer ring inwards; so a pixel shows the innermost ring that holds it.
    QVector<QRgb> colours(n + 1);
    for (int g = 1; g <= n; ++g)
        colours[g] = RingColour(ramp, n, g).rgb();
    const QRect box(x1, y1, size, size);
    const QRect area = box.intersected(buffer_.rect());
    const double cx = x1 + n, cy = y1 + n;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(buffer_.scanLine(y));
        const double dy = y + 0.5 - cy;
        for (int x = area.left(); x <= area.right(); ++x) {
            const double dx = x + 0.5 - cx;
            const int g = int(std::sqrt(dx * dx + dy * dy)) + 1;
            if (g <= n)
                row[x] = colours[g];
        }
    }
    const QFontMetrics metrics(font_);
    const QString text = DiscText(n, Saldo().Saldo, metrics, TextMargin);
    if (!text.isEmpty() && !area.isEmpty()) {
        QPainter p(&buffer_);
        p.setFont(font_);
        p.setPen(Qt::black);
        p.drawText(x1 + (size - metrics.horizontalAdvance(text)) / 2,
                   y1 + (size - metrics.height()) / 2 + metrics.ascent(), text);
    }
    return area;
}

void TScrn::pace()
{
    const qint64 due = clock_.elapsed() * DiscsPerSecond / 1000;
    if (due - pacedDiscs_ > MostDiscsPerFrame)
        pacedDiscs_ = due - MostDiscsPerFrame;  // after a stall: no burst to catch up
    QRect changed;
    for (; pacedDiscs_ < due; ++pacedDiscs_)
        changed |= DrawDisc();
    if (!changed.isEmpty())
        update(changed);
}

void TScrn::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (buffer_.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(e->rect(), buffer_, e->rect());
}

void TScrn::keyPressEvent(QKeyEvent* e)
{
    e->accept();
    end();
}

void TScrn::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    end();
}

void TScrn::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint at = e->globalPosition().toPoint();
    if (mouseStart_ == QPoint(-1, -1)) {
        mouseStart_ = at;
        return;
    }
    if (std::abs(at.x() - mouseStart_.x()) > 2 && std::abs(at.y() - mouseStart_.y()) > 2)
        end();
}

void TScrn::closeEvent(QCloseEvent* e)
{
    finish();
    QDialog::closeEvent(e);
}

void TScrn::hideEvent(QHideEvent* e)
{
    // However the screen goes (closed, hidden, destroyed), the pointer comes back; and when
    // something else hid it, the one who showed it hears that it is over.
    finish();
    QDialog::hideEvent(e);
    if (!ending_)
        QMetaObject::invokeMethod(
            this,
            [this]() {
                if (!isVisible() && !ending_)
                    end();
            },
            Qt::QueuedConnection);
}

void TScrn::finish()
{
    pacer_.stop();
    if (mouseGrabbed_) {
        releaseMouse();
        mouseGrabbed_ = false;
    }
    if (pointerHidden_) {
        QGuiApplication::restoreOverrideCursor();
        pointerHidden_ = false;
    }
}

void TScrn::end()
{
    finish();
    if (ending_)
        return;
    ending_ = true;
    done(0);
}

TScrn* CelebrationWindow()
{
    Forms& f = AppForms();
    if (!f.Scrn)
        f.Scrn = new TScrn();
    return f.Scrn;
}

}  // namespace kav

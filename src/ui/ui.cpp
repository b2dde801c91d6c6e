#include "ui/ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVariant>
#include <QWindow>
#include <optional>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "draw/numbers.h"

namespace kav {

// ---- screen ----------------------------------------------------------------

namespace {
QSize screenOverride;
}

void SetScreenOverride(QSize size)
{
    screenOverride = size;
}

bool HasScreenOverride()
{
    return screenOverride.isValid() && !screenOverride.isEmpty();
}

QSize AvailableScreenSize()
{
    if (HasScreenOverride())
        return screenOverride;
    if (QScreen* s = QGuiApplication::primaryScreen())
        return s->availableGeometry().size();
    return QSize(640, 480);
}

namespace {
QMargins frameMargins;
}

void LearnFrameMargins(const QMargins& m)
{
    frameMargins = m;
}

QMargins KnownFrameMargins()
{
    return frameMargins;
}

QSize ClientSizeFor(const QWidget* w, QSize screen)
{
    if (HasScreenOverride())
        return screen;
    QMargins m = w->windowHandle() ? w->windowHandle()->frameMargins() : QMargins();
    if (m.isNull())
        m = frameMargins;
    return QSize(screen.width() - m.left() - m.right(), screen.height() - m.top() - m.bottom());
}

QPoint ScreenOrigin()
{
    if (!HasScreenOverride() && QGuiApplication::primaryScreen())
        return QGuiApplication::primaryScreen()->availableGeometry().topLeft();
    return QPoint(0, 0);
}

double ScaleWindow(QWidget* w, QSize screen)
{
    const double f = ControlScale(screen);
    ScaleControls(w, f);
    w->setFixedSize(ClientSizeFor(w, screen));
    return f;
}

bool PlaceShownWindow(QWidget* w, bool spontaneous, const std::function<void(QSize screen)>& layout)
{
    if (spontaneous)
        return false;
    if (ClientSizeFor(w, AvailableScreenSize()) != w->size())
        layout(AvailableScreenSize());  // the frame is known once the window is up
    w->move(ScreenOrigin());
    return true;
}

double ControlScale(QSize screen)
{
    const double fw = screen.width() / 640.0, fh = screen.height() / 480.0;
    return fh >= fw ? fw : fh;
}

QRect FitShape(const QRect& space, QSize shape)
{
    if (space.isEmpty() || shape.isEmpty())
        return space;
    // Width-limited unless the shape's height at the full width would not fit.
    int w = space.width();
    int h = Round(double(w) * shape.height() / shape.width());
    if (h > space.height()) {
        h = space.height();
        w = qMin(space.width(), Round(double(h) * shape.width() / shape.height()));
    }
    return QRect(space.x() + (space.width() - w) / 2, space.y() + (space.height() - h) / 2, w, h);
}

// ---- design geometry -------------------------------------------------------

void Place(QWidget* w, int x, int y, int width, int height)
{
    w->setProperty("kavDesign", QRect(x, y, width, height));
    w->setGeometry(x, y, width, height);
}

namespace {

// The widget's font made the program's, at a size in points, with bold and italic as given;
// set in one change, as a widget that measures its text on every change (a group box's title)
// would otherwise load a font for each step.
void ApplyFont(QWidget* w, int points, std::optional<bool> bold = {}, std::optional<bool> italic = {})
{
    QFont f = w->font();
    if (bold)
        f.setBold(*bold);
    if (italic)
        f.setItalic(*italic);
    f.setFamily(FontFamily);
    f.setPixelSize(qMax(1, PointsToPixels(points)));
    w->setFont(f);
    w->setProperty("kavPoints", points);
}

}  // namespace

void SetFontPoints(QWidget* w, int points)
{
    ApplyFont(w, points);
}

void SetDesignFont(QWidget* w, int points, bool bold, bool italic)
{
    w->setProperty("kavDesignPoints", points);
    ApplyFont(w, points, bold, italic);
}

QSize DesignSize(const QWidget* w)
{
    const QVariant d = w->property("kavDesign");
    return d.isValid() ? d.toRect().size() : w->size();
}

int FontPoints(const QWidget* w)
{
    const QVariant v = w->property("kavPoints");
    return v.isValid() ? v.toInt() : 10;
}

void ScaleControls(QWidget* root, double f)
{
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        const QVariant d = w->property("kavDesign");
        if (d.isValid() && w != root) {
            const QRect r = d.toRect();
            w->setGeometry(Round(r.x() * f), Round(r.y() * f), Round(r.width() * f), Round(r.height() * f));
        }
        const QVariant p = w->property("kavDesignPoints");
        if (p.isValid())
            SetFontPoints(w, Round(p.toInt() * f));
    }
}

// ---- hints -----------------------------------------------------------------

namespace {

std::function<void(const QString&)> hintSink;

class HintFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (!hintSink || !o->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(o);
        if (e->type() == QEvent::Enter) {
            showNearest(widget);
        } else if (e->type() == QEvent::Leave && !widget->isWindow() && !Hint(widget).isEmpty()) {
            // Off a control with a hint of its own: the hint of what lies around it comes back,
            // so the status bar never names a button the pointer has left.
            showNearest(widget->parentWidget());
        }
        return false;
    }

private:
    // The hint of the widget or of the nearest of its parents in its window that has one.
    static void showNearest(QWidget* w)
    {
        for (; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
            const QString h = Hint(w);
            if (!h.isEmpty()) {
                hintSink(LongHint(h));
                return;
            }
        }
    }
};

void ensureHintFilter()
{
    static HintFilter* filter = nullptr;
    if (!filter && qApp) {
        filter = new HintFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

}  // namespace

void SetHint(QWidget* w, const QString& hint)
{
    w->setProperty("kavHint", hint);
    const int bar = int(hint.indexOf(u'|'));
    w->setToolTip(bar < 0 ? hint : hint.left(bar));
    // A field or a picture button is named by its hint's short part, which a screen reader
    // says; a button with a text is named by it.
    const auto* b = qobject_cast<const QAbstractButton*>(w);
    if (bar > 0 && !(b && !b->text().isEmpty()))
        w->setAccessibleName(w->toolTip());
}

QString Hint(const QWidget* w)
{
    return w->property("kavHint").toString();
}

QString LongHint(const QString& hint)
{
    const int bar = int(hint.indexOf(u'|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void InstallHintSink(std::function<void(const QString&)> sink)
{
    ensureHintFilter();
    hintSink = std::move(sink);
}

// ---- modal windows -----------------------------------------------------------

namespace {
bool nonBlocking = false;
}

void SetNonBlockingModals(bool on)
{
    nonBlocking = on;
}

bool NonBlockingModals()
{
    return nonBlocking;
}

void ShowModal(QDialog* dlg, std::function<void()> after)
{
    auto conn = std::make_shared<QMetaObject::Connection>();
    if (nonBlocking) {
        if (after)
            *conn = QObject::connect(dlg, &QDialog::finished, dlg, [conn, after]() {
                QObject::disconnect(*conn);
                after();
            });
        dlg->setWindowModality(Qt::ApplicationModal);
        dlg->show();
        return;
    }
    // A loop of our own rather than QDialog::exec(): the viewer hides the window that opened
    // it, and hiding must not end that window's modal run.
    QEventLoop loop;
    *conn = QObject::connect(dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg->setWindowModality(Qt::ApplicationModal);
    dlg->show();
    loop.exec(QEventLoop::DialogExec);
    QObject::disconnect(*conn);
    if (after)
        after();
}

void DisconnectChildren(QWidget* window)
{
    for (QObject* child : window->findChildren<QObject*>())
        QObject::disconnect(child, nullptr, window, nullptr);
}

// ---- widgets -----------------------------------------------------------------

TPanel::TPanel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAutoFillBackground(true);
}

void TPanel::setCaption(const QString& c)
{
    if (c == caption_)
        return;
    caption_ = c;
    update();
}

void TPanel::setCaptionColor(const QColor& c)
{
    captionColor_ = c;
    update();
}

void TPanel::setCaptionMargins(int left, int right)
{
    captionMargins_ = QMargins(left, 0, right, 0);
    update();
}

void TPanel::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    if (caption_.isEmpty())
        return;
    QPainter p(this);
    p.setFont(font());
    p.setPen(captionColor_);
    p.drawText(contentsRect().marginsRemoved(captionMargins_), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption_);
}

TBitButton::TBitButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void TBitButton::setGlyph(const QImage& glyph)
{
    glyph_ = glyph;
    update();
}

QSize TBitButton::sizeHint() const
{
    const QSize t = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(qMax(t.width(), glyph_.width()) + 12, t.height() + glyph_.height() + 12);
}

void TBitButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    opt.icon = QIcon();
    p.drawControl(QStyle::CE_PushButton, opt);
    const QRect r = rect().adjusted(4, 4, -4, -4);
    const int th = fontMetrics().height();
    const int gh = glyph_.height();
    const int top = r.top() + qMax(0, (r.height() - th - gh) / 2);
    QColor c = palette().color(QPalette::ButtonText);
    if (!isEnabled())
        c = QColor(128, 128, 128);
    p.setPen(c);
    p.setFont(font());
    p.drawText(QRect(r.left(), top, r.width(), th), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    if (!glyph_.isNull()) {
        QImage g = glyph_;
        if (!isEnabled())
            g = QIcon(QPixmap::fromImage(glyph_)).pixmap(glyph_.size(), QIcon::Disabled).toImage();
        p.drawImage(QPoint(r.left() + (r.width() - g.width()) / 2, top + th), g);
    }
    // The focus frame once more, over the caption and the picture.
    if (opt.state & QStyle::State_HasFocus)
        DrawFocusFrame(p, opt.rect);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int points, bool bold)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    SetDesignFont(l, points, bold);
    return l;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int points, bool bold, const QString& hint)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    SetDesignFont(b, points, bold);
    if (!hint.isEmpty())
        SetHint(b, hint);
    return b;
}

QComboBox* MakeComboBox(QWidget* parent, const char* name, const QStringList& items, int points, const QString& hint)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    SetDesignFont(c, points);
    SetHint(c, hint);
    return c;
}

void SetGlyph(QPushButton* b, const QImage& glyph)
{
    b->setProperty("kavGlyph", glyph);
    if (glyph.isNull()) {
        b->setIcon(QIcon());
        return;
    }
    // On wide screens a picture sized by the screen width can outgrow its button, which
    // grows by the smaller ratio: it is then shrunk to fit, keeping its shape.
    const QSize room = b->size() - QSize(6, 6);
    QImage shown = glyph;
    if (room.width() > 0 && room.height() > 0 && (glyph.width() > room.width() || glyph.height() > room.height()))
        shown = glyph.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    b->setIcon(QIcon(QPixmap::fromImage(shown)));
    b->setIconSize(shown.size());
}

QImage Glyph(const QPushButton* b)
{
    return b->property("kavGlyph").value<QImage>();
}

QImage RenderPicture(const Picture& pic, int width, int height)
{
    if (pic.isNull() || width <= 0 || height <= 0)
        return QImage();
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    pic.draw(p, QRect(0, 0, width, height));
    return img;
}

int AspectHeight(const Picture& pic, int width)
{
    if (pic.isNull() || pic.width() == 0)
        return 0;
    return Round(double(width) * pic.height() / pic.width());
}

void SetTag(QObject* o, int tag)
{
    o->setProperty("kavTag", tag);
}

int Tag(const QObject* o)
{
    return o->property("kavTag").toInt();
}

}  // namespace kav

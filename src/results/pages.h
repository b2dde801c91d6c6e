// What the printed pages of the results report and of the worksheets share: a device measured
// in millimetres and points, the fonts, one-line texts, rules, the page footer and screen
// drawings put on white paper. No widgets.
#pragma once
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>
#include <functional>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace kav {

inline const QColor PageGrey(96, 96, 96);
inline const QColor RuleGrey(160, 160, 160);
inline constexpr double FooterMm = 9;  // the page's foot line under the items
inline constexpr double FootPoints = 8;

// The program's font at a size in points.
QFont PageFont(double points, bool bold = false);

// A device's printable area and resolution; everything is measured in its own pixels from
// millimetres and points, so a 300-dpi PDF and a 600-dpi printer page come out alike.
struct Sheet {
    QPaintDevice* device;
    double dpi;
    double width, height;

    explicit Sheet(QPaintDevice* d);
    double mm(double v) const { return v * dpi / 25.4; }
    QFontMetricsF metrics(const QFont& f) const { return QFontMetricsF(f, device); }
    double lineSpacing(double points, bool bold = false) const { return metrics(PageFont(points, bold)).lineSpacing(); }
    double bottom() const { return height - mm(FooterMm); }
};

// One line of text in a rectangle, cut short with "…" when it is too long.
void DrawPageText(QPainter& p, const QRectF& r, const QString& text, double points, bool bold,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop, const QColor& colour = Qt::black);
// A text in a width, never cut: its font shrinks to at most a fifth smaller and then the text
// wraps at its spaces. The height it takes; drawn only when there is a painter.
double DrawWholeText(QPainter* p, const Sheet& sheet, const QRectF& at, const QString& text, double points, bool bold,
                     const QColor& colour = Qt::black, Qt::Alignment align = Qt::AlignLeft);
// A thin grey rule across the page.
void DrawRule(QPainter& p, const Sheet& sheet, double y);
// The foot of a page: a text on the left, "blz. 3 van 5" on the right.
void DrawPageFooter(QPainter& p, const Sheet& sheet, const QString& left, int page, int pages);
// A drawing of the screen on white paper: the light grey ground of the screen is left white.
QImage OnWhitePaper(const QImage& screen);
// A drawing kept small until it is printed: its pixels as runs of one colour, row after row.
// Drawings are mostly flat colour, so a page's worth of them takes a few megabytes instead of
// hundreds, and packing and unpacking cost a pass over the pixels.
class PackedImage {
public:
    PackedImage() = default;
    explicit PackedImage(const QImage& image);
    // A part of a drawing, with its ground colour (when valid) turned white as on paper.
    PackedImage(const QImage& image, const QRect& part, const QColor& ground);
    bool isNull() const { return size_.isEmpty(); }
    QSize size() const { return size_; }
    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    // The drawing again (RGB32); a null image when there is none.
    QImage image() const;
    qsizetype bytes() const { return runs_.size() * qsizetype(sizeof(quint32)); }

private:
    QSize size_;
    QVector<quint32> runs_;  // pairs: how many pixels, their colour
};

// A4 portrait with margins of 15 mm, as every printed page of the program.
void SetA4Layout(QPagedPaintDevice* device);
// An A4 PDF at 300 dpi with this title, its pages drawn by paint. It is written beside the file
// and put in its place when complete, so a failure never leaves half a file nor spoils an older
// one of that name; false then, with a Dutch one-line message in *error.
bool WriteA4Pdf(const QString& path, const QString& title, const std::function<bool(QPagedPaintDevice*)>& paint,
                QString* error);

}  // namespace kav

// An off-screen bitmap with the drawing model of a classic desktop painter: pen, brush and
// font as state; rectangles and ellipses whose right and bottom edges lie outside; lines
// without their end point; flood fill; text placed by its top-left corner.
// Shapes are drawn without anti-aliasing so that flood fills find closed borders.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QVector>

#include "draw/picture.h"

class QPainter;

namespace kav {

enum class FillMode { Border, Surface };

struct CanvasFont {
    QString family;
    int size = 10;  // points of a 96-dpi desktop
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
};

// One text as it was written on a canvas: what tests and the item dump read.
struct TextLogEntry {
    QString text;
    int x = 0;
    int y = 0;
    QColor color;
    int size = 0;
    bool bold = false;
    int width = 0;  // pixels, in the font it was written in
    int height = 0;  // pixels: the font's line
    // Texts written as one thing (a fraction's numerator and denominator, a number and its
    // unit) share a group number, so that a reader takes them together; 0 for a text alone.
    int group = 0;
    // Counts the texts written on the canvas: a later text has a larger number.
    int serial = 0;
    // What a reader reads instead of the text where a sign is drawn rather than written: the
    // euro sign drawn as a crossed "C" reads "€", a triangle number's subscript "Δ7". Empty
    // for a text read as written.
    QString reading;
};

int PointsToPixels(int points);

class Canvas {
public:
    Canvas();
    Canvas(int width, int height);

    void setSize(int width, int height);
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    QRect clipRect() const { return QRect(0, 0, width(), height()); }
    const QImage& image() const { return image_; }
    QImage& image() { return image_; }

    // State.
    QColor penColor = Qt::black;
    int penWidth = 1;
    QColor brushColor = Qt::white;
    bool brushSolid = true;
    CanvasFont font;

    void setPen(const QColor& c, int width = 1)
    {
        penColor = c;
        penWidth = width;
    }
    void setBrush(const QColor& c)
    {
        brushColor = c;
        brushSolid = true;
    }
    void setBrushClear() { brushSolid = false; }
    QFont qfont() const;

    // Shapes. Corners (x1, y1)-(x2, y2) cover pixels x1 .. x2-1 and y1 .. y2-1.
    void fillRect(int x1, int y1, int x2, int y2);  // brush only
    void rectangle(int x1, int y1, int x2, int y2);
    void roundRect(int x1, int y1, int x2, int y2, int ew, int eh);
    void ellipse(int x1, int y1, int x2, int y2);
    // Pie, arc and chord: bounding box and two radial points, counter-clockwise from the first.
    void pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void polygon(const QVector<QPoint>& pts);
    void polyline(const QVector<QPoint>& pts);
    void moveTo(int x, int y) { penPos_ = QPoint(x, y); }
    void lineTo(int x, int y);
    void line(int x1, int y1, int x2, int y2)
    {
        moveTo(x1, y1);
        lineTo(x2, y2);
    }
    QPoint penPos() const { return penPos_; }

    // Flood fill with the brush colour: Border fills up to pixels of colour c,
    // Surface fills the connected area of colour c around (x, y).
    void floodFill(int x, int y, const QColor& c, FillMode mode);

    QColor pixel(int x, int y) const;
    void setPixel(int x, int y, const QColor& c);

    // Text, top-left corner at (x, y), transparent background, in the font colour.
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;
    // In the current font: the baseline below the top of a text, and the height of a capital.
    int ascent() const;
    int capHeight() const;

    // Images.
    void stretchDraw(int x1, int y1, int x2, int y2, const QImage& img);
    void stretchDraw(int x1, int y1, int x2, int y2, const Picture& pic);
    void draw(int x, int y, const QImage& img);

    // The log of texts on the canvas: a text painted over (its top-left corner, or half of it
    // or more, under a filled rectangle or an opaque image) is gone from it.
    const QVector<TextLogEntry>& textLog() const { return log_; }
    void clearTextLog() { log_.clear(); }
    // Gives the last text written what a reader reads instead (see TextLogEntry::reading).
    void setLastReading(const QString& reading)
    {
        if (!log_.isEmpty() && log_.last().serial == lastSerial_)
            log_.last().reading = reading;
    }
    // The serial number of the last text written (0 before any).
    int lastSerial() const { return lastSerial_; }
    // Texts written between these two form one group in the log (see TextLogEntry::group).
    void beginTextGroup() { openGroup_ = ++lastGroup_; }
    void endTextGroup() { openGroup_ = 0; }

private:
    void dropCovered(const QRect& r);
    void beginShape(QPainter& p) const;
    // A rectangle or an ellipse drawn by the painter with the pen and brush, on img.
    void paintRect(QImage& img, int x1, int y1, int x2, int y2) const;
    void paintEllipse(QImage& img, int x1, int y1, int x2, int y2) const;
    // A thick-pen rectangle, ellipse or level or upright line laid down from a kept stamp; false
    // when the pen, brush or image can't be stamped (the painter then draws it).
    enum class Stamped { Rectangle, Ellipse, Line };
    bool stampShape(Stamped kind, int x1, int y1, int x2, int y2);
    void thinLine(QPoint a, QPoint b);
    void arcShape(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

    QImage image_;
    QPoint penPos_;
    QVector<TextLogEntry> log_;
    int openGroup_ = 0;
    int lastGroup_ = 0;
    int lastSerial_ = 0;
};

// Writes the texts of its lifetime on a canvas as one group.
class TextGroup {
public:
    explicit TextGroup(Canvas& canvas) : canvas_(canvas) { canvas_.beginTextGroup(); }
    ~TextGroup() { canvas_.endTextGroup(); }
    TextGroup(const TextGroup&) = delete;
    TextGroup& operator=(const TextGroup&) = delete;

private:
    Canvas& canvas_;
};

}  // namespace kav

// The program's own charts: bars (stacked when there are layers) and lines over time, drawn
// with QPainter on any device, so a window and a printed page show the same chart. Every
// measure comes from the font given, so a chart on a 300-dpi page looks as it does on the
// screen. Colours are chosen by the caller; lines also differ in their dashes and markers, so
// they stay apart in grey print.
#pragma once
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPainter;

namespace kav {

struct ChartLook {
    QFont font;        // the labels' font, its size set for the device drawn on
    double line = 1;   // the width of the axes and lines, in the device's pixels
};

struct ChartLayer {
    QString label;  // in the legend; a chart of one layer has no legend
    QColor colour;
};

struct BarChart {
    QString title;
    QStringList categories;           // under the bars, left to right
    QVector<ChartLayer> layers;       // stacked from the bottom up
    QVector<QVector<double>> values;  // per category, per layer
    double maximum = 0;               // the top of the axis; 0: from the values
    bool percent = false;             // values are shares 0 .. 1, shown as "72%"
};

// The marks that tell lines apart without colour.
enum class Marker { Circle, Square, Triangle, Diamond };

struct LineSeries {
    QString label;
    QColor colour;
    Qt::PenStyle style = Qt::SolidLine;
    Marker marker = Marker::Circle;
    QVector<QPointF> points;  // x in the chart's unit, y from 0 to the chart's maximum
};

struct LineChart {
    QString title;
    QVector<LineSeries> series;
    double xMin = 0, xMax = 1;
    QVector<QPair<double, QString>> xTicks;  // where the x axis is labelled, and with what
    double yMax = 100;
    QString ySuffix = QStringLiteral("%");
};

// Draws the chart in the rectangle (title, axes, bars or lines, labels, legend).
void DrawBarChart(QPainter& p, const QRectF& area, const BarChart& chart, const ChartLook& look);
void DrawLineChart(QPainter& p, const QRectF& area, const LineChart& chart, const ChartLook& look);
// One marker of a line centred on a point, as the chart and its legend draw it.
void DrawMarker(QPainter& p, const QPointF& at, double size, Marker marker, const QColor& colour);

// Where a chart puts its plot inside its rectangle (for checking: the bars stand on its
// bottom edge and a value of the maximum reaches its top).
QRectF BarPlotArea(QPainter& p, const QRectF& area, const BarChart& chart, const ChartLook& look);

}  // namespace kav

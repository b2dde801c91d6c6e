#include "draw/charts.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace kav {

namespace {

const QColor GridGrey(205, 205, 205);

// A step of 1, 2 or 5 times a power of ten that divides the axis in at most five parts.
double NiceStep(double top)
{
    if (top <= 0)
        return 1;
    double power = 1;
    while (power * 10 <= top / 5)
        power *= 10;
    for (;;) {
        for (double f : {1.0, 2.0, 5.0})
            if (top / (f * power) <= 5)
                return f * power;
        power *= 10;
    }
}

QString NumberText(double v)
{
    if (std::abs(v - std::round(v)) < 1e-9)
        return QString::number(qint64(std::round(v)));
    return QString::number(v, 'f', 1).replace(u'.', u',');
}

QString PercentText(double share)
{
    return QString::number(qint64(std::floor(share * 100 + 0.5))) + u'%';
}

struct Frame {
    QRectF plot;
    double titleHeight = 0;
    double legendTop = 0;
};

// The rectangle's parts: the title above, the legend and the x labels below, the y labels at
// the left, the plot in between with room above for the labels on the bars.
Frame Layout(const QFontMetricsF& fm, const QRectF& area, bool title, bool legend, const QStringList& yLabels)
{
    Frame f;
    const double h = fm.height();
    f.titleHeight = title ? h * 1.4 : 0;
    double labelWidth = 0;
    for (const QString& l : yLabels)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(l));
    const double legendHeight = legend ? h * 1.4 : 0;
    const double left = area.left() + labelWidth + h * 0.5;
    const double top = area.top() + f.titleHeight + h * 1.2;
    const double bottom = area.bottom() - legendHeight - h * 1.3;
    f.plot = QRectF(left, top, std::max(1.0, area.right() - h * 0.5 - left), std::max(1.0, bottom - top));
    f.legendTop = area.bottom() - legendHeight + h * 0.2;
    return f;
}

void DrawTitle(QPainter& p, const QRectF& area, const QString& title, const ChartLook& look)
{
    if (title.isEmpty())
        return;
    QFont bold = look.font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::black);
    const QFontMetricsF fm(bold, p.device());
    p.drawText(QRectF(area.left(), area.top(), area.width(), fm.height() * 1.3), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(title, Qt::ElideRight, area.width()));
    p.setFont(look.font);
}

// The horizontal grid with its labels at the left, and the axes.
void DrawAxes(QPainter& p, const QRectF& plot, const QVector<QPair<double, QString>>& yTicks, double top,
              const ChartLook& look)
{
    const QFontMetricsF fm(look.font, p.device());
    p.setFont(look.font);
    for (const auto& [value, label] : yTicks) {
        const double y = plot.bottom() - value / top * plot.height();
        if (value > 0) {
            p.setPen(QPen(GridGrey, look.line));
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
        p.setPen(Qt::black);
        p.drawText(QRectF(plot.left() - fm.height() * 0.3 - 1000, y - fm.height() / 2, 1000, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    p.setPen(QPen(Qt::black, look.line));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    p.drawLine(plot.bottomLeft(), plot.topLeft());
}

// The legend in one row: a mark and its label for every entry.
template <typename DrawMark>
void DrawLegend(QPainter& p, const QRectF& area, double top, const QStringList& labels, const ChartLook& look,
                DrawMark drawMark)
{
    const QFontMetricsF fm(look.font, p.device());
    const double h = fm.height(), mark = h * 1.2;
    double x = area.left() + h * 0.5;
    p.setFont(look.font);
    for (int i = 0; i < labels.size(); ++i) {
        const double width = fm.horizontalAdvance(labels[i]);
        if (x + mark + h * 0.3 + width > area.right() && i > 0) {
            p.setPen(Qt::black);
            p.drawText(QPointF(x, top + fm.ascent()), QStringLiteral("…"));
            break;
        }
        drawMark(i, QRectF(x, top, mark, h));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + mark + h * 0.3, top, width + 1, h), Qt::AlignLeft | Qt::AlignVCenter, labels[i]);
        x += mark + h * 0.3 + width + h;
    }
}

double BarTop(const BarChart& chart, double* step)
{
    if (chart.percent) {
        *step = 0.25;
        return 1;
    }
    double top = chart.maximum;
    if (top <= 0)
        for (const QVector<double>& stack : chart.values) {
            double total = 0;
            for (double v : stack)
                total += std::max(0.0, v);
            top = std::max(top, total);
        }
    *step = NiceStep(top);
    return std::max(*step, std::ceil(top / *step - 1e-9) * *step);
}

QVector<QPair<double, QString>> BarTicks(const BarChart& chart, double top, double step)
{
    QVector<QPair<double, QString>> ticks;
    for (double v = 0; v <= top + step / 2; v += step)
        ticks.append({v, chart.percent ? PercentText(v) : NumberText(v)});
    return ticks;
}

}  // namespace

QRectF BarPlotArea(QPainter& p, const QRectF& area, const BarChart& chart, const ChartLook& look)
{
    double step = 1;
    const double top = BarTop(chart, &step);
    QStringList labels;
    for (const auto& tick : BarTicks(chart, top, step))
        labels << tick.second;
    return Layout(QFontMetricsF(look.font, p.device()), area, !chart.title.isEmpty(), chart.layers.size() > 1, labels).plot;
}

void DrawBarChart(QPainter& p, const QRectF& area, const BarChart& chart, const ChartLook& look)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    double step = 1;
    const double top = BarTop(chart, &step);
    const QVector<QPair<double, QString>> ticks = BarTicks(chart, top, step);
    QStringList tickLabels;
    for (const auto& tick : ticks)
        tickLabels << tick.second;
    const QFontMetricsF fm(look.font, p.device());
    const Frame f = Layout(fm, area, !chart.title.isEmpty(), chart.layers.size() > 1, tickLabels);
    DrawTitle(p, area, chart.title, look);
    DrawAxes(p, f.plot, ticks, top, look);

    const int n = int(chart.categories.size());
    const double slot = n > 0 ? f.plot.width() / n : f.plot.width();
    for (int c = 0; c < n; ++c) {
        const double x = f.plot.left() + c * slot + slot * 0.2, w = slot * 0.6;
        double base = f.plot.bottom(), total = 0;
        const QVector<double> stack = c < chart.values.size() ? chart.values[c] : QVector<double>();
        for (int l = 0; l < std::min(stack.size(), chart.layers.size()); ++l) {
            const double v = std::clamp(stack[l], 0.0, top - total);
            const double h = v / top * f.plot.height();
            total += v;
            if (h <= 0)
                continue;
            p.fillRect(QRectF(x, base - h, w, h), chart.layers[l].colour);
            p.setPen(QPen(Qt::black, look.line));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(x, base - h, w, h));
            base -= h;
        }
        p.setPen(Qt::black);
        if (total > 0)
            p.drawText(QRectF(x - slot * 0.2, base - fm.height() * 1.1, slot, fm.height()), Qt::AlignHCenter | Qt::AlignBottom,
                       chart.percent ? PercentText(total) : NumberText(total));
        p.drawText(QRectF(f.plot.left() + c * slot, f.plot.bottom() + fm.height() * 0.15, slot, fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop, fm.elidedText(chart.categories[c], Qt::ElideRight, slot));
    }
    if (chart.layers.size() > 1) {
        QStringList labels;
        for (const ChartLayer& l : chart.layers)
            labels << l.label;
        DrawLegend(p, area, f.legendTop, labels, look, [&](int i, const QRectF& r) {
            const QRectF swatch(r.left(), r.top() + r.height() * 0.15, r.width() * 0.8, r.height() * 0.7);
            p.fillRect(swatch, chart.layers[i].colour);
            p.setPen(QPen(Qt::black, look.line));
            p.setBrush(Qt::NoBrush);
            p.drawRect(swatch);
        });
    }
    p.restore();
}

void DrawMarker(QPainter& p, const QPointF& at, double size, Marker marker, const QColor& colour)
{
    const double r = size / 2;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Qt::black, std::max(1.0, size / 8)));
    p.setBrush(colour);
    switch (marker) {
    case Marker::Circle:
        p.drawEllipse(at, r, r);
        break;
    case Marker::Square:
        p.drawRect(QRectF(at.x() - r * 0.9, at.y() - r * 0.9, r * 1.8, r * 1.8));
        break;
    case Marker::Triangle:
        p.drawPolygon(QPolygonF({QPointF(at.x(), at.y() - r * 1.1), QPointF(at.x() + r * 1.1, at.y() + r * 0.9),
                                 QPointF(at.x() - r * 1.1, at.y() + r * 0.9)}));
        break;
    case Marker::Diamond:
        p.drawPolygon(QPolygonF({QPointF(at.x(), at.y() - r * 1.2), QPointF(at.x() + r * 1.2, at.y()),
                                 QPointF(at.x(), at.y() + r * 1.2), QPointF(at.x() - r * 1.2, at.y())}));
        break;
    }
    p.restore();
}

void DrawLineChart(QPainter& p, const QRectF& area, const LineChart& chart, const ChartLook& look)
{
    p.save();
    const double yMax = chart.yMax > 0 ? chart.yMax : 100;
    const double yStep = NiceStep(yMax) * (yMax / NiceStep(yMax) > 4 ? 1 : 0.5);
    QVector<QPair<double, QString>> ticks;
    QStringList tickLabels;
    for (double v = 0; v <= yMax + yStep / 2; v += yStep) {
        ticks.append({v, NumberText(v) + chart.ySuffix});
        tickLabels << ticks.last().second;
    }
    const QFontMetricsF fm(look.font, p.device());
    const Frame f = Layout(fm, area, !chart.title.isEmpty(), !chart.series.isEmpty(), tickLabels);
    DrawTitle(p, area, chart.title, look);
    DrawAxes(p, f.plot, ticks, yMax, look);
    // A single moment gets a day on either side, so its point stands in the middle.
    double x0 = chart.xMin, x1 = chart.xMax;
    if (x1 <= x0) {
        x0 -= 1;
        x1 += 1;
    }
    // The plot keeps a margin inside, so markers at the ends are drawn whole.
    const double inset = fm.height() * 0.6;
    const QRectF inner = f.plot.adjusted(inset, 0, -inset, 0);
    auto place = [&](const QPointF& v) {
        return QPointF(inner.left() + (v.x() - x0) / (x1 - x0) * inner.width(),
                       f.plot.bottom() - std::clamp(v.y(), 0.0, yMax) / yMax * f.plot.height());
    };
    p.setFont(look.font);
    for (const auto& [x, label] : chart.xTicks) {
        const double px = place(QPointF(x, 0)).x();
        p.setPen(QPen(Qt::black, look.line));
        p.drawLine(QPointF(px, f.plot.bottom()), QPointF(px, f.plot.bottom() + fm.height() * 0.25));
        const double w = fm.horizontalAdvance(label);
        const double left = std::clamp(px - w / 2, area.left(), area.right() - w);
        p.drawText(QRectF(left, f.plot.bottom() + fm.height() * 0.25, w + 1, fm.height()), Qt::AlignLeft | Qt::AlignTop,
                   label);
    }
    const double markerSize = fm.height() * 0.7;
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const LineSeries& s : chart.series) {
        QPolygonF line;
        for (const QPointF& v : s.points)
            line << place(v);
        QPen pen(s.colour, look.line * 2, s.style);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (line.size() > 1)
            p.drawPolyline(line);
        for (const QPointF& at : line)
            DrawMarker(p, at, markerSize, s.marker, s.colour);
    }
    QStringList labels;
    for (const LineSeries& s : chart.series)
        labels << s.label;
    DrawLegend(p, area, f.legendTop, labels, look, [&](int i, const QRectF& r) {
        const LineSeries& s = chart.series[i];
        QPen pen(s.colour, look.line * 2, s.style);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        const double y = r.center().y();
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        DrawMarker(p, r.center(), markerSize, s.marker, s.colour);
    });
    p.restore();
}

}  // namespace kav

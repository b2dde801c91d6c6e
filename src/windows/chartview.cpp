#include "windows/chartview.h"

#include <QPainter>
#include <cmath>

namespace kav {

void TChartView::draw(QPainter& p) const
{
    p.fillRect(rect(), Qt::white);
    const ChartLook look{font(), std::max(1.0, std::floor(font().pointSizeF() / 9))};
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    if (const auto* bars = std::get_if<BarChart>(&chart_))
        DrawBarChart(p, area, *bars, look);
    else if (const auto* lines = std::get_if<LineChart>(&chart_))
        DrawLineChart(p, area, *lines, look);
}

void TChartView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    draw(p);
}

QImage TChartView::image() const
{
    QImage img(size(), QImage::Format_RGB32);
    QPainter p(&img);
    draw(p);
    return img;
}

}  // namespace kav

// A chart in a window: the program's own bar or line chart, drawn in the widget's font by the
// same code that prints it.
#pragma once
#include <QWidget>
#include <variant>

#include "draw/charts.h"

namespace kav {

class TChartView : public QWidget {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent = nullptr) : QWidget(parent) {}
    void setChart(const BarChart& chart)
    {
        chart_ = chart;
        update();
    }
    void setChart(const LineChart& chart)
    {
        chart_ = chart;
        update();
    }
    // The chart as the widget shows it, drawn into an image of the widget's size.
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void draw(QPainter& p) const;
    std::variant<std::monostate, BarChart, LineChart> chart_;
};

}  // namespace kav

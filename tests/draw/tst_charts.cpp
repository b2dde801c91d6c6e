// The program's own charts: bars as tall as their values on the axis, stacked layers one on
// the other, and lines through their points, on a small image.
#include <QImage>
#include <QPainter>
#include <QTest>

#include "draw/charts.h"

using namespace kav;

namespace {

const QColor Dark(24, 70, 140), Light(150, 195, 235);

ChartLook Look()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    return ChartLook{f, 1};
}

// The rows of colour c in column x.
int Rows(const QImage& img, int x, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        n += img.pixel(x, y) == c.rgb();
    return n;
}

}  // namespace

class TestCharts : public QObject {
    Q_OBJECT
private slots:
    void barsStandOnTheAxisAsTallAsTheirValues()
    {
        BarChart c;
        c.title = QStringLiteral("Cijfers");
        c.categories = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
        c.layers = {{QStringLiteral("Leerlingen"), Dark}};
        c.values = {{2}, {1}, {0}};
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        const QRectF area(0, 0, 300, 200);
        const QRectF plot = BarPlotArea(p, area, c, Look());
        DrawBarChart(p, area, c, Look());
        p.end();
        const double slot = plot.width() / 3;
        const int full = Rows(img, int(plot.left() + slot / 2), Dark);
        QVERIFY(qAbs(full - plot.height()) <= 2);
        QVERIFY(qAbs(Rows(img, int(plot.left() + slot * 1.5), Dark) - plot.height() / 2) <= 2);
        QCOMPARE(Rows(img, int(plot.left() + slot * 2.5), Dark), 0);

        // Shares stacked: the first layer from the axis, the second on top of it.
        c.percent = true;
        c.layers.append({QStringLiteral("2e poging"), Light});
        c.values = {{0.25, 0.5}, {1.5, 0}, {0, 0}};  // more than everything is cut at the top
        img.fill(Qt::white);
        QPainter q(&img);
        const QRectF shares = BarPlotArea(q, area, c, Look());
        DrawBarChart(q, area, c, Look());
        q.end();
        const double w = shares.width() / 3;
        QVERIFY(qAbs(Rows(img, int(shares.left() + w / 2), Dark) - shares.height() / 4) <= 2);
        QVERIFY(qAbs(Rows(img, int(shares.left() + w / 2), Light) - shares.height() / 2) <= 2);
        QVERIFY(qAbs(Rows(img, int(shares.left() + w * 1.5), Dark) - shares.height()) <= 2);
    }

    void linesGoThroughTheirPoints()
    {
        LineChart c;
        c.xMin = 0;
        c.xMax = 10;
        c.series = {{QStringLiteral("Verbanden"), Dark, Qt::SolidLine, Marker::Circle, {{0, 0}, {10, 100}}},
                    {QStringLiteral("Verhoudingen"), Light, Qt::DashLine, Marker::Square, {{5, 50}}}};
        QImage img(300, 200, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        DrawLineChart(p, QRectF(0, 0, 300, 200), c, Look());
        p.end();
        // The rising line crosses the middle where the single point of the other stands.
        int dark = 0, light = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                dark += img.pixel(x, y) == Dark.rgb();
                light += img.pixel(x, y) == Light.rgb();
            }
        QVERIFY(dark > 150);
        QVERIFY(light > 20);
        // A chart of one moment has no width to divide: its point stands in the middle.
        c.xMin = c.xMax = 5;
        img.fill(Qt::white);
        QPainter q(&img);
        DrawLineChart(q, QRectF(0, 0, 300, 200), c, Look());
        q.end();
        int left = img.width(), right = 0;
        for (int y = 0; y < img.height() * 3 / 4; ++y)  // above the legend
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) == Light.rgb()) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        QVERIFY(left < right);
        QVERIFY(qAbs((left + right) / 2 - 150) < 25);
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"

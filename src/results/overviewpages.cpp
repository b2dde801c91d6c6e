// The class overview on paper: the table of pupils × items first, then the charts, the themes,
// the items and who did not finish, each part on a new page when it doesn't fit any more.
#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include "results/overviewpages.h"
#include "results/pages.h"
#include "results/report.h"
#include "session/testcode.h"

namespace kav {

namespace {

constexpr double TitlePoints = 14, BodyPoints = 8, TablePoints = 7.5, HeadPoints = 11;

// Draws the pages, or with no painter only counts them.
class OverviewPages {
public:
    OverviewPages(QPainter* p, QPagedPaintDevice* device, const ClassOverview& o, bool wrongFirst, int pages)
        : p_(p), device_(device), sheet_(device), o_(o), order_(o.itemOrder(wrongFirst)), wrongFirst_(wrongFirst),
          pages_(pages)
    {
    }

    bool paint()
    {
        title();
        grid();
        legend();
        charts();
        themes();
        items();
        notFinished();
        footer();
        return ok_;
    }
    int pages() const { return page_ + 1; }

private:
    double line(double points, bool bold = false) const { return sheet_.lineSpacing(points, bold); }

    void text(const QRectF& r, const QString& t, double points, bool bold = false,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, const QColor& colour = Qt::black)
    {
        if (p_)
            DrawPageText(*p_, r, t, points, bold, align, colour);
    }

    // Room for h more on this page, else the next page.
    void need(double h)
    {
        if (y_ + h <= sheet_.bottom() || y_ <= 0)
            return;
        footer();
        ++page_;
        if (p_ && !device_->newPage())
            ok_ = false;
        y_ = 0;
    }

    void footer()
    {
        if (p_)
            DrawPageFooter(*p_, sheet_, QStringLiteral("Klasoverzicht ") + GroupTestCode(o_.code), page_, pages_);
    }

    void heading(const QString& t)
    {
        need(line(HeadPoints, true) * 3);
        y_ += line(BodyPoints) * 0.6;
        text(QRectF(0, y_, sheet_.width, line(HeadPoints, true)), t, HeadPoints, true);
        y_ += line(HeadPoints, true) * 1.1;
    }

    void title()
    {
        const double h = line(TitlePoints, true);
        text(QRectF(0, y_, sheet_.width, h), QStringLiteral("Klasoverzicht toetscode ") + GroupTestCode(o_.code),
             TitlePoints, true);
        y_ += h * 1.1;
        text(QRectF(0, y_, sheet_.width, line(BodyPoints)), OverviewSubtitle(o_), BodyPoints);
        y_ += line(BodyPoints) * 1.2;
        for (const QString& note : OverviewNotes(o_))
            y_ += DrawWholeText(p_, sheet_, QRectF(0, y_, sheet_.width, 0), note, BodyPoints, false, PageGrey);
        y_ += line(BodyPoints) * 0.5;
    }

    // The columns of the table: name, grade, status, time, then the items.
    struct Columns {
        double name, grade, status, time, items, cell;
    };
    Columns columns() const
    {
        Columns c;
        c.grade = sheet_.mm(10);
        c.status = sheet_.mm(19);
        c.time = sheet_.mm(11);
        const int n = int(o_.items.size());
        const double rest = sheet_.width - sheet_.mm(36) - c.grade - c.status - c.time;
        c.cell = n > 0 ? std::min(sheet_.mm(6), rest / n) : 0;
        c.name = sheet_.width - c.grade - c.status - c.time - c.cell * n;
        c.items = c.name + c.grade + c.status + c.time;
        return c;
    }

    void gridHead(const Columns& c, double rowH)
    {
        const double x[] = {0, c.name, c.name + c.grade, c.name + c.grade + c.status};
        const QString heads[] = {QStringLiteral("Naam"), QStringLiteral("Cijfer"), QStringLiteral("Status"),
                                 QStringLiteral("Tijd")};
        const double w[] = {c.name, c.grade, c.status, c.time};
        for (int i = 0; i < 4; ++i)
            text(QRectF(x[i] + sheet_.mm(0.5), y_, w[i] - sheet_.mm(1), rowH), heads[i], TablePoints, true);
        for (int k = 0; k < order_.size(); ++k)
            text(QRectF(c.items + k * c.cell, y_, c.cell, rowH), QString::number(o_.items[order_[k]].number),
                 std::min(TablePoints, 6.5), true, Qt::AlignCenter);
        y_ += rowH;
        rule();
    }

    void rule()
    {
        if (p_) {
            p_->setPen(QPen(RuleGrey, std::max(1.0, sheet_.mm(0.15))));
            p_->drawLine(QPointF(0, y_), QPointF(sheet_.width, y_));
        }
    }

    void grid()
    {
        const Columns c = columns();
        const double rowH = line(TablePoints) * 1.3;
        need(rowH * 4);
        gridHead(c, rowH);
        for (const OverviewPupil& pupil : o_.pupils) {
            if (y_ + rowH > sheet_.bottom()) {
                need(rowH * 2);
                gridHead(c, rowH);
            }
            const double pad = sheet_.mm(0.5);
            text(QRectF(pad, y_, c.name - 2 * pad, rowH), PupilNameText(pupil), TablePoints);
            const bool begun = pupil.begun() || pupil.status == SessionStatus::Completed;
            text(QRectF(c.name, y_, c.grade, rowH), begun ? pupil.gradeText : QString::fromUtf16(NotGraded), TablePoints,
                 true, Qt::AlignCenter);
            text(QRectF(c.name + c.grade + pad, y_, c.status - 2 * pad, rowH), StatusName(pupil.status), TablePoints);
            text(QRectF(c.name + c.grade + c.status, y_, c.time, rowH), ClockText(pupil.seconds), TablePoints, false,
                 Qt::AlignCenter);
            for (int k = 0; k < order_.size(); ++k) {
                const ItemMark m = pupil.marks[order_[k]];
                const QRectF cell(c.items + k * c.cell, y_, c.cell, rowH);
                if (p_)
                    p_->fillRect(cell.adjusted(sheet_.mm(0.15), sheet_.mm(0.2), -sheet_.mm(0.15), -sheet_.mm(0.2)),
                                 MarkColour(m));
                text(cell, MarkSign(m), std::min(TablePoints, 6.5), true, Qt::AlignCenter, MarkTextColour(m));
            }
            y_ += rowH;
        }
        rule();
        // The p-values, turned a quarter so that they fit narrow columns.
        const QFont f = PageFont(std::min(TablePoints, 6.5));
        const double pH = sheet_.metrics(f).horizontalAdvance(QStringLiteral("0,00")) + sheet_.mm(1.5);
        need(std::max(pH, rowH));
        text(QRectF(sheet_.mm(0.5), y_, c.name, rowH), QStringLiteral("p-waarde"), TablePoints, true);
        for (int k = 0; k < order_.size() && p_; ++k) {
            p_->save();
            p_->translate(c.items + k * c.cell + c.cell / 2, y_ + pH - sheet_.mm(0.5));
            p_->rotate(-90);
            p_->setFont(f);
            p_->setPen(Qt::black);
            p_->drawText(QRectF(0, -c.cell / 2, pH, c.cell), Qt::AlignLeft | Qt::AlignVCenter,
                         o_.counted > 0 ? PValueText(o_.items[order_[k]].pValue) : QStringLiteral("\u2014"));
            p_->restore();
        }
        y_ += std::max(pH, rowH);
    }

    void legend()
    {
        const double h = line(BodyPoints) * 1.3;
        need(h);
        double x = 0;
        const QFont f = PageFont(BodyPoints);
        for (ItemMark m : {ItemMark::RightFirst, ItemMark::RightSecond, ItemMark::Wrong, ItemMark::NotDone}) {
            const QRectF swatch(x, y_ + h * 0.15, sheet_.mm(5), h * 0.7);
            if (p_) {
                p_->fillRect(swatch, MarkColour(m));
                p_->setPen(QPen(RuleGrey, sheet_.mm(0.15)));
                p_->drawRect(swatch);
            }
            text(swatch, MarkSign(m), BodyPoints, true, Qt::AlignCenter, MarkTextColour(m));
            const QString name = MarkName(m);
            text(QRectF(x + sheet_.mm(6.5), y_, sheet_.width, h), name, BodyPoints);
            x += sheet_.mm(6.5) + sheet_.metrics(f).horizontalAdvance(name) + sheet_.mm(6);
        }
        y_ += h * 1.2;
    }

    void charts()
    {
        heading(QStringLiteral("Grafieken"));
        const double h = sheet_.mm(62), gap = sheet_.mm(8);
        need(h);
        if (p_) {
            ChartLook look{PageFont(BodyPoints), std::max(1.0, sheet_.mm(0.25))};
            const double w = (sheet_.width - gap) / 2;
            DrawBarChart(*p_, QRectF(0, y_, w, h), GradeChart(o_), look);
            DrawBarChart(*p_, QRectF(w + gap, y_, w, h), ThemeChart(o_), look);
        }
        y_ += h;
    }

    // A table of text rows with columns of these widths (the first takes what is left).
    void table(const QStringList& heads, const QVector<double>& widthsMm, const QVector<QStringList>& rows)
    {
        const double rowH = line(TablePoints) * 1.3;
        QVector<double> w;
        double fixed = 0;
        for (double mm : widthsMm)
            fixed += sheet_.mm(mm);
        w.append(sheet_.width - fixed);
        for (double mm : widthsMm)
            w.append(sheet_.mm(mm));
        auto row = [&](const QStringList& cells, bool bold) {
            double x = 0;
            for (int i = 0; i < cells.size() && i < w.size(); ++i) {
                text(QRectF(x + sheet_.mm(0.5), y_, w[i] - sheet_.mm(1), rowH), cells[i], TablePoints, bold,
                     i == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
                x += w[i];
            }
            y_ += rowH;
        };
        need(rowH * 3);
        row(heads, true);
        rule();
        for (const QStringList& cells : rows) {
            if (y_ + rowH > sheet_.bottom()) {
                need(rowH * 2);
                row(heads, true);
                rule();
            }
            row(cells, false);
        }
    }

    void themes()
    {
        heading(QStringLiteral("Gemiddelde per thema"));
        QVector<QStringList> rows;
        for (const OverviewTheme& t : o_.themes)
            rows.append({OverviewThemeText(t.themeCode, t.themeTitle), QString::number(t.items), ShareText(t.average),
                         ShareText(t.rightFirst), ShareText(t.rightSecond)});
        table({QStringLiteral("Thema"), QStringLiteral("Opgaven"), QStringLiteral("Gemiddelde"), QStringLiteral("Goed 1e"),
               QStringLiteral("Goed 2e")},
              {18, 22, 18, 18}, rows);
    }

    void items()
    {
        heading(wrongFirst_ ? QStringLiteral("Opgaven, de vaakst foute eerst") : QStringLiteral("Opgaven"));
        QVector<QStringList> rows;
        for (int k : order_) {
            const OverviewItem& i = o_.items[k];
            rows.append({QString::number(i.number) + QStringLiteral(".  ") + OverviewThemeText(i.themeCode, i.themeTitle),
                         o_.counted > 0 ? PValueText(i.pValue) : QString::fromUtf16(NotGraded),
                         QString::number(i.count(ItemMark::RightFirst)), QString::number(i.count(ItemMark::RightSecond)),
                         QString::number(i.count(ItemMark::Wrong)), QString::number(i.count(ItemMark::NotDone))});
        }
        table({QStringLiteral("Opgave"), QStringLiteral("p-waarde"), QStringLiteral("Goed 1e"), QStringLiteral("Goed 2e"),
               QStringLiteral("Fout"), QStringLiteral("Niet gemaakt")},
              {18, 16, 16, 14, 22}, rows);
    }

    void notFinished()
    {
        heading(QStringLiteral("Niet afgemaakt"));
        const double h = DrawWholeText(nullptr, sheet_, QRectF(0, 0, sheet_.width, 0), NotFinishedText(o_), BodyPoints, false);
        need(h);
        DrawWholeText(p_, sheet_, QRectF(0, y_, sheet_.width, 0), NotFinishedText(o_), BodyPoints, false);
        y_ += h;
    }

    QPainter* p_;
    QPagedPaintDevice* device_;
    Sheet sheet_;
    const ClassOverview& o_;
    QVector<int> order_;
    bool wrongFirst_;
    int pages_;
    int page_ = 0;
    double y_ = 0;
    bool ok_ = true;
};

}  // namespace

int CountClassOverviewPages(QPagedPaintDevice* device, const ClassOverview& o, bool mostWrongFirst)
{
    OverviewPages counter(nullptr, device, o, mostWrongFirst, 0);
    counter.paint();
    return counter.pages();
}

bool PaintClassOverview(QPagedPaintDevice* device, const ClassOverview& o, bool mostWrongFirst)
{
    if (!device)
        return false;
    const int pages = CountClassOverviewPages(device, o, mostWrongFirst);
    QPainter p;
    if (!p.begin(device))
        return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    OverviewPages pagesOf(&p, device, o, mostWrongFirst, pages);
    const bool ok = pagesOf.paint();
    return p.end() && ok;
}

bool WriteClassOverviewPdf(const QString& path, const ClassOverview& o, bool mostWrongFirst, QString* error)
{
    return WriteA4Pdf(path, QStringLiteral("Klasoverzicht ") + GroupTestCode(o.code),
                      [&](QPagedPaintDevice* d) { return PaintClassOverview(d, o, mostWrongFirst); }, error);
}

}  // namespace kav

// The texts, colours and charts that the class overview window and its pages share.
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "results/overviewpages.h"
#include "session/testcode.h"

namespace kav {

QColor MarkColour(ItemMark m)
{
    // Lightness about 30, 75, 62 and 95 out of 100.
    switch (m) {
    case ItemMark::RightFirst:
        return QColor(24, 70, 140);
    case ItemMark::RightSecond:
        return QColor(150, 195, 235);
    case ItemMark::Wrong:
        return QColor(235, 120, 30);
    case ItemMark::NotDone:
        break;
    }
    return QColor(242, 242, 242);
}

QString MarkSign(ItemMark m)
{
    switch (m) {
    case ItemMark::RightSecond:
        return QStringLiteral("2");
    case ItemMark::Wrong:
        return QStringLiteral("\u00d7");
    default:
        return QString();
    }
}

QString MarkName(ItemMark m)
{
    switch (m) {
    case ItemMark::RightFirst:
        return QStringLiteral("Goed bij de eerste poging");
    case ItemMark::RightSecond:
        return QStringLiteral("Goed bij de tweede poging");
    case ItemMark::Wrong:
        return QStringLiteral("Fout");
    case ItemMark::NotDone:
        break;
    }
    return QStringLiteral("Niet gemaakt");
}

QColor MarkTextColour(ItemMark m)
{
    return m == ItemMark::RightFirst ? Qt::white : Qt::black;
}

QString PupilNameText(const OverviewPupil& pupil)
{
    QString name = pupil.name.isEmpty() ? QStringLiteral("(geen naam)") : pupil.name;
    if (pupil.sessions > 1)
        name += QStringLiteral(" (%1\u00d7)").arg(pupil.sessions);
    if (pupil.itemsDiffer)
        name += QStringLiteral(" \u2260");
    return name;
}

QString OverviewSubtitle(const ClassOverview& o)
{
    QStringList parts;
    if (!TopicName(o.sessionMode).isEmpty())
        parts << TopicName(o.sessionMode);
    parts << LevelName(o.level);
    parts << (o.items.size() == 1 ? QStringLiteral("1 opgave") : QStringLiteral("%1 opgaven").arg(o.items.size()));
    const QString pupils = o.pupils.size() == 1 ? QStringLiteral("1 leerling") : QStringLiteral("%1 leerlingen").arg(o.pupils.size());
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" \u00b7 ") + pupils;
}

QStringList OverviewNotes(const ClassOverview& o)
{
    QStringList notes;
    if (o.repeated > 0)
        notes << QStringLiteral("(2\u00d7): de leerling heeft deze toets vaker gemaakt; de laatste voltooide poging staat "
                                "erin (of de laatste, als geen enkele voltooid is).");
    if (o.differing > 0)
        notes << (o.differing == 1 ? QStringLiteral("\u2260: 1 leerling kreeg andere opgaven dan de rest van de klas; ")
                                   : QStringLiteral("\u2260: %1 leerlingen kregen andere opgaven dan de rest van de klas; ")
                                         .arg(o.differing)) +
                     QStringLiteral("niet meegeteld in de p-waarden en de gemiddelden per thema.");
    const int notBegun = int(std::count_if(o.pupils.begin(), o.pupils.end(), [](const OverviewPupil& p) { return !p.begun(); }));
    if (notBegun > 0)
        notes << (notBegun == 1 ? QStringLiteral("1 leerling opende de toets zonder een opgave te maken: ")
                                : QStringLiteral("%1 leerlingen openden de toets zonder een opgave te maken: ").arg(notBegun)) +
                     QStringLiteral("niet meegeteld in de cijfers en de p-waarden.");
    return notes;
}

QString NotFinishedText(const ClassOverview& o)
{
    if (o.notFinished.isEmpty())
        return QStringLiteral("Iedereen die de toets opende, heeft hem afgemaakt.");
    return QStringLiteral("Begonnen maar niet afgemaakt: ") + o.notFinished.join(QStringLiteral(", ")) + u'.';
}

QString OverviewThemeText(int themeCode, const QString& title)
{
    return themeCode == 0 ? QStringLiteral("?") : QString::number(themeCode) + QStringLiteral("  ") + title;
}

QString ShareText(double share)
{
    return QString::number(qint64(std::floor(std::clamp(share, 0.0, 1.0) * 100 + 0.5))) + u'%';
}

BarChart GradeChart(const ClassOverview& o)
{
    BarChart c;
    c.title = QStringLiteral("Cijfers (aantal leerlingen)");
    c.layers = {{QStringLiteral("Leerlingen"), MarkColour(ItemMark::RightFirst)}};
    for (int g = 1; g <= 10; ++g) {
        c.categories << QString::number(g);
        c.values.append(QVector<double>{double(o.gradeCounts[g - 1])});
    }
    return c;
}

BarChart ThemeChart(const ClassOverview& o)
{
    BarChart c;
    c.title = QStringLiteral("Goed per thema");
    c.percent = true;
    c.layers = {{QStringLiteral("1e poging"), MarkColour(ItemMark::RightFirst)},
                {QStringLiteral("2e poging"), MarkColour(ItemMark::RightSecond)}};
    for (const OverviewTheme& t : o.themes) {
        c.categories << QString::number(t.themeCode);
        c.values.append(QVector<double>{t.rightFirst, t.rightSecond});
    }
    return c;
}

QColor TopicColour(int sessionMode)
{
    switch (sessionMode) {
    case 0:
        return QColor(24, 70, 140);
    case 10:
        return QColor(235, 120, 30);
    case 20:
        return QColor(40, 150, 70);
    default:
        return QColor(150, 40, 130);
    }
}

LineChart ProgressChart(const QVector<ProgressLine>& lines, const QString& name)
{
    LineChart c;
    c.title = QStringLiteral("Percentage per onderdeel: ") + name;
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    const Marker markers[] = {Marker::Circle, Marker::Square, Marker::Triangle, Marker::Diamond};
    QDateTime first, last;
    for (const ProgressLine& line : lines) {
        const int topic = int(std::find(TestTopics.begin(), TestTopics.end(), line.sessionMode) - TestTopics.begin()) % 4;
        LineSeries s;
        s.label = TopicName(line.sessionMode);
        s.colour = TopicColour(line.sessionMode);
        s.style = styles[topic];
        s.marker = markers[topic];
        for (const ProgressPoint& p : line.points) {
            s.points.append(QPointF(double(p.when.toSecsSinceEpoch()), p.percentage));
            first = first.isValid() ? std::min(first, p.when) : p.when;
            last = last.isValid() ? std::max(last, p.when) : p.when;
        }
        c.series.append(s);
    }
    if (!first.isValid())
        return c;
    c.xMin = double(first.toSecsSinceEpoch());
    c.xMax = double(last.toSecsSinceEpoch());
    // Up to five dates along the axis, evenly spread, each named once.
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    const int ticks = first.date() == last.date() ? 1 : 5;
    for (int i = 0; i < ticks; ++i) {
        const double x = ticks == 1 ? (c.xMin + c.xMax) / 2 : c.xMin + (c.xMax - c.xMin) * i / (ticks - 1);
        const QString label = dutch.toString(QDateTime::fromSecsSinceEpoch(qint64(x)).date(), QStringLiteral("d MMM yyyy"));
        if (c.xTicks.isEmpty() || c.xTicks.last().second != label)
            c.xTicks.append({x, label});
    }
    return c;
}

}  // namespace kav

// What the class overview window and its printed pages share: the colours and names of the
// marks, the texts of a pupil's row, the charts made from the figures; and the pages
// themselves (A4, the same drawing for the printer and the PDF file). No widgets.
#pragma once
#include <QColor>
#include <QString>

#include "draw/charts.h"
#include "results/classoverview.h"

class QPagedPaintDevice;

namespace kav {

// The colour of a mark: blue for right, orange for wrong, each step also lighter or darker,
// so the four stay apart in grey print and for the colour-blind. Not done is near white.
QColor MarkColour(ItemMark m);
// The text on a coloured cell that the colour alone would have to carry: "2" for right at the
// second attempt, "×" for wrong; nothing for the other two.
QString MarkSign(ItemMark m);
QString MarkName(ItemMark m);  // "Goed bij de eerste poging", …
// Text on a cell of this colour: white on the dark ones.
QColor MarkTextColour(ItemMark m);

// "Anna (2×)": the name with how many sessions of the code there are when more than one.
QString PupilNameText(const OverviewPupil& pupil);
// "Verhoudingen, Durver, 20 opgaven · 28 leerlingen"
QString OverviewSubtitle(const ClassOverview& o);
// The lines under the title: sessions left out of the figures, pupils with several sessions.
QStringList OverviewNotes(const ClassOverview& o);
// "Begonnen maar niet afgemaakt: Bram, Fleur." or that everyone finished.
QString NotFinishedText(const ClassOverview& o);
// "14  Omrekenen van geld"
QString OverviewThemeText(int themeCode, const QString& title);
// "72%": a share 0 .. 1 as a whole percentage
QString ShareText(double share);

// The charts of the overview: how many pupils got each grade, the share right per theme; and
// a pupil's percentage per topic over time.
BarChart GradeChart(const ClassOverview& o);
BarChart ThemeChart(const ClassOverview& o);
LineChart ProgressChart(const QVector<ProgressLine>& lines, const QString& name);
// The look of the lines of topic n (in the order of the main menu).
QColor TopicColour(int sessionMode);

// The overview on A4 pages: the table of pupils × items with the p-values, the charts, the
// themes, the items (most often wrong first when asked) and who did not finish; false when the
// device can't be painted on.
bool PaintClassOverview(QPagedPaintDevice* device, const ClassOverview& o, bool mostWrongFirst);
// How many pages that takes.
int CountClassOverviewPages(QPagedPaintDevice* device, const ClassOverview& o, bool mostWrongFirst);
// As an A4 PDF; false with a Dutch one-line message in *error.
bool WriteClassOverviewPdf(const QString& path, const ClassOverview& o, bool mostWrongFirst, QString* error);

}  // namespace kav

// The printed report of sessions: for each session a header with the name, the score and the
// grade, then every item with its question, its picture, the answers and whether it was right.
// One drawing code for the printer and the PDF file; no widgets.
#pragma once
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "results/result.h"

class QPagedPaintDevice;

namespace kav {

struct ReportOptions {
    bool rightAnswers = true;  // false: the right answers are left out (a pupil's copy of a coded test)
};

// Draws one report per session on a paged device (QPdfWriter or a QPrinter), each session
// starting on a new page; false when the device can't be painted on.
bool PaintReports(QPagedPaintDevice* device, const QVector<SessionResult>& sessions, const ReportOptions& options);
// Told after each session drawn, with how many are done; false cancels.
using ReportProgress = std::function<bool(int sessionsDone)>;
bool PaintReports(QPagedPaintDevice* device, const SessionSource& next, const ReportOptions& options,
                  const ReportProgress& progress = {});
// How many A4 pages the reports of the sessions take.
int CountReportPages(const SessionSource& next, const ReportOptions& options);
// The reports as an A4 PDF at 300 dpi; false with a Dutch one-line message in *error when the
// file can't be written.
bool WriteReportPdf(const QString& path, const QVector<SessionResult>& sessions, const ReportOptions& options,
                    QString* error);
// The same session by session from a source, with progress; cancelled, it returns false with
// *error empty and leaves no file.
bool WriteReportPdf(const QString& path, const QString& title, const SessionSource& next, const ReportOptions& options,
                    QString* error, const ReportProgress& progress = {});

// ---- what the report and the results window share --------------------------------

// One line of a session's summary: "Cijfer" and "7,3".
struct SummaryField {
    QString key;  // a short name for finding the field: "naam", "cijfer", ...
    QString label;
    QString value;
};
// The summary of a session in the order it is shown: name, date, topic, level, class code
// (only when there is one), score, points, grade, the counts, the time taken and the status.
QVector<SummaryField> SummaryFields(const SessionResult& s);
// "7 december 2026, 14:05"
QString DateTimeText(const QDateTime& t);
// "45 s", "12 min 5 s", "1 uur 3 min 0 s"
QString DurationText(qint64 seconds);
// "Verhoudingen, test" or "Verbanden, oefenen"
QString TopicAndKindText(const SessionResult& s);
// "14  Omrekenen van geld"
QString ThemeText(const ItemResult& item);
// "goed", "fout" or "niet af", and its colour
QString RightWrongText(const ItemResult& item);
QColor RightWrongColour(const ItemResult& item);
// Whether the item's picture may be shown: always with the right answers; without them only
// when it is the picture the pupil answered on (older items of a coded test may show the
// answer in it).
bool PictureShown(const ItemResult& item, bool rightAnswers);
// The question of an item: the texts of its text area before the first answer was written,
// and the same joined into lines.
QVector<TextLogEntry> QuestionTexts(const ItemResult& item);
QStringList QuestionLines(const ItemResult& item);
// The text area as stored, or drawn again at `scale` times its size on the screen; without the
// right answer, the texts that give it away ("Het juiste antwoord was: ..." and what follows,
// " (Precies: ...)") are covered with the background.
QImage ShownTextImage(const ItemResult& item, bool rightAnswers, double scale = 1);
QImage ShownTextImage(const ItemResult& item, bool rightAnswers, QImage image, double scale);

// ---- the layout, open for checking ----------------------------------------------

// A stored picture is the screen drawing (about 645 x 646 pixels at 1024 x 768). It prints no
// larger than MinPictureDpi allows, so it stays sharp on paper: 645 pixels never take more
// than 3,2 inch (82 mm). A picture smaller than that prints smaller; it is never enlarged past
// this bound to fill its place.
inline constexpr double MinPictureDpi = 200.0;
// An item drawn again for paper is drawn at this resolution of its printed size, between
// these times the size it had on the screen.
inline constexpr double PrintPictureDpi = 240.0;
inline constexpr double SmallestRedrawScale = 0.3, LargestRedrawScale = 6.0;
// The printed size in inches of a picture of the given pixels in room (inches): as large as
// fits with its shape kept, but never below MinPictureDpi.
QSizeF PrintedPictureSize(QSize pixels, QSizeF room);

// Where the items of a session go: a page (0 is the session's first) and the rectangles in
// the device's pixels, measured from the top left of the printable area.
struct ReportItemPlace {
    int page = 0;
    QRectF box;      // the whole item
    QRectF picture;  // empty when the item has no picture
};
struct ReportPlan {
    int pages = 1;
    QVector<ReportItemPlace> items;
};
// The plan of one session's report on this device with its page size and resolution.
ReportPlan PlanReport(QPagedPaintDevice* device, const SessionResult& session, const ReportOptions& options);

}  // namespace kav

// The report's pages. Everything is measured in the device's own pixels from millimetres and
// points, so the same code draws a 300-dpi PDF and a 600-dpi printer page alike.
#include "results/report.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QMap>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

#include "draw/canvas.h"
#include "draw/measures.h"
#include "results/pages.h"

namespace kav {

namespace {

// Measures of a page, in millimetres and points.
constexpr double RunningHeadMm = 9;     // the name above the items on a session's next pages
constexpr double ItemGapMm = 3;         // space above the rule that opens an item
constexpr double ColumnGapMm = 4;       // between question, answers and picture
constexpr double PictureHeightMm = 38;  // the height of an item's picture at most
constexpr double QuestionShare = 0.40;  // of the width: the question
constexpr double AnswerShare = 0.27;    // of the width: the answers; the picture has the rest
constexpr double TitlePoints = 16, SummaryPoints = 10, ItemTitlePoints = 10, AnswerPoints = 9;
constexpr double QuestionPoints = 9.5; // the question's usual text; it may come out smaller

const QColor& Grey = PageGrey;

QFont ReportFont(double points, bool bold = false)
{
    return PageFont(points, bold);
}

double PageTop(const Sheet& sheet, int page, double headerHeight)
{
    return page == 0 ? headerHeight : sheet.mm(RunningHeadMm);
}

// An answer line: "2e antwoord:" and "7,25".
struct AnswerLine {
    QString label, value;
};

QVector<AnswerLine> AnswerLines(const ItemResult& item, const ReportOptions& o)
{
    const auto shown = [](const QString& a) { return a.trimmed().isEmpty() ? QStringLiteral("–") : a; };
    QVector<AnswerLine> lines{{QStringLiteral("1e antwoord:"), shown(item.firstAnswer)}};
    if (item.attempts > 1)
        lines.append({QStringLiteral("2e antwoord:"), shown(item.secondAnswer)});
    if (o.rightAnswers)
        lines.append({QStringLiteral("Juiste antwoord:"), shown(item.rightAnswer)});
    lines.append({QStringLiteral("Punten:"), QString::number(item.points)});
    return lines;
}

// The measures of one item on the page.
struct ItemGeometry {
    QVector<TextLogEntry> question;
    double textLeft = 0, textTop = 0;  // where the question starts in the text area (screen pixels)
    double scale = 1;                  // device pixels per pixel of the text area
    double questionHeight = 0, answersHeight = 0, titleHeight = 0;
    QSizeF picture;  // device pixels
    double height = 0;
    double questionWidth = 0, answersWidth = 0;
};

double EntryHeight(const TextLogEntry& e)
{
    return PointsToPixels(qMax(1, e.size)) * 1.2;
}

ItemGeometry Measure(const Sheet& sheet, const ItemResult& item, const ReportOptions& o, double maxHeight)
{
    ItemGeometry g;
    const double gap = sheet.mm(ColumnGapMm);
    g.questionWidth = sheet.width * QuestionShare;
    g.answersWidth = sheet.width * AnswerShare;
    g.titleHeight = sheet.lineSpacing(ItemTitlePoints, true) * 1.15;

    // The question is drawn again from the texts as they were written, at their places, in
    // the column's width: sharp at any size, with built-up fractions where they stood.
    g.question = QuestionTexts(item);
    if (!g.question.isEmpty()) {
        double left = g.question.first().x, top = g.question.first().y, bottom = 0;
        for (const TextLogEntry& e : g.question) {
            left = std::min<double>(left, e.x);
            top = std::min<double>(top, e.y);
            bottom = std::max(bottom, e.y + EntryHeight(e));
        }
        const QSize area = item.textArea();
        double areaWidth = area.width() > 0 ? area.width() - 2 * left : 0;
        if (areaWidth <= 0) {  // no picture of the text area: as wide as the widest line
            Canvas measure(1, 1);
            for (const TextLogEntry& e : g.question) {
                measure.font.size = e.size;
                measure.font.bold = e.bold;
                areaWidth = std::max(areaWidth, e.x - left + measure.textWidth(e.text));
            }
        }
        // The size most of the question is written in prints at QuestionPoints, unless the
        // lines would then not fit the column.
        QMap<int, int> sizes;
        for (const TextLogEntry& e : g.question)
            ++sizes[qMax(1, e.size)];
        const int usual = std::max_element(sizes.begin(), sizes.end()).key();
        g.textLeft = left;
        g.textTop = top;
        g.scale = std::min(g.questionWidth / std::max(1.0, areaWidth),
                           QuestionPoints / 72.0 * sheet.dpi / PointsToPixels(usual));
        g.questionHeight = (bottom - top) * g.scale;
    }
    g.answersHeight = AnswerLines(item, o).size() * sheet.lineSpacing(AnswerPoints);

    // An item drawn again has as many pixels as the paper asks: its picture fills the room.
    QSize px = PictureShown(item, o.rightAnswers) ? item.pictureArea() : QSize();
    if (item.redrawn())
        px *= LargestRedrawScale;
    const double roomWidth = sheet.width - g.questionWidth - g.answersWidth - 2 * gap;
    const QSizeF inches =
        PrintedPictureSize(px, QSizeF(roomWidth / sheet.dpi, sheet.mm(PictureHeightMm) / sheet.dpi));
    // Whole device pixels, rounded down, so the picture never prints below its resolution.
    g.picture = QSizeF(std::floor(inches.width() * sheet.dpi), std::floor(inches.height() * sheet.dpi));

    const double head = sheet.mm(ItemGapMm) + g.titleHeight + sheet.mm(1.5);
    // A question longer than a page is cut at the page's end; an item is never split.
    g.questionHeight = std::min(g.questionHeight, std::max(0.0, maxHeight - head));
    g.height = head + std::max({g.questionHeight, g.answersHeight, g.picture.height()});
    return g;
}

struct PlacedItem {
    const ItemResult* item;
    ItemGeometry g;
    int page;
    double y;
};

double HeaderHeight(const Sheet& sheet, const SessionResult& s)
{
    const int rows = int(SummaryFields(s).size() + 1) / 2;
    const double extra = s.items.isEmpty() ? 2 * sheet.lineSpacing(SummaryPoints) : 0;
    return sheet.lineSpacing(TitlePoints, true) * 1.2 + sheet.mm(2) + rows * sheet.lineSpacing(SummaryPoints) * 1.2 +
           sheet.mm(3) + extra;
}

QVector<PlacedItem> Place(const Sheet& sheet, const SessionResult& s, const ReportOptions& o, int* pages)
{
    const double header = HeaderHeight(sheet, s);
    const double emptyPage = sheet.bottom() - sheet.mm(RunningHeadMm);
    QVector<PlacedItem> placed;
    int page = 0;
    double y = header;
    for (const ItemResult& item : s.items) {
        const ItemGeometry g = Measure(sheet, item, o, emptyPage);
        if (y + g.height > sheet.bottom() && y > PageTop(sheet, page, header) + 0.5) {
            ++page;
            y = PageTop(sheet, page, header);
        }
        placed.append({&item, g, page, y});
        y += g.height;
    }
    if (pages)
        *pages = page + 1;
    return placed;
}

// Where the picture of a placed item goes: right of the answers, centred in its room.
QRectF PictureRect(const Sheet& sheet, const PlacedItem& placed)
{
    const ItemGeometry& g = placed.g;
    if (g.picture.isEmpty())
        return QRectF();
    const double left = g.questionWidth + g.answersWidth + 2 * sheet.mm(ColumnGapMm);
    return QRectF(left + (sheet.width - left - g.picture.width()) / 2,
                  placed.y + sheet.mm(ItemGapMm) + g.titleHeight + sheet.mm(1.5), g.picture.width(),
                  g.picture.height());
}

// ---- drawing -------------------------------------------------------------------

void DrawText(QPainter& p, const QRectF& r, const QString& text, double points, bool bold,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop, const QColor& colour = Qt::black)
{
    DrawPageText(p, r, text, points, bold, align, colour);
}

void DrawHeader(QPainter& p, const Sheet& sheet, const SessionResult& s)
{
    const double title = sheet.lineSpacing(TitlePoints, true) * 1.2;
    DrawText(p, QRectF(0, 0, sheet.width * 0.7, title), QStringLiteral("Resultaten"), TitlePoints, true);
    DrawText(p, QRectF(sheet.width * 0.7, 0, sheet.width * 0.3, title), QStringLiteral("Kavrin 2"), FootPoints, false,
             Qt::AlignRight | Qt::AlignVCenter, Grey);
    const QVector<SummaryField> fields = SummaryFields(s);
    const int rows = int(fields.size() + 1) / 2;
    const double row = sheet.lineSpacing(SummaryPoints) * 1.2, colWidth = sheet.width / 2;
    const QFontMetricsF fm = sheet.metrics(ReportFont(SummaryPoints));
    for (int c = 0; c < 2; ++c) {
        double labelWidth = 0;
        for (int r = 0; r < rows && c * rows + r < fields.size(); ++r)
            labelWidth = std::max(labelWidth, fm.horizontalAdvance(fields[c * rows + r].label + QStringLiteral(": ")));
        for (int r = 0; r < rows && c * rows + r < fields.size(); ++r) {
            const SummaryField& f = fields[c * rows + r];
            const double x = c * colWidth, y = title + sheet.mm(2) + r * row;
            DrawText(p, QRectF(x, y, labelWidth, row), f.label + u':', SummaryPoints, false, Qt::AlignLeft, Grey);
            DrawText(p, QRectF(x + labelWidth, y, colWidth - labelWidth - sheet.mm(3), row), f.value, SummaryPoints,
                     true);
        }
    }
    if (s.items.isEmpty())
        DrawText(p, QRectF(0, HeaderHeight(sheet, s) - 2 * sheet.lineSpacing(SummaryPoints), sheet.width, row),
                 QStringLiteral("Er zijn geen opgaven gemaakt."), SummaryPoints, false);
}

void DrawRunningHead(QPainter& p, const Sheet& sheet, const SessionResult& s)
{
    const QString text = SummaryFields(s).first().value + QStringLiteral("  ·  ") + TopicAndKindText(s) +
                         QStringLiteral("  ·  ") + DateTimeText(s.started);
    DrawText(p, QRectF(0, 0, sheet.width, sheet.mm(RunningHeadMm) - sheet.mm(3)), text, FootPoints, false,
             Qt::AlignLeft | Qt::AlignVCenter, Grey);
}

void DrawFooter(QPainter& p, const Sheet& sheet, const SessionResult& s, int page, int pages)
{
    DrawPageFooter(p, sheet, QStringLiteral("Kavrin 2  ·  Resultaten van ") + SummaryFields(s).first().value, page,
                   pages);
}

// Colours too light for white paper (yellow, aqua) print black.
QColor PaperColour(const QColor& c)
{
    return qGray(c.rgb()) > 160 ? QColor(Qt::black) : c;
}

void DrawQuestion(QPainter& p, const Sheet& sheet, const ItemGeometry& g, const QRectF& column)
{
    p.save();
    p.setClipRect(column);
    for (const TextLogEntry& e : g.question) {
        QFont f = ReportFont(1, e.bold);
        f.setPointSizeF(std::max(1.0, PointsToPixels(qMax(1, e.size)) * g.scale * 72.0 / sheet.dpi));
        p.setFont(f);
        p.setPen(PaperColour(e.color));
        const double ascent = QFontMetricsF(f, p.device()).ascent();
        p.drawText(QPointF(column.left() + (e.x - g.textLeft) * g.scale, column.top() + (e.y - g.textTop) * g.scale + ascent),
                   e.text);
    }
    p.restore();
}

// The picture on white paper: the light grey ground of the screen is left white. An item
// drawn again is drawn for the paper, at PrintPictureDpi or the sheet's resolution.
QImage PaperPicture(const ItemResult& item, const Sheet& sheet, QSizeF printed)
{
    if (!item.redrawn())
        return OnWhitePaper(item.pictureImage());
    const QSize area = item.pictureArea();
    if (area.isEmpty())
        return QImage();
    const double dpi = std::min(sheet.dpi, PrintPictureDpi);
    const double scale =
        std::clamp(printed.width() / sheet.dpi * dpi / area.width(), SmallestRedrawScale, LargestRedrawScale);
    QImage picture = item.pictureImage(scale);
    if (picture.isNull() && scale != 1)
        picture = item.pictureImage(1);  // as it was on the screen, should that size not do
    return OnWhitePaper(picture);
}

void DrawItem(QPainter& p, const Sheet& sheet, const PlacedItem& placed, const ReportOptions& o)
{
    const ItemResult& item = *placed.item;
    const ItemGeometry& g = placed.g;
    const double gap = sheet.mm(ColumnGapMm);
    double y = placed.y + sheet.mm(ItemGapMm);
    DrawRule(p, sheet, y - sheet.mm(1.2));
    const QString right = RightWrongText(item);
    const double rightWidth = sheet.metrics(ReportFont(ItemTitlePoints, true)).horizontalAdvance(right) + sheet.mm(2);
    DrawText(p, QRectF(0, y, sheet.width - rightWidth, g.titleHeight),
             QStringLiteral("Opgave %1   thema %2: %3").arg(item.number).arg(item.themeCode).arg(item.themeTitle),
             ItemTitlePoints, true);
    DrawText(p, QRectF(sheet.width - rightWidth, y, rightWidth, g.titleHeight), right, ItemTitlePoints, true,
             Qt::AlignRight | Qt::AlignTop, RightWrongColour(item));
    y += g.titleHeight + sheet.mm(1.5);

    DrawQuestion(p, sheet, g, QRectF(0, y, g.questionWidth, g.questionHeight));

    const QVector<AnswerLine> lines = AnswerLines(item, o);
    const QFontMetricsF fm = sheet.metrics(ReportFont(AnswerPoints));
    double labelWidth = 0;
    for (const AnswerLine& l : lines)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(l.label + u' '));
    const double ax = g.questionWidth + gap, line = sheet.lineSpacing(AnswerPoints);
    for (int i = 0; i < lines.size(); ++i) {
        DrawText(p, QRectF(ax, y + i * line, labelWidth, line), lines[i].label, AnswerPoints, false, Qt::AlignLeft, Grey);
        DrawText(p, QRectF(ax + labelWidth, y + i * line, g.answersWidth - labelWidth, line), lines[i].value,
                 AnswerPoints, true);
    }

    if (!g.picture.isEmpty()) {
        // The program's drawings are flat colours: kept lossless they are sharp and smaller
        // than as JPEG.
        p.save();
        p.setRenderHint(QPainter::LosslessImageRendering, true);
        p.drawImage(PictureRect(sheet, placed), PaperPicture(item, sheet, g.picture));
        p.restore();
    }
}

}  // namespace

QSizeF PrintedPictureSize(QSize pixels, QSizeF room)
{
    if (pixels.isEmpty() || room.isEmpty())
        return QSizeF();
    double w = room.width(), h = w * pixels.height() / pixels.width();
    if (h > room.height()) {
        h = room.height();
        w = h * pixels.width() / pixels.height();
    }
    // Never fewer than MinPictureDpi image pixels to an inch of paper.
    const double widest = pixels.width() / MinPictureDpi;
    if (w > widest) {
        w = widest;
        h = pixels.height() / MinPictureDpi;
    }
    return QSizeF(w, h);
}

ReportPlan PlanReport(QPagedPaintDevice* device, const SessionResult& session, const ReportOptions& options)
{
    ReportPlan plan;
    if (!device)
        return plan;
    const Sheet sheet(device);
    for (const PlacedItem& placed : Place(sheet, session, options, &plan.pages))
        plan.items.append({placed.page, QRectF(0, placed.y, sheet.width, placed.g.height), PictureRect(sheet, placed)});
    return plan;
}

bool PaintReports(QPagedPaintDevice* device, const SessionSource& next, const ReportOptions& options,
                  const ReportProgress& progress)
{
    if (!device)
        return false;
    QPainter p;
    if (!p.begin(device))
        return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const Sheet sheet(device);
    bool firstPage = true;
    int done = 0;
    SessionResult s;
    // Session by session: only the one being drawn is in memory.
    while (next(s)) {
        int pages = 1;
        const QVector<PlacedItem> placed = Place(sheet, s, options, &pages);
        for (int page = 0; page < pages; ++page) {
            if (!firstPage && !device->newPage()) {
                p.end();
                return false;
            }
            firstPage = false;
            if (page == 0)
                DrawHeader(p, sheet, s);
            else
                DrawRunningHead(p, sheet, s);
            for (const PlacedItem& item : placed)
                if (item.page == page)
                    DrawItem(p, sheet, item, options);
            DrawFooter(p, sheet, s, page, pages);
        }
        if (progress && !progress(++done)) {
            p.end();
            return false;
        }
    }
    if (firstPage)
        DrawText(p, QRectF(0, 0, sheet.width, sheet.lineSpacing(SummaryPoints) * 2),
                 QStringLiteral("Er zijn geen resultaten."), SummaryPoints, false);
    return p.end();
}

bool PaintReports(QPagedPaintDevice* device, const QVector<SessionResult>& sessions, const ReportOptions& options)
{
    return PaintReports(device, SourceOf(sessions), options);
}

int CountReportPages(const SessionSource& next, const ReportOptions& options)
{
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    writer.setResolution(300);
    SetA4Layout(&writer);
    const Sheet sheet(&writer);
    int total = 0;
    SessionResult s;
    while (next(s)) {
        int pages = 1;
        Place(sheet, s, options, &pages);
        total += pages;
    }
    return total;
}

bool WriteReportPdf(const QString& path, const QVector<SessionResult>& sessions, const ReportOptions& options,
                    QString* error)
{
    const QString title = sessions.size() == 1 ? QStringLiteral("Resultaten van ") + sessions.first().name
                                               : QStringLiteral("Resultaten");
    return WriteReportPdf(path, title, SourceOf(sessions), options, error);
}

bool WriteReportPdf(const QString& path, const QString& title, const SessionSource& next, const ReportOptions& options,
                    QString* error, const ReportProgress& progress)
{
    // Cancelled or failed, the file is never committed: no half file is left.
    bool cancelled = false;
    const bool ok = WriteA4Pdf(
        path, title,
        [&](QPagedPaintDevice* d) {
            return PaintReports(d, next, options, [&](int done) {
                cancelled = progress && !progress(done);
                return !cancelled;
            });
        },
        error);
    if (cancelled && error)
        error->clear();
    return ok;
}

}  // namespace kav

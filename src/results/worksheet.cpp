// The worksheet's pages: the header, the items with room to work out and an answer line, and
// the answer key on pages of its own. Measured in the device's pixels from millimetres and
// points, so the PDF and any printer come out alike.
#include "results/worksheet.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "results/pages.h"
#include "results/result.h"

namespace kav {

namespace {

constexpr double TextLineMm = 4.0;      // one text line of a question or explanation on paper
constexpr double PictureWidthMm = 58;   // a picture at most
constexpr double PictureHeightMm = 50;
constexpr double ItemGapMm = 4;         // above the rule that opens an item
// Room to work out: under the question at least this, and the item's body (beside the
// picture, which leaves the middle of the page free as well) at least MinBodyMm high.
constexpr double WorkRoomMm = 12;
constexpr double MinBodyMm = 40;
constexpr double AnswerLineMm = 45;     // the line the answer is written on
constexpr double RunningHeadMm = 9;
constexpr double KeyPictureWidthMm = 45, KeyPictureHeightMm = 42;
constexpr double TitlePoints = 16, HeadPoints = 10, ItemTitlePoints = 11, AnswerPoints = 11, SmallPoints = 8;

QString DateText(const QDate& d)
{
    return QLocale(QLocale::Dutch, QLocale::Netherlands).toString(d, QStringLiteral("d MMMM yyyy"));
}

QString LevelText(const Worksheet& w)
{
    return LevelName(w.level);
}

// The size on paper of a screen drawing at the worksheet's text scale.
QSizeF PrintedText(const Sheet& sheet, const Worksheet& w, const QImage& img)
{
    if (img.isNull())
        return QSizeF();
    const double perPixel = sheet.mm(TextLineMm) / std::max(1.0, w.linePixels);
    return QSizeF(img.width() * perPixel, img.height() * perPixel);
}

// A picture as large as fits the room with its shape kept, in whole device pixels.
QSizeF Fitted(const QImage& img, double roomWidth, double roomHeight)
{
    if (img.isNull())
        return QSizeF();
    double w = roomWidth, h = w * img.height() / img.width();
    if (h > roomHeight) {
        h = roomHeight;
        w = h * img.width() / img.height();
    }
    return QSizeF(std::floor(w), std::floor(h));
}

struct Measured {
    QSizeF question, picture;
    double title = 0, answer = 0, height = 0;
};

Measured MeasureItem(const Sheet& sheet, const Worksheet& w, const WorksheetItem& item)
{
    Measured m;
    m.title = sheet.lineSpacing(ItemTitlePoints, true) * 1.3;
    m.question = PrintedText(sheet, w, item.question);
    m.picture = Fitted(item.picture, sheet.mm(PictureWidthMm), sheet.mm(PictureHeightMm));
    m.answer = sheet.lineSpacing(AnswerPoints) * 1.6;
    const double left = m.question.height() + sheet.mm(WorkRoomMm) + m.answer;
    m.height = sheet.mm(ItemGapMm) + m.title + std::max({left, m.picture.height() + sheet.mm(2), sheet.mm(MinBodyMm)});
    return m;
}

struct KeyMeasured {
    QSizeF explanation, picture;
    double line = 0, height = 0;
};

KeyMeasured MeasureAnswer(const Sheet& sheet, const Worksheet& w, const WorksheetItem& item)
{
    KeyMeasured m;
    m.line = sheet.lineSpacing(AnswerPoints) * 1.35;
    m.explanation = PrintedText(sheet, w, item.explanation);
    m.picture = Fitted(item.explainedPicture, sheet.mm(KeyPictureWidthMm), sheet.mm(KeyPictureHeightMm));
    const double below = std::max(m.explanation.height(), m.picture.height());
    m.height = m.line + (below > 0 ? below + sheet.mm(4) : 0);
    return m;
}

double SheetHeaderHeight(const Sheet& sheet)
{
    return sheet.lineSpacing(TitlePoints, true) * 1.3 + 3 * sheet.lineSpacing(HeadPoints) * 1.25 + sheet.mm(8) +
           sheet.lineSpacing(HeadPoints) + sheet.mm(4);
}

double KeyHeaderHeight(const Sheet& sheet)
{
    return sheet.lineSpacing(TitlePoints, true) * 1.3 + sheet.lineSpacing(HeadPoints) * 1.25 + sheet.mm(4);
}

// Places blocks of the given heights on pages: a block never split, a new page when it does
// not fit; the first page starts below its header.
template <typename Height>
QVector<QPair<int, double>> PlaceBlocks(const Sheet& sheet, int count, double header, Height height, int* pages)
{
    QVector<QPair<int, double>> placed;
    int page = 0;
    double y = header;
    for (int i = 0; i < count; ++i) {
        const double h = height(i);
        const double top = page == 0 ? header : sheet.mm(RunningHeadMm);
        if (y + h > sheet.bottom() && y > top + 0.5) {
            ++page;
            y = sheet.mm(RunningHeadMm);
        }
        placed.append({page, y});
        y += h;
    }
    *pages = page + 1;
    return placed;
}

struct Layout {
    int sheetPages = 1, keyPages = 1;
    QVector<Measured> items;
    QVector<QPair<int, double>> itemPlaces;
    QVector<KeyMeasured> answers;
    QVector<QPair<int, double>> answerPlaces;
};

Layout MakeLayout(const Sheet& sheet, const Worksheet& w)
{
    Layout l;
    for (const WorksheetItem& item : w.items) {
        l.items.append(MeasureItem(sheet, w, item));
        l.answers.append(MeasureAnswer(sheet, w, item));
    }
    l.itemPlaces = PlaceBlocks(sheet, int(w.items.size()), SheetHeaderHeight(sheet),
                               [&](int i) { return l.items[i].height; }, &l.sheetPages);
    l.answerPlaces = PlaceBlocks(sheet, int(w.items.size()), KeyHeaderHeight(sheet),
                                 [&](int i) { return l.answers[i].height; }, &l.keyPages);
    return l;
}

QRectF ItemPicture(const Sheet& sheet, const Measured& m, double y)
{
    if (m.picture.isEmpty())
        return QRectF();
    return QRectF(sheet.width - m.picture.width(), y + sheet.mm(ItemGapMm) + m.title, m.picture.width(),
                  m.picture.height());
}

QRectF KeyPicture(const Sheet& sheet, const KeyMeasured& m, double y)
{
    if (m.picture.isEmpty())
        return QRectF();
    return QRectF(sheet.width - m.picture.width(), y + m.line, m.picture.width(), m.picture.height());
}

// ---- drawing -------------------------------------------------------------------

void DrawRunningHead(QPainter& p, const Sheet& sheet, const QString& text)
{
    DrawPageText(p, QRectF(0, 0, sheet.width, sheet.mm(RunningHeadMm) - sheet.mm(3)), text, SmallPoints, false,
                 Qt::AlignLeft | Qt::AlignVCenter, PageGrey);
}

double DrawTitle(QPainter& p, const Sheet& sheet, const QString& title)
{
    const double h = sheet.lineSpacing(TitlePoints, true) * 1.3;
    DrawPageText(p, QRectF(0, 0, sheet.width * 0.7, h), title, TitlePoints, true);
    DrawPageText(p, QRectF(sheet.width * 0.7, 0, sheet.width * 0.3, h), QStringLiteral("Kavrin 2"), SmallPoints, false,
                 Qt::AlignRight | Qt::AlignVCenter, PageGrey);
    return h;
}

// A label in grey and its value after it; the x after the value.
double DrawField(QPainter& p, const Sheet& sheet, double x, double y, const QString& label, const QString& value)
{
    const double row = sheet.lineSpacing(HeadPoints) * 1.25;
    const double lw = sheet.metrics(PageFont(HeadPoints)).horizontalAdvance(label + QStringLiteral(": "));
    DrawPageText(p, QRectF(x, y, lw, row), label + u':', HeadPoints, false, Qt::AlignLeft | Qt::AlignTop, PageGrey);
    const double vw = sheet.metrics(PageFont(HeadPoints, true)).horizontalAdvance(value) + 1;
    DrawPageText(p, QRectF(x + lw, y, std::min(vw, sheet.width - x - lw), row), value, HeadPoints, true);
    return x + lw + vw + sheet.mm(8);
}

void DrawSheetHeader(QPainter& p, const Sheet& sheet, const Worksheet& w)
{
    double y = DrawTitle(p, sheet, QStringLiteral("Werkblad"));
    const double row = sheet.lineSpacing(HeadPoints) * 1.25;
    double x = DrawField(p, sheet, 0, y, QStringLiteral("Onderdeel"), w.topic);
    x = DrawField(p, sheet, x, y, QStringLiteral("Niveau"), LevelText(w));
    if (!w.code.isEmpty())
        x = DrawField(p, sheet, x, y, QStringLiteral("Toetscode"), w.code);
    DrawField(p, sheet, x, y, QStringLiteral("Datum"), DateText(w.date));
    y += row;
    DrawField(p, sheet, 0, y, QStringLiteral("Opgaven"), QString::number(w.items.size()) + QStringLiteral(", ") + w.themes);
    y += row + sheet.mm(6);
    // The lines the pupil writes the name and class on.
    const QFont f = PageFont(HeadPoints + 1);
    const double naam = sheet.metrics(f).horizontalAdvance(QStringLiteral("Naam: "));
    const double klas = sheet.metrics(f).horizontalAdvance(QStringLiteral("Klas: "));
    const double line = sheet.lineSpacing(HeadPoints + 1);
    DrawPageText(p, QRectF(0, y, naam, line), QStringLiteral("Naam:"), HeadPoints + 1, false);
    const double klasX = sheet.width * 0.68;
    DrawPageText(p, QRectF(klasX, y, klas, line), QStringLiteral("Klas:"), HeadPoints + 1, false);
    p.setPen(QPen(Qt::black, std::max(1.0, sheet.mm(0.25))));
    const double base = y + line * 0.95;
    p.drawLine(QPointF(naam, base), QPointF(klasX - sheet.mm(6), base));
    p.drawLine(QPointF(klasX + klas, base), QPointF(sheet.width, base));
}

void DrawItem(QPainter& p, const Sheet& sheet, const WorksheetItem& item, const Measured& m, double y)
{
    y += sheet.mm(ItemGapMm);
    DrawRule(p, sheet, y - sheet.mm(1.5));
    const QString number = QStringLiteral("Opgave %1").arg(item.number);
    const double nw = sheet.metrics(PageFont(ItemTitlePoints, true)).horizontalAdvance(number) + sheet.mm(4);
    DrawPageText(p, QRectF(0, y, nw, m.title), number, ItemTitlePoints, true);
    DrawPageText(p, QRectF(nw, y, sheet.width - nw, m.title), item.themeTitle, SmallPoints, false,
                 Qt::AlignRight | Qt::AlignTop, PageGrey);
    y += m.title;
    if (!item.question.isNull())
        p.drawImage(QRectF(QPointF(0, y), m.question), item.question);
    if (!item.picture.isNull())
        p.drawImage(ItemPicture(sheet, m, y - m.title - sheet.mm(ItemGapMm)), item.picture);
    DrawPageText(p, QRectF(0, y + m.question.height() + sheet.mm(1), sheet.mm(40), sheet.lineSpacing(SmallPoints)),
                 QStringLiteral("Uitwerking:"), SmallPoints, false, Qt::AlignLeft | Qt::AlignTop, PageGrey);

    // The answer line at the foot of the item: the field's caption, the line, the unit.
    const double bottom = y - m.title - sheet.mm(ItemGapMm) + m.height;
    const double base = bottom - m.answer * 0.3;
    const QFont f = PageFont(AnswerPoints, true);
    const QFontMetricsF fm = sheet.metrics(f);
    const QString caption = item.caption.trimmed().isEmpty() ? QStringLiteral("Antwoord: ") : item.caption;
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(0, base), caption);
    double x = fm.horizontalAdvance(caption) + sheet.mm(1);
    p.setPen(QPen(Qt::black, std::max(1.0, sheet.mm(0.25))));
    p.drawLine(QPointF(x, base + sheet.mm(0.8)), QPointF(x + sheet.mm(AnswerLineMm), base + sheet.mm(0.8)));
    x += sheet.mm(AnswerLineMm) + sheet.mm(1);
    if (!item.suffix.trimmed().isEmpty()) {
        p.setFont(PageFont(AnswerPoints));
        p.drawText(QPointF(x, base), item.suffix.trimmed());
    }
}

void DrawKeyHeader(QPainter& p, const Sheet& sheet, const Worksheet& w)
{
    const double y = DrawTitle(p, sheet, QStringLiteral("Antwoorden"));
    DrawPageText(p, QRectF(0, y, sheet.width, sheet.lineSpacing(HeadPoints) * 1.25),
                 QStringLiteral("Bij het werkblad: ") + DescribeWorksheet(w) + QStringLiteral(", ") + DateText(w.date),
                 HeadPoints, false, Qt::AlignLeft | Qt::AlignTop, PageGrey);
}

void DrawAnswer(QPainter& p, const Sheet& sheet, const WorksheetItem& item, const KeyMeasured& m, double y)
{
    const double numberWidth = sheet.mm(12);
    DrawPageText(p, QRectF(0, y, numberWidth - sheet.mm(3), m.line), QString::number(item.number) + u'.', AnswerPoints,
                 true, Qt::AlignRight | Qt::AlignTop);
    DrawPageText(p, QRectF(numberWidth, y, sheet.width - numberWidth, m.line), item.answer + item.suffix, AnswerPoints,
                 false);
    if (!item.explanation.isNull())
        p.drawImage(QRectF(QPointF(numberWidth, y + m.line), m.explanation), item.explanation);
    if (!m.picture.isEmpty())
        p.drawImage(KeyPicture(sheet, m, y), item.explainedPicture);
}

QString HeadLine(const Worksheet& w, const QString& part)
{
    return part + QStringLiteral("  ·  ") + DescribeWorksheet(w) + QStringLiteral("  ·  ") + DateText(w.date);
}

}  // namespace

QString DescribeWorksheet(const Worksheet& w)
{
    QStringList parts{w.topic, LevelText(w),
                      w.items.size() == 1 ? QStringLiteral("1 opgave") : QStringLiteral("%1 opgaven").arg(w.items.size())};
    if (!w.code.isEmpty())
        parts << QStringLiteral("toetscode ") + w.code;
    return parts.join(QStringLiteral(", "));
}

WorksheetPlan PlanWorksheet(QPagedPaintDevice* device, const Worksheet& w, WorksheetParts parts)
{
    WorksheetPlan plan;
    if (!device)
        return plan;
    const Sheet sheet(device);
    const Layout l = MakeLayout(sheet, w);
    if (parts != WorksheetParts::Key) {
        plan.sheetPages = l.sheetPages;
        for (int i = 0; i < w.items.size(); ++i) {
            const double y = l.itemPlaces[i].second;
            plan.items.append({l.itemPlaces[i].first, QRectF(0, y, sheet.width, l.items[i].height),
                               ItemPicture(sheet, l.items[i], y)});
        }
    }
    if (parts != WorksheetParts::Sheet) {
        plan.keyPages = l.keyPages;
        for (int i = 0; i < w.items.size(); ++i) {
            const double y = l.answerPlaces[i].second;
            plan.answers.append({l.answerPlaces[i].first, QRectF(0, y, sheet.width, l.answers[i].height),
                                 KeyPicture(sheet, l.answers[i], y)});
        }
    }
    return plan;
}

bool PaintWorksheet(QPagedPaintDevice* device, const Worksheet& w, WorksheetParts parts)
{
    if (!device)
        return false;
    QPainter p;
    if (!p.begin(device))
        return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Drawings of lines and letters stay sharp: no JPEG in the PDF.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    const Sheet sheet(device);
    const Layout l = MakeLayout(sheet, w);
    bool first = true;
    auto nextPage = [&]() {
        const bool ok = first || device->newPage();
        first = false;
        return ok;
    };
    if (parts != WorksheetParts::Key) {
        for (int page = 0; page < l.sheetPages; ++page) {
            if (!nextPage()) {
                p.end();
                return false;
            }
            if (page == 0)
                DrawSheetHeader(p, sheet, w);
            else
                DrawRunningHead(p, sheet, HeadLine(w, QStringLiteral("Werkblad")));
            for (int i = 0; i < w.items.size(); ++i)
                if (l.itemPlaces[i].first == page)
                    DrawItem(p, sheet, w.items[i], l.items[i], l.itemPlaces[i].second);
            DrawPageFooter(p, sheet, QStringLiteral("Kavrin 2  ·  Werkblad"), page, l.sheetPages);
        }
    }
    if (parts != WorksheetParts::Sheet) {
        for (int page = 0; page < l.keyPages; ++page) {
            if (!nextPage()) {
                p.end();
                return false;
            }
            if (page == 0)
                DrawKeyHeader(p, sheet, w);
            else
                DrawRunningHead(p, sheet, HeadLine(w, QStringLiteral("Antwoorden")));
            for (int i = 0; i < w.items.size(); ++i)
                if (l.answerPlaces[i].first == page)
                    DrawAnswer(p, sheet, w.items[i], l.answers[i], l.answerPlaces[i].second);
            DrawPageFooter(p, sheet, QStringLiteral("Kavrin 2  ·  Antwoorden"), page, l.keyPages);
        }
    }
    return p.end();
}

bool WriteWorksheetPdf(const QString& path, const Worksheet& w, WorksheetParts parts, QString* error)
{
    const QString title =
        parts == WorksheetParts::Key ? QStringLiteral("Antwoorden bij het werkblad") : QStringLiteral("Werkblad");
    return WriteA4Pdf(path, title, [&](QPagedPaintDevice* d) { return PaintWorksheet(d, w, parts); }, error);
}

}  // namespace kav

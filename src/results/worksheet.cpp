// The worksheet's pages: the header, the items with room to work out and an answer line, and
// the answer key on pages of its own. Measured in the device's pixels from millimetres and
// points, so the PDF and any printer come out alike.
#include "results/worksheet.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "results/pages.h"
#include "results/result.h"
#include "session/catalogue.h"

namespace kav {

namespace {

constexpr double TextLineMm = 4.0;      // one text line of a question or explanation: 10 points
constexpr double PictureHeightMm = 58;  // a picture at most, unless its texts need more
constexpr double KeyPictureHeightMm = 45;
constexpr double ColumnGapMm = 6;       // between the question and its picture
constexpr double ItemGapMm = 4;         // above the rule that opens an item
// Room to work out: under the question at least this, and the item's body at least MinBodyMm
// high.
constexpr double WorkRoomMm = 12;
constexpr double MinBodyMm = 40;
constexpr double AnswerLineMm = 45;     // the line the answer is written on
constexpr double TitlePoints = 16, HeadPoints = 10, ItemTitlePoints = 11, AnswerPoints = 11, SmallPoints = 8;
// What a pupil must read in a picture prints at least this large: on the sheet and in the key.
constexpr double SheetPicturePoints = 9, KeyPicturePoints = 8;
// A picture prints at 200 image pixels to the inch or more (unless only a larger size makes its
// texts legible), and goes into the file at about 300.
constexpr double MinPictureDpi = 200, PrintDpi = 300;

QString DateText(const QDate& d)
{
    return QLocale(QLocale::Dutch, QLocale::Netherlands).toString(d, QStringLiteral("d MMMM yyyy"));
}

QString LevelText(const Worksheet& w)
{
    return LevelName(w.level);
}

// "21: Hoe groot is dat driehoeksgetal ?;  24: Terras zonder punt. Aantal tegels ?"
QString ThemeNames(const Worksheet& w)
{
    if (w.themeCodes.isEmpty())
        return w.themes;
    QStringList named;
    for (int c : w.themeCodes)
        named << QStringLiteral("%1: %2").arg(c).arg(ThemeTitle(c));
    return named.join(QStringLiteral(";  "));
}

QString ItemTheme(const WorksheetItem& item)
{
    return QStringLiteral("thema %1: %2").arg(item.themeCode).arg(item.themeTitle);
}

struct Field {
    QString label, value;
    bool bold = true;
};

QVector<Field> HeaderFields(const Worksheet& w)
{
    QVector<Field> fields{{QStringLiteral("Onderdeel"), w.topic}, {QStringLiteral("Niveau"), LevelText(w)}};
    if (!w.code.isEmpty())
        fields.append({QStringLiteral("Toetscode"), w.code});
    fields.append({QStringLiteral("Datum"), DateText(w.date)});
    fields.append({QStringLiteral("Opgaven"), QString::number(w.items.size())});
    fields.append({w.themeCodes.size() == 1 ? QStringLiteral("Thema") : QStringLiteral("Thema's"), ThemeNames(w),
                   w.themeCodes.isEmpty()});
    return fields;
}

// The header's fields, a label in grey and its value after it, one after the other on rows;
// a field that does not fit the rest of a row starts the next one, and one longer than a row
// wraps. The height they take.
double FlowFields(QPainter* p, const Sheet& sheet, double top, const QVector<Field>& fields)
{
    const double row = sheet.lineSpacing(HeadPoints) * 1.25, gap = sheet.mm(8);
    const QFont label = PageFont(HeadPoints);
    double x = 0, y = top, rowBottom = top + row;
    for (const Field& f : fields) {
        const QString l = f.label + QStringLiteral(": ");
        const double lw = sheet.metrics(label).horizontalAdvance(l);
        const double vw = sheet.metrics(PageFont(HeadPoints, f.bold)).horizontalAdvance(f.value) + 1;
        if (x > 0 && x + lw + vw > sheet.width) {
            x = 0;
            y = rowBottom;
            rowBottom = y + row;
        }
        if (p) {
            p->setFont(label);
            p->setPen(PageGrey);
            p->drawText(QRectF(x, y, lw, row), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, l);
        }
        const double h = DrawWholeText(p, sheet, QRectF(x + lw, y, std::min(vw, sheet.width - x - lw), row), f.value,
                                   HeadPoints, f.bold);
        rowBottom = std::max(rowBottom, y + std::max(row, h + row * 0.2));
        x += lw + vw + gap;
    }
    return rowBottom - top;
}

// ---- the items' measures --------------------------------------------------------------------

double TextScale(const Sheet& sheet, const Worksheet& w)
{
    return sheet.mm(TextLineMm) / std::max(1.0, w.linePixels);
}

// Where logged texts reach, in their pixels.
QRectF TextsBox(const QVector<TextLogEntry>& texts)
{
    QRectF box;
    for (const TextLogEntry& e : texts) {
        const QRectF r(e.x, e.y, std::max(1, e.width), PointsToPixels(std::max(1, e.size)) * 1.25);
        box = box.isNull() ? r : box.united(r);
    }
    return box;
}

// The smallest scale at which every text of a picture a pupil reads prints at least `points`
// large. A word in less than half the size of the picture's largest text is a pattern on a
// surface (theme 17's "grond"), not something to read.
double ReadableScale(const Sheet& sheet, const QVector<TextLogEntry>& texts, double points)
{
    int largest = 1;
    for (const TextLogEntry& e : texts)
        largest = std::max(largest, e.size);
    double scale = 0;
    for (const TextLogEntry& e : texts)
        if (2 * e.size >= largest)
            scale = std::max(scale, points / 72.0 * sheet.dpi / PointsToPixels(std::max(1, e.size)));
    return scale;
}

struct PictureFit {
    QSizeF size;
    double scale = 0;
    bool below = false;  // under the texts over the whole width, not beside them
};

// A picture as large as the room beside the texts allows up to a height, never so small that
// its texts print under `points`, nor so large that it prints below MinPictureDpi; under the
// texts when it can't be read beside them.
PictureFit FitPicture(const Sheet& sheet, const PackedImage& picture, const QVector<TextLogEntry>& texts,
                      double room, double maxHeight, double points)
{
    PictureFit fit;
    if (picture.isNull())
        return fit;
    const double readable = ReadableScale(sheet, texts, points), sharpest = sheet.dpi / MinPictureDpi;
    auto scaleIn = [&](double width) {
        return std::min({width / picture.width(), maxHeight / picture.height(), sharpest});
    };
    fit.scale = scaleIn(room);
    if (fit.scale < readable) {
        if (room / picture.width() >= readable) {
            fit.scale = readable;  // taller than usual, but legible
        } else {
            fit.below = true;
            fit.scale = std::min(std::max(scaleIn(sheet.width), readable), sheet.width / picture.width());
        }
    }
    fit.size = QSizeF(picture.width() * fit.scale, picture.height() * fit.scale);
    return fit;
}

struct Measured {
    QRectF texts;  // the question's texts, in their pixels
    QSizeF question;
    PictureFit picture;
    double textScale = 0, title = 0, answer = 0, height = 0;
};

Measured MeasureItem(const Sheet& sheet, const Worksheet& w, const WorksheetItem& item)
{
    Measured m;
    m.textScale = TextScale(sheet, w);
    m.title = sheet.lineSpacing(ItemTitlePoints, true) * 1.3;
    m.texts = TextsBox(item.question);
    m.question = m.texts.size() * m.textScale;
    m.answer = sheet.lineSpacing(AnswerPoints) * 1.8;
    const double room = sheet.width - m.question.width() - sheet.mm(ColumnGapMm);
    m.picture = FitPicture(sheet, item.picture, item.pictureTexts, room, sheet.mm(PictureHeightMm), SheetPicturePoints);
    const double work = m.question.height() + sheet.mm(WorkRoomMm);
    const double body = m.picture.below ? work + m.picture.size.height() + sheet.mm(2)
                                        : std::max(work, m.picture.size.height() + sheet.mm(2));
    m.height = sheet.mm(ItemGapMm) + m.title + std::max(body, sheet.mm(MinBodyMm)) + m.answer;
    return m;
}

struct KeyMeasured {
    QRectF texts;
    QSizeF explanation;
    PictureFit picture;
    double textScale = 0, line = 0, height = 0;
};

double KeyNumberWidth(const Sheet& sheet)
{
    return sheet.mm(12);
}

KeyMeasured MeasureAnswer(const Sheet& sheet, const Worksheet& w, const WorksheetItem& item)
{
    KeyMeasured m;
    m.textScale = TextScale(sheet, w);
    m.line = sheet.lineSpacing(AnswerPoints) * 1.35;
    m.texts = TextsBox(item.explanation);
    m.explanation = m.texts.size() * m.textScale;
    const double room = sheet.width - KeyNumberWidth(sheet) - m.explanation.width() - sheet.mm(ColumnGapMm);
    m.picture = FitPicture(sheet, item.explainedPicture, item.explainedPictureTexts, room,
                           sheet.mm(KeyPictureHeightMm), KeyPicturePoints);
    const double below = m.picture.below ? m.explanation.height() + m.picture.size.height() + sheet.mm(2)
                                         : std::max(m.explanation.height(), m.picture.size.height());
    m.height = m.line + (below > 0 ? below + sheet.mm(4) : 0);
    return m;
}

double NameLineHeight(const Sheet& sheet)
{
    return sheet.lineSpacing(HeadPoints + 1);
}

QString HeadLine(const Worksheet& w, const QString& part)
{
    return part + QStringLiteral("  ·  ") + DescribeWorksheet(w) + QStringLiteral("  ·  ") + DateText(w.date);
}

// The top of a later page: the sheet's description in small grey letters and, on the sheet,
// the pupil's name line beside it.
double RunningHead(QPainter* p, const Sheet& sheet, const Worksheet& w, bool nameLine)
{
    const QString text = HeadLine(w, nameLine ? QStringLiteral("Werkblad") : QStringLiteral("Antwoorden"));
    const double width = nameLine ? sheet.width * 0.58 : sheet.width;
    double h = DrawWholeText(p, sheet, QRectF(0, 0, width, 0), text, SmallPoints, false, PageGrey);
    if (nameLine) {
        const QFont f = PageFont(HeadPoints + 1);
        const QString naam = QStringLiteral("Naam:");
        const double x = sheet.width * 0.62, line = NameLineHeight(sheet);
        if (p) {
            p->setFont(f);
            p->setPen(Qt::black);
            p->drawText(QRectF(x, 0, sheet.width - x, line), Qt::AlignLeft | Qt::AlignTop, naam);
            p->setPen(QPen(Qt::black, std::max(1.0, sheet.mm(0.25))));
            const double start = x + sheet.metrics(f).horizontalAdvance(naam + u' ');
            p->drawLine(QPointF(start, line * 0.95), QPointF(sheet.width, line * 0.95));
        }
        h = std::max(h, line);
    }
    return h + sheet.mm(4);
}

double DrawTitle(QPainter* p, const Sheet& sheet, const QString& title)
{
    const double h = sheet.lineSpacing(TitlePoints, true) * 1.3;
    if (p) {
        DrawPageText(*p, QRectF(0, 0, sheet.width * 0.7, h), title, TitlePoints, true);
        DrawPageText(*p, QRectF(sheet.width * 0.7, 0, sheet.width * 0.3, h), QStringLiteral("Kavrin 2"), SmallPoints,
                     false, Qt::AlignRight | Qt::AlignVCenter, PageGrey);
    }
    return h;
}

// The first page's head: title, fields, and the lines the pupil writes the name and class on.
double SheetHeader(QPainter* p, const Sheet& sheet, const Worksheet& w)
{
    double y = DrawTitle(p, sheet, QStringLiteral("Werkblad"));
    y += FlowFields(p, sheet, y, HeaderFields(w));
    if (!w.leftOut.isEmpty())
        y += DrawWholeText(p, sheet, QRectF(0, y, sheet.width, 0), LeftOutMessage(w.leftOut), SmallPoints, false, PageGrey);
    y += sheet.mm(5);
    const QFont f = PageFont(HeadPoints + 1);
    const double naam = sheet.metrics(f).horizontalAdvance(QStringLiteral("Naam: "));
    const double klas = sheet.metrics(f).horizontalAdvance(QStringLiteral("Klas: "));
    const double line = NameLineHeight(sheet);
    if (p) {
        const double klasX = sheet.width * 0.68;
        DrawPageText(*p, QRectF(0, y, naam, line), QStringLiteral("Naam:"), HeadPoints + 1, false);
        DrawPageText(*p, QRectF(klasX, y, klas, line), QStringLiteral("Klas:"), HeadPoints + 1, false);
        p->setPen(QPen(Qt::black, std::max(1.0, sheet.mm(0.25))));
        const double base = y + line * 0.95;
        p->drawLine(QPointF(naam, base), QPointF(klasX - sheet.mm(6), base));
        p->drawLine(QPointF(klasX + klas, base), QPointF(sheet.width, base));
    }
    return y + line + sheet.mm(4);
}

double KeyHeader(QPainter* p, const Sheet& sheet, const Worksheet& w)
{
    const double y = DrawTitle(p, sheet, QStringLiteral("Antwoorden"));
    const QString text = QStringLiteral("Bij het werkblad: ") + DescribeWorksheet(w) + QStringLiteral(", ") +
                         DateText(w.date) + QStringLiteral(".  ") +
                         (w.themeCodes.size() == 1 ? QStringLiteral("Thema ") : QStringLiteral("Thema's ")) +
                         ThemeNames(w);
    return y + DrawWholeText(p, sheet, QRectF(0, y, sheet.width, 0), text, HeadPoints, false, PageGrey) + sheet.mm(4);
}

// Places blocks of the given heights on pages: a block never split, a new page when it does
// not fit; the first page starts below its header, the others below their running head.
template <typename Height>
QVector<QPair<int, double>> PlaceBlocks(const Sheet& sheet, int count, double header, double head, Height height,
                                        int* pages)
{
    QVector<QPair<int, double>> placed;
    int page = 0;
    double y = header;
    for (int i = 0; i < count; ++i) {
        const double h = height(i);
        const double top = page == 0 ? header : head;
        if (y + h > sheet.bottom() && y > top + 0.5) {
            ++page;
            y = head;
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
    l.itemPlaces = PlaceBlocks(sheet, int(w.items.size()), SheetHeader(nullptr, sheet, w),
                               RunningHead(nullptr, sheet, w, true), [&](int i) { return l.items[i].height; },
                               &l.sheetPages);
    l.answerPlaces = PlaceBlocks(sheet, int(w.items.size()), KeyHeader(nullptr, sheet, w),
                                 RunningHead(nullptr, sheet, w, false), [&](int i) { return l.answers[i].height; },
                                 &l.keyPages);
    return l;
}

QRectF ItemPicture(const Sheet& sheet, const Measured& m, double y)
{
    if (m.picture.size.isEmpty())
        return QRectF();
    const double top = y + sheet.mm(ItemGapMm) + m.title;
    if (m.picture.below)
        return QRectF(QPointF((sheet.width - m.picture.size.width()) / 2, top + m.question.height() + sheet.mm(2)),
                      m.picture.size);
    return QRectF(QPointF(sheet.width - m.picture.size.width(), top), m.picture.size);
}

QRectF KeyPicture(const Sheet& sheet, const KeyMeasured& m, double y)
{
    if (m.picture.size.isEmpty())
        return QRectF();
    if (m.picture.below)
        return QRectF(QPointF(sheet.width - m.picture.size.width(), y + m.line + m.explanation.height() + sheet.mm(2)),
                      m.picture.size);
    return QRectF(QPointF(sheet.width - m.picture.size.width(), y + m.line), m.picture.size);
}

// ---- drawing -------------------------------------------------------------------

// Colours too light for white paper (yellow, aqua) print black.
QColor InkFor(const QColor& c)
{
    return qGray(c.rgb()) > 160 ? QColor(Qt::black) : c;
}

// Logged texts drawn again as text at their places, `box` of their pixels at `at`.
void DrawTexts(QPainter& p, const QVector<TextLogEntry>& texts, const QRectF& box, double scale, QPointF at)
{
    const double dpi = p.device()->logicalDpiY();
    for (const TextLogEntry& e : texts) {
        QFont f = PageFont(1, e.bold);
        f.setPointSizeF(std::max(1.0, PointsToPixels(std::max(1, e.size)) * scale * 72.0 / dpi));
        p.setFont(f);
        p.setPen(InkFor(e.color));
        const QFontMetricsF fm(f, p.device());
        const QPointF place(at.x() + (e.x - box.left()) * scale, at.y() + (e.y - box.top()) * scale + fm.ascent());
        // Letters a little wider on paper than on the drawing are narrowed to the drawing's
        // width, so a text never runs into the one written after it.
        const double wide = fm.horizontalAdvance(e.text), room = e.width * scale;
        if (e.width > 0 && wide > room * 1.005) {
            p.save();
            p.translate(place);
            p.scale(std::max(0.8, room / wide), 1);
            p.drawText(QPointF(0, 0), e.text);
            p.restore();
        } else {
            p.drawText(place, e.text);
        }
    }
}

// The picture, unpacked only while it is drawn; one that would print far sharper than paper
// shows goes into the file at about 300 dpi.
void DrawPicture(QPainter& p, const QRectF& place, const PackedImage& picture)
{
    if (place.isEmpty() || picture.isNull())
        return;
    QImage img = picture.image();
    const double dpi = p.device()->logicalDpiX();
    const double inches = place.width() / std::max(1.0, dpi);
    if (img.width() / inches > 1.1 * PrintDpi)
        img = img.scaled(QSize(int(std::ceil(inches * PrintDpi)), int(std::ceil(place.height() / dpi * PrintDpi))),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.drawImage(place, img);
}

// The unit after the answer line, unless the caption names it already ("Pond: ____").
QString UnitAfterLine(const WorksheetItem& item)
{
    const QString unit = item.suffix.trimmed();
    if (unit.isEmpty())
        return QString();
    const QRegularExpression word(QStringLiteral("\\b") + QRegularExpression::escape(unit) + QStringLiteral("\\b"),
                                  QRegularExpression::CaseInsensitiveOption);
    return item.caption.contains(word) ? QString() : unit;
}

void DrawItem(QPainter& p, const Sheet& sheet, const WorksheetItem& item, const Measured& m, double y)
{
    const double top = y;
    y += sheet.mm(ItemGapMm);
    DrawRule(p, sheet, y - sheet.mm(1.5));
    const QString number = QStringLiteral("Opgave %1").arg(item.number);
    const double nw = sheet.metrics(PageFont(ItemTitlePoints, true)).horizontalAdvance(number) + sheet.mm(4);
    DrawPageText(p, QRectF(0, y, nw, m.title), number, ItemTitlePoints, true);
    DrawPageText(p, QRectF(nw, y, sheet.width - nw, m.title), ItemTheme(item), SmallPoints, false,
                 Qt::AlignRight | Qt::AlignTop, PageGrey);
    y += m.title;
    DrawTexts(p, item.question, m.texts, m.textScale, QPointF(0, y));
    DrawPicture(p, ItemPicture(sheet, m, top), item.picture);
    const double work = m.picture.below ? y + m.question.height() + m.picture.size.height() + sheet.mm(3)
                                        : y + m.question.height() + sheet.mm(1);
    DrawPageText(p, QRectF(0, work, sheet.mm(40), sheet.lineSpacing(SmallPoints)), QStringLiteral("Uitwerking:"),
                 SmallPoints, false, Qt::AlignLeft | Qt::AlignTop, PageGrey);

    // The answer line at the foot of the item: the field's caption, the line, the unit.
    const double base = top + m.height - m.answer * 0.35;
    const QFont f = PageFont(AnswerPoints, true);
    const QString caption = item.caption.trimmed().isEmpty() ? QStringLiteral("Antwoord: ") : item.caption;
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(0, base), caption);
    double x = sheet.metrics(f).horizontalAdvance(caption) + sheet.mm(1);
    p.setPen(QPen(Qt::black, std::max(1.0, sheet.mm(0.25))));
    p.drawLine(QPointF(x, base + sheet.mm(0.8)), QPointF(x + sheet.mm(AnswerLineMm), base + sheet.mm(0.8)));
    x += sheet.mm(AnswerLineMm) + sheet.mm(1);
    const QString unit = UnitAfterLine(item);
    if (!unit.isEmpty()) {
        p.setFont(PageFont(AnswerPoints));
        p.drawText(QPointF(x, base), unit);
    }
}

void DrawAnswer(QPainter& p, const Sheet& sheet, const WorksheetItem& item, const KeyMeasured& m, double y)
{
    const double numberWidth = KeyNumberWidth(sheet);
    DrawPageText(p, QRectF(0, y, numberWidth - sheet.mm(3), m.line), QString::number(item.number) + u'.', AnswerPoints,
                 true, Qt::AlignRight | Qt::AlignTop);
    const QString answer = item.answer + item.suffix;
    const double aw = sheet.metrics(PageFont(AnswerPoints)).horizontalAdvance(answer) + sheet.mm(6);
    DrawPageText(p, QRectF(numberWidth, y, aw, m.line), answer, AnswerPoints, false);
    DrawPageText(p, QRectF(numberWidth + aw, y, sheet.width - numberWidth - aw, m.line), ItemTheme(item), SmallPoints,
                 false, Qt::AlignRight | Qt::AlignTop, PageGrey);
    DrawTexts(p, item.explanation, m.texts, m.textScale, QPointF(numberWidth, y + m.line));
    DrawPicture(p, KeyPicture(sheet, m, y), item.explainedPicture);
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
                               ItemPicture(sheet, l.items[i], y), l.items[i].picture.scale, l.items[i].textScale});
        }
    }
    if (parts != WorksheetParts::Sheet) {
        plan.keyPages = l.keyPages;
        for (int i = 0; i < w.items.size(); ++i) {
            const double y = l.answerPlaces[i].second;
            plan.answers.append({l.answerPlaces[i].first, QRectF(0, y, sheet.width, l.answers[i].height),
                                 KeyPicture(sheet, l.answers[i], y), l.answers[i].picture.scale,
                                 l.answers[i].textScale});
        }
    }
    return plan;
}

bool PaintWorksheet(QPagedPaintDevice* device, const Worksheet& w, WorksheetParts parts,
                    const WorksheetProgress& progress)
{
    if (!device)
        return false;
    QPainter p;
    if (!p.begin(device))
        return false;
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Drawings of lines and letters stay sharp: no JPEG in the PDF.
    p.setRenderHint(QPainter::LosslessImageRendering, true);
    const Sheet sheet(device);
    const Layout l = MakeLayout(sheet, w);
    const bool sheetPart = parts != WorksheetParts::Key, keyPart = parts != WorksheetParts::Sheet;
    const int total = int(w.items.size()) * (int(sheetPart) + int(keyPart));
    int done = 0;
    bool first = true;
    // One page after the other: an item's picture is unpacked while it is drawn and the PDF
    // takes it in at once, so no more than one is ever held whole.
    auto pages = [&](int count, const QString& foot, const QVector<QPair<int, double>>& places,
                     const std::function<double(QPainter*)>& header, bool nameLine,
                     const std::function<void(int)>& drawItem) {
        for (int page = 0; page < count; ++page) {
            if (!first && !device->newPage())
                return false;
            first = false;
            if (page == 0)
                header(&p);
            else
                RunningHead(&p, sheet, w, nameLine);
            for (int i = 0; i < w.items.size(); ++i)
                if (places[i].first == page) {
                    drawItem(i);
                    if (progress)
                        progress(++done, total);
                }
            DrawPageFooter(p, sheet, foot, page, count);
        }
        return true;
    };
    bool ok = true;
    if (sheetPart)
        ok = pages(
            l.sheetPages, QStringLiteral("Kavrin 2  ·  Werkblad"), l.itemPlaces,
            [&](QPainter* painter) { return SheetHeader(painter, sheet, w); }, true,
            [&](int i) { DrawItem(p, sheet, w.items[i], l.items[i], l.itemPlaces[i].second); });
    if (ok && keyPart)
        ok = pages(
            l.keyPages, QStringLiteral("Kavrin 2  ·  Antwoorden"), l.answerPlaces,
            [&](QPainter* painter) { return KeyHeader(painter, sheet, w); }, false,
            [&](int i) { DrawAnswer(p, sheet, w.items[i], l.answers[i], l.answerPlaces[i].second); });
    return p.end() && ok;
}

bool WriteWorksheetPdf(const QString& path, const Worksheet& w, WorksheetParts parts, QString* error,
                       const WorksheetProgress& progress)
{
    const QString title =
        parts == WorksheetParts::Key ? QStringLiteral("Antwoorden bij het werkblad") : QStringLiteral("Werkblad");
    return WriteA4Pdf(path, title, [&](QPagedPaintDevice* d) { return PaintWorksheet(d, w, parts, progress); },
                      error);
}

}  // namespace kav

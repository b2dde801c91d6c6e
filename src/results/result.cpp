#include "results/result.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QUuid>
#include <algorithm>
#include <map>
#include <optional>

#include "draw/measures.h"
#include "draw/numbers.h"
#include "draw/text.h"
#include "results/itemreplay.h"

namespace kav {

namespace {

// The texts alone at their places: should the item not come out as it was (a later program
// drawing it otherwise), its texts still show.
QImage TextsOnly(const ItemResult& item, double scale)
{
    const QSize area = item.textArea() * scale;
    if (area.isEmpty() || item.texts.isEmpty() || scale > 16)
        return QImage();
    Canvas c(area.width(), area.height());
    ClearBitmap(&c, col::BtnFace);
    for (const TextLogEntry& e : item.texts) {
        c.font.size = std::max(1, Round(e.size * scale));
        c.font.bold = e.bold;
        c.font.color = e.color;
        c.textOut(Round(e.x * scale), Round(e.y * scale), e.text);
    }
    return c.image();
}

}  // namespace

void ItemResult::images(QImage* text, QImage* picture, double scale) const
{
    if (!redrawn()) {
        if (text)
            *text = QImage::fromData(textPng, "PNG");
        if (picture)
            *picture = QImage::fromData(picturePng, "PNG");
        return;
    }
    const std::optional<RedrawnItem> r = RedrawItem(kept, scale, pictureAsAsked, themeCode, rightAnswer);
    if (text)
        *text = r ? r->text : TextsOnly(*this, scale);
    if (picture)
        *picture = r ? r->picture : QImage();
}

QImage ItemResult::textImage(double scale) const
{
    QImage img;
    images(&img, nullptr, scale);
    return img;
}

QImage ItemResult::pictureImage(double scale) const
{
    QImage img;
    images(nullptr, &img, scale);
    return img;
}

namespace {
QSize PngSize(const QByteArray& png)
{
    if (png.isEmpty())
        return QSize();
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, "PNG").size();
}
}  // namespace

QSize ItemResult::textArea() const
{
    return redrawn() ? KeptTextArea(kept) : PngSize(textPng);
}

QSize ItemResult::pictureArea() const
{
    return redrawn() ? KeptPictureArea(kept) : PngSize(picturePng);
}

QStringList ItemResult::textLines() const
{
    // Texts written one after another on a line share its height; a line keeps the order
    // of heights, its texts the order from left to right.
    std::map<int, QVector<const TextLogEntry*>> rows;
    for (const TextLogEntry& e : texts)
        rows[e.y].append(&e);
    QStringList lines;
    for (auto& [y, row] : rows) {
        std::stable_sort(row.begin(), row.end(), [](auto a, auto b) { return a->x < b->x; });
        QString line;
        for (const TextLogEntry* e : row)
            line += e->text;
        lines << line;
    }
    return lines;
}

int MaxItemPoints(int level)
{
    // The judge gives the level times 2 div the attempt: the most at the first attempt.
    return std::clamp(level, 1, 3) * 2;
}

int MaxSessionPoints(int plannedItems, int judgedItems, int level)
{
    return std::max(plannedItems, judgedItems) * MaxItemPoints(level);
}

int GradeTenths(int points, int maxPoints)
{
    if (maxPoints <= 0)
        return 10;
    const qint64 p = std::clamp<qint64>(points, 0, maxPoints), m = maxPoints;
    // 10 + 90 p / m, rounded half up in whole numbers.
    return int((20 * m + 180 * p + m) / (2 * m));
}

QString GradeText(int points, int maxPoints)
{
    const int t = GradeTenths(points, maxPoints);
    return QString::number(t / 10) + u',' + QString::number(t % 10);
}

double SessionResult::grade() const
{
    return GradeTenths(points, maxPoints) / 10.0;
}

QString SessionResult::gradeText() const
{
    return graded() ? GradeText(points, maxPoints) : QString();
}

int SessionResult::percentage() const
{
    if (maxPoints <= 0)
        return 0;
    const qint64 p = std::clamp<qint64>(points, 0, maxPoints);
    return int((200 * p + maxPoints) / (2 * qint64(maxPoints)));
}

int SessionResult::rightAtFirst() const
{
    return int(std::count_if(items.begin(), items.end(), [](const ItemResult& i) { return i.rightAtFirst(); }));
}

int SessionResult::rightAtSecond() const
{
    return int(std::count_if(items.begin(), items.end(), [](const ItemResult& i) { return i.rightAtSecond(); }));
}

int SessionResult::wrong() const
{
    return int(std::count_if(items.begin(), items.end(), [](const ItemResult& i) { return !i.right && !i.unfinished; }));
}

qint64 SessionResult::durationSeconds() const
{
    if (!started.isValid() || !ended.isValid())
        return 0;
    return std::max<qint64>(0, started.secsTo(ended));
}

QString TopicName(int sessionMode)
{
    switch (sessionMode) {
    case 0: return QStringLiteral("Verbanden");
    case 10: return QStringLiteral("Verhoudingen");
    case 20: return QStringLiteral("Driehoeksgetallen");
    case -10: return QStringLiteral("Grote uitdaging");
    default: return QString();
    }
}

QString LevelName(int level)
{
    switch (level) {
    case 1: return QStringLiteral("Starter");
    case 2: return QStringLiteral("Durver");
    case 3: return QStringLiteral("Prof !");
    default: return QString();
    }
}

QString StatusName(SessionStatus status)
{
    switch (status) {
    case SessionStatus::Completed: return QStringLiteral("voltooid");
    case SessionStatus::Stopped: return QStringLiteral("afgebroken");
    case SessionStatus::NotStarted: return QStringLiteral("niet begonnen");
    case SessionStatus::None: break;
    }
    return QString();
}

QString ItemsNote(SessionStatus status, int plannedItems, int itemsDone)
{
    if (status == SessionStatus::None)
        return QString();
    if (plannedItems == UnknownPlan)
        return QStringLiteral("gepland: onbekend");
    if (plannedItems > 0 && status != SessionStatus::Completed)
        return QStringLiteral("opgaven: %1 van %2").arg(itemsDone).arg(plannedItems);
    return QString();
}

QString GradeWithNote(const SessionResult& s)
{
    if (!s.graded())
        return QString::fromUtf16(NotGraded);
    const QString note = ItemsNote(s.status, s.plannedItems, int(s.items.size()));
    return note.isEmpty() ? s.gradeText() : s.gradeText() + QStringLiteral(" (") + note + u')';
}

QString NewSessionId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

SessionSource SourceOf(const QVector<SessionResult>& sessions)
{
    return [&sessions, k = qsizetype(0)](SessionResult& next) mutable {
        if (k >= sessions.size())
            return false;
        next = sessions[k++];
        return true;
    };
}

QString FileWriteError(const QString& path)
{
    return QStringLiteral("Het bestand %1 kan niet worden geschreven. Kies een andere map of een andere naam.")
        .arg(QDir::toNativeSeparators(path));
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace kav

#include "results/picturepacker.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <QVector>
#include <algorithm>
#include <utility>

namespace kav {

namespace {

std::atomic<int> connections{0};

// One connection of its own for as long as it lives; Qt's connections belong to their thread.
class OwnConnection {
public:
    explicit OwnConnection(const QString& path)
        : name_(QStringLiteral("kavrin2-pakken-%1").arg(++connections))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (db.open()) {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL"));
            open_ = true;
        }
    }
    ~OwnConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name_);
    }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;
    bool open() const { return open_; }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
    bool open_ = false;
};

// The items after *after in the file's order, up to batchItems of them not yet done; moves
// *after on. The items looked at, 0 at the end, -1 on a failure. The file is read in its own
// order rather than searched for the items not done: finding them would read every picture.
int PackBatch(QSqlDatabase db, int batchItems, qint64* after)
{
    struct Row {
        qint64 rowid;
        QVariant text, picture;
    };
    QVector<Row> rows;
    int seen = 0;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT rowid, pictures_packed, text_png, picture_png FROM items"
                                 " WHERE rowid > ? ORDER BY rowid LIMIT ?"));
        q.addBindValue(*after);
        q.addBindValue(std::max(1, batchItems));
        if (!q.exec())
            return -1;
        while (q.next()) {
            ++seen;
            *after = q.value(0).toLongLong();
            if (!q.value(1).toBool())
                rows.append({*after, q.value(2), q.value(3)});
        }
    }
    if (rows.isEmpty())
        return seen;
    // Converted outside the transaction, so the store is locked only while they are written.
    auto packed = [](const QVariant& v) {
        return v.isNull() ? v : QVariant(IndexedPng(v.toByteArray()));
    };
    for (Row& r : rows) {
        r.text = packed(r.text);
        r.picture = packed(r.picture);
    }
    if (!db.transaction())
        return -1;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE items SET text_png = ?, picture_png = ?, pictures_packed = 1"
                             " WHERE rowid = ? AND pictures_packed = 0"));
    for (const Row& r : rows) {
        q.addBindValue(r.text);
        q.addBindValue(r.picture);
        q.addBindValue(r.rowid);
        if (!q.exec()) {
            db.rollback();
            return -1;
        }
    }
    if (!db.commit()) {
        db.rollback();
        return -1;
    }
    return seen;
}

}  // namespace

QByteArray IndexedPng(const QByteArray& png)
{
    const QImage image = QImage::fromData(png, "PNG");
    if (image.isNull() || image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
        image.format() == QImage::Format_MonoLSB)
        return png;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int width = rgb.width(), height = rgb.height();
    // The colours by how many pixels have them: the flat colours of the drawing come first.
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < width;) {
            const QRgb c = line[x];
            int run = 1;
            while (x + run < width && line[x + run] == c)
                ++run;
            counts[c | 0xff000000u] += run;
            x += run;
        }
    }
    QVector<std::pair<qint64, QRgb>> byCount;
    byCount.reserve(counts.size());
    for (auto i = counts.cbegin(); i != counts.cend(); ++i)
        byCount.append({i.value(), i.key()});
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette;
    for (int i = 0; i < byCount.size() && i < 256; ++i)
        palette.append(byCount[i].second);
    const QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    // Every pixel of a colour that was kept must be that colour still.
    QHash<QRgb, bool> kept;
    for (QRgb c : palette)
        kept.insert(c, true);
    const QList<QRgb> table = indexed.colorTable();
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        const uchar* index = indexed.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb c = line[x] | 0xff000000u;
            if (index[x] >= table.size() || ((table[index[x]] | 0xff000000u) != c && kept.contains(c)))
                return png;
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!indexed.save(&buffer, "PNG", 0) || bytes.size() >= png.size())
        return png;
    return bytes;
}

int PackPictureBatch(const QString& path, int batchItems)
{
    const OwnConnection c(path);
    qint64 after = 0;
    return c.open() ? PackBatch(c.db(), batchItems, &after) : -1;
}

void PackAllPictures(const QString& path, int batchItems, const std::atomic<bool>* stop)
{
    const OwnConnection c(path);
    if (!c.open())
        return;
    // Where the work stopped or ended is noted: every item up to there is done, and this program
    // keeps no pictures, so a later opening goes on from there and does not read the whole file
    // again (at a school's size that would slow everything else down).
    QSqlQuery note(c.db());
    qint64 after = 0;
    if (note.exec(QStringLiteral("SELECT value FROM store_notes WHERE key = 'plaatjes-tot'")) && note.next())
        after = note.value(0).toLongLong();
    note.finish();
    const qint64 from = after;
    int seen = 0;
    while (!(stop && *stop) && (seen = PackBatch(c.db(), batchItems, &after)) > 0) {
    }
    if (seen >= 0 && after > from) {
        note.prepare(QStringLiteral("INSERT OR REPLACE INTO store_notes (key, value) VALUES ('plaatjes-tot', ?)"));
        note.addBindValue(QString::number(after));
        note.exec();
    }
}

PicturePacker::PicturePacker(const QString& path)
{
    // Ten items a batch: a transaction of a few milliseconds, so saving a session waits little.
    thread_.reset(QThread::create([this, path]() { PackAllPictures(path, 10, &stop_); }));
    thread_->setObjectName(QStringLiteral("Plaatjes verkleinen"));
    thread_->start(QThread::LowPriority);
}

PicturePacker::~PicturePacker()
{
    stop_ = true;
    wait();
}

bool PicturePacker::finished() const
{
    return thread_->isFinished();
}

void PicturePacker::wait()
{
    thread_->wait();
}

}  // namespace kav

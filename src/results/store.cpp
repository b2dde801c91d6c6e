#include "results/store.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <QtEndian>
#include <unistd.h>
#include <algorithm>
#include <array>
#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "results/picturepacker.h"
#include "results/sessionqueries.h"
#include "results/storeschema.h"
#include "session/testcode.h"

namespace kav {

namespace {

std::atomic<int> connections{0};
// One attempt's wait inside SQLite; between attempts the window paints.
constexpr int BusySlice = 200;

QString folderMessage(const QString& folder)
{
    return QStringLiteral("in de map %1 kan niet worden geschreven.").arg(QDir::toNativeSeparators(folder));
}

QString dateText(const QDateTime& t)
{
    if (!t.isValid())
        return QString();
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

}  // namespace

QString TextsJson(const QVector<TextLogEntry>& texts)
{
    QJsonArray a;
    for (const TextLogEntry& e : texts)
        a.append(QJsonObject{{QStringLiteral("t"), e.text},
                             {QStringLiteral("x"), e.x},
                             {QStringLiteral("y"), e.y},
                             {QStringLiteral("c"), e.color.name(QColor::HexRgb)},
                             {QStringLiteral("s"), e.size},
                             {QStringLiteral("b"), e.bold}});
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

QVector<TextLogEntry> TextsFromJson(const QString& json)
{
    QVector<TextLogEntry> texts;
    const QJsonArray a = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue& v : a) {
        const QJsonObject o = v.toObject();
        TextLogEntry e;
        e.text = o.value(QStringLiteral("t")).toString();
        e.x = o.value(QStringLiteral("x")).toInt();
        e.y = o.value(QStringLiteral("y")).toInt();
        e.color = QColor(o.value(QStringLiteral("c")).toString());
        e.size = o.value(QStringLiteral("s")).toInt();
        e.bold = o.value(QStringLiteral("b")).toBool();
        texts.append(e);
    }
    return texts;
}

namespace {

// Runs one statement; false when it failed.
bool run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    return q.exec(sql);
}

// A text bound as a value: an empty text is stored as an empty text, not as no value.
QVariant text(const QString& t)
{
    return t.isNull() ? QVariant(QStringLiteral("")) : QVariant(t);
}

std::optional<qint64> number(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

// What the statements of step 3 can't do: every session gets an id of its own, and a coded
// test the length of its code with the maximum of that many items.
bool UpgradeTo3(QSqlDatabase& db)
{
    struct Row {
        qint64 id;
        QString code;
        int level, items;
        bool practice;
    };
    QVector<Row> rows;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT id, code, level, practice,"
                                   " (SELECT COUNT(*) FROM items WHERE session_id = sessions.id) FROM sessions")))
            return false;
        while (q.next())
            rows.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toInt(), q.value(4).toInt(),
                         q.value(3).toBool()});
    }
    QSqlQuery id(db), plan(db);
    id.prepare(QStringLiteral("UPDATE sessions SET uuid = ? WHERE id = ?"));
    plan.prepare(QStringLiteral("UPDATE sessions SET planned = ?, max_points = ? WHERE id = ?"));
    for (const Row& r : rows) {
        id.addBindValue(NewSessionId());
        id.addBindValue(r.id);
        if (!id.exec())
            return false;
        const std::optional<TestCodeSettings> code = r.code.isEmpty() ? std::nullopt : DecodeTestCode(r.code);
        if (!code || r.practice)
            continue;
        plan.addBindValue(code->length);
        plan.addBindValue(MaxSessionPoints(code->length, r.items, r.level));
        plan.addBindValue(r.id);
        if (!plan.exec())
            return false;
    }
    return true;
}

}  // namespace

QString ResultStore::DefaultPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/kavrin2/resultaten.sqlite");
}

ResultStore::ResultStore(const QString& path, bool upkeep)
    : path_(QFileInfo(path).absoluteFilePath()), upkeep_(upkeep)
{
    open();
}

ResultStore::~ResultStore()
{
    storePending();
    close();
}

QString ResultStore::takeNotice()
{
    return std::exchange(notice_, QString());
}

void ResultStore::notice(const QString& text)
{
    notice_ = notice_.isEmpty() ? text : notice_ + QStringLiteral("\n\n") + text;
}

void ResultStore::open()
{
    const QString file = QDir::toNativeSeparators(path_);
    const QString folder = QFileInfo(path_).absolutePath();
    auto unavailable = [this](const QString& why) {
        close();
        notice(QStringLiteral("De resultaten kunnen niet worden bewaard: ") + why +
               QStringLiteral(" Kavrin 2 werkt gewoon verder, maar zonder resultaten te bewaren."));
    };
    failure_ = StoreFailure::None;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return unavailable(QStringLiteral("het onderdeel voor SQLite (libqt6sql6-sqlite) ontbreekt."));
    if (!QDir().mkpath(folder)) {
        failure_ = StoreFailure::FolderReadOnly;
        return unavailable(folderMessage(folder));
    }
    // A file that is not ours is put aside once; the new file made then must do.
    for (int round = 0; round < 2; ++round) {
        const Opened opened = connect();
        if (opened == Opened::Ok) {
            if (upkeep_)
                packer_ = std::make_unique<PicturePacker>(path_);
            return;
        }
        if (opened == Opened::Foreign && round == 0 && upkeep_) {
            close();
            if (putAside())
                continue;
        }
        switch (opened) {
        case Opened::Busy:
            close();
            failure_ = StoreFailure::Busy;
            notice(QStringLiteral("De resultaten zijn even in gebruik door een ander venster of programma. "
                                  "Probeer het zo opnieuw."));
            return;
        case Opened::Newer:
            return unavailable(QStringLiteral("%1 is gemaakt door een nieuwere versie van Kavrin 2 en blijft "
                                              "ongemoeid.").arg(file));
        case Opened::Failed:
            return unavailable(QStringLiteral("%1 kan niet worden bijgewerkt.").arg(file));
        case Opened::Foreign:
            return unavailable(QStringLiteral("%1 is beschadigd en kan niet opzij worden gezet.").arg(file));
        default:
            if (failure_ == StoreFailure::None || failure_ == StoreFailure::Other)
                failure_ = StoreFailure::FolderReadOnly;
            return unavailable(failure_ == StoreFailure::FolderReadOnly ? folderMessage(folder)
                                                                         : FailureText(failure_, path_) + u'.');
        }
    }
}

ResultStore::Opened ResultStore::connect()
{
    // The header is read before SQLite opens the file: a file that is not ours is never
    // touched (SQLite would play a journal left beside it back into it). The mark is written
    // before the file takes the write-ahead log, so the file itself always carries it.
    const QFileInfo info(path_);
    const bool fresh = !info.exists() || (info.isFile() && info.size() == 0);
    if (!fresh) {
        QFile file(path_);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
            failure_ = FailureOf(QSqlError(), path_);
            if (info.isFile() && failure_ == StoreFailure::FolderReadOnly)
                failure_ = info.ownerId() != uint(getuid()) ? StoreFailure::OtherUser : StoreFailure::FileReadOnly;
            return Opened::CantOpen;
        }
        const QByteArray header = file.read(100);
        if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")) ||
            qFromBigEndian<qint32>(header.constData() + 68) != ApplicationId)
            return Opened::Foreign;
    }
    connection_ = QStringLiteral("kavrin2-resultaten-%1").arg(++connections);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusySlice));
    if (!db.open()) {
        failure_ = FailureOf(db.lastError(), path_);
        return Opened::CantOpen;
    }
    QSqlQuery pages(db);
    if (!exec(pages, QStringLiteral("PRAGMA page_count")) || !pages.next()) {
        failure_ = FailureOf(pages.lastError(), path_);
        if (failure_ == StoreFailure::Busy)
            return Opened::Busy;
        return !fresh && failure_ == StoreFailure::Damaged && damageConfirmed() ? Opened::Foreign : Opened::CantOpen;
    }
    const qint64 pageCount = pages.value(0).toLongLong();
    pages.finish();
    run(db, QStringLiteral("PRAGMA synchronous = FULL"));
    if (fresh) {
        // Removed sessions give their pages back to the disk.
        run(db, QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL"));
        if (pageCount != 0 || !createOrUpgrade(0))
            return Opened::CantOpen;
        setJournalMode();
        return Opened::Ok;
    }
    const auto version = number(db, QStringLiteral("PRAGMA user_version"));
    if (!version)
        return Opened::Foreign;
    if (*version > SchemaVersion)
        return Opened::Newer;
    // No check of the whole file here (it would read every byte at every opening): a look at
    // the tables' first pages, and the once-a-day check finds the rest. Damage SQLite
    // reports is confirmed by a quick check before the file is set aside.
    for (const char* probe : {"SELECT * FROM sessions LIMIT 1", "SELECT * FROM items LIMIT 1"}) {
        QSqlQuery q(db);
        if (exec(q, QLatin1String(probe)))
            continue;
        failure_ = FailureOf(q.lastError(), path_);
        if (failure_ == StoreFailure::Busy)
            return Opened::Busy;
        return failure_ == StoreFailure::Damaged && damageConfirmed() ? Opened::Foreign : Opened::CantOpen;
    }
    if (!note(QStringLiteral("schade")).isEmpty() && damageConfirmed())
        return Opened::Foreign;
    if (*version < SchemaVersion && !createOrUpgrade(int(*version)))
        return IsBusy(QSqlDatabase::database(connection_, false).lastError()) ? Opened::Busy : Opened::Failed;
    setJournalMode();
    return Opened::Ok;
}

bool ResultStore::createOrUpgrade(int fromVersion)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!beginWrite(db))
        return false;
    bool ok = true;
    for (int v = fromVersion; ok && v < SchemaVersion; ++v) {
        for (const QString& sql : SchemaStep(v + 1))
            ok = ok && run(db, sql);
        if (v + 1 == 3)
            ok = ok && UpgradeTo3(db);
    }
    ok = ok && run(db, QStringLiteral("PRAGMA application_id = %1").arg(ApplicationId)) &&
         run(db, QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion));
    if (ok)
        return commitWrite(db);
    run(db, QStringLiteral("ROLLBACK"));
    return false;
}

void ResultStore::waitForPictures()
{
    if (packer_)
        packer_->wait();
}

void ResultStore::close()
{
    packer_.reset();  // stops after the batch in hand
    if (connection_.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
    connection_.clear();
}

qint64 ResultStore::write(const SessionResult& r)
{
    failure_ = StoreFailure::None;
    if (injected_ != StoreFailure::None) {
        failure_ = injected_;
        return 0;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    qint64 id = 0;
    bool ok = beginWrite(db);
    if (ok) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO sessions (name, code, mode, practice, level, started, ended, finished,"
                                 " score, points, max_points, uuid, planned, status, item_count)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (uuid) DO NOTHING"));
        // A session made without an id (it always has one from the recorder) gets one here.
        const QString uuid = r.uuid.isEmpty() ? NewSessionId() : r.uuid;
        for (const QVariant& v : {text(r.name), text(NormaliseTestCode(r.code)), QVariant(r.sessionMode),
                                  QVariant(int(r.practice)), QVariant(r.level), text(dateText(r.started)),
                                  text(dateText(r.ended)), QVariant(int(r.status == SessionStatus::Completed)),
                                  text(r.scoreText), QVariant(r.points), QVariant(r.maxPoints), text(uuid),
                                  QVariant(r.plannedItems), text(StatusName(r.status)), QVariant(int(r.items.size()))})
            q.addBindValue(v);
        ok = q.exec();
        id = ok ? q.lastInsertId().toLongLong() : 0;
        if (!ok)
            failure_ = FailureOf(q.lastError(), path_);
        // A session that is in the file already (written once more after its write was told
        // to have failed) is not written twice.
        if (ok && q.numRowsAffected() == 0) {
            QSqlQuery known(db);
            known.prepare(QStringLiteral("SELECT id FROM sessions WHERE uuid = ?"));
            known.addBindValue(uuid);
            id = exec(known) && known.next() ? known.value(0).toLongLong() : 0;
            known.finish();
            if (id != 0 && commitWrite(db))
                return id;
            ok = false;
        }
    }
    if (ok) {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO items (session_id, number, theme, title, answer1, answer2, correct,"
                                 " right_answer, points, attempts, texts, text_png, picture_png, unfinished,"
                                 " picture_as_asked, kept, pictures_packed)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (const ItemResult& i : r.items) {
            for (const QVariant& v :
                 {QVariant(id), QVariant(i.number), QVariant(i.themeCode), text(i.themeTitle),
                  text(i.firstAnswer), text(i.secondAnswer), QVariant(int(i.right)), text(i.rightAnswer),
                  QVariant(i.points), QVariant(i.attempts), text(TextsJson(i.texts)), QVariant(i.textPng),
                  QVariant(i.picturePng), QVariant(int(i.unfinished)), QVariant(int(i.pictureAsAsked)),
                  QVariant(i.kept), QVariant(int(i.textPng.isEmpty() && i.picturePng.isEmpty()))})
                q.addBindValue(v);
            if (!(ok = q.exec())) {
                failure_ = FailureOf(q.lastError(), path_);
                break;
            }
        }
    }
    if (ok && commitWrite(db))
        return id;
    run(db, QStringLiteral("ROLLBACK"));
    return 0;
}

// The two statements that read a session, prepared once for every session read with them.
struct ResultStore::Reading {
    QSqlQuery head, items;
    bool drawn;
};

std::shared_ptr<ResultStore::Reading> ResultStore::prepareReading(bool drawn) const
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    auto reading = std::make_shared<Reading>(Reading{QSqlQuery(db), QSqlQuery(db), drawn});
    reading->head.setForwardOnly(true);
    reading->head.prepare(QStringLiteral("SELECT name, code, mode, practice, level, started, ended, status, score, points,"
                                         " max_points, uuid, planned FROM sessions WHERE id = ?"));
    reading->items.setForwardOnly(true);
    // A CSV file needs nothing drawn: those bytes are never read.
    reading->items.prepare(
        QStringLiteral("SELECT number, theme, title, answer1, answer2, correct, right_answer, points, attempts,"
                       " %1, unfinished, picture_as_asked, %2 FROM items WHERE session_id = ? ORDER BY number")
            .arg(drawn ? QStringLiteral("texts, text_png, picture_png") : QStringLiteral("'[]', NULL, NULL"),
                 drawn ? QStringLiteral("kept") : QStringLiteral("NULL")));
    return reading;
}

std::optional<SessionResult> ResultStore::load(qint64 id, bool drawn) const
{
    if (!available())
        return std::nullopt;
    return read(*prepareReading(drawn), id);
}

std::optional<SessionResult> ResultStore::read(Reading& reading, qint64 id) const
{
    SessionResult r;
    QSqlQuery& q = reading.head;
    q.bindValue(0, id);
    if (!exec(q) || !q.next()) {
        q.finish();
        return std::nullopt;
    }
    r.id = id;
    r.name = q.value(0).toString();
    r.code = q.value(1).toString();
    r.sessionMode = q.value(2).toInt();
    r.practice = q.value(3).toBool();
    r.level = q.value(4).toInt();
    r.started = DateFrom(q.value(5).toString());
    r.ended = DateFrom(q.value(6).toString());
    r.status = StatusFrom(q.value(7).toString());
    r.scoreText = q.value(8).toString();
    r.points = q.value(9).toInt();
    r.maxPoints = q.value(10).toInt();
    r.uuid = q.value(11).toString();
    r.plannedItems = q.value(12).toInt();
    q.finish();  // no statement left open between sessions: it would hold the file's state
    QSqlQuery& items = reading.items;
    items.bindValue(0, id);
    if (!exec(items))
        return std::nullopt;
    while (items.next()) {
        ItemResult i;
        i.number = items.value(0).toInt();
        i.themeCode = items.value(1).toInt();
        i.themeTitle = items.value(2).toString();
        i.firstAnswer = items.value(3).toString();
        i.secondAnswer = items.value(4).toString();
        i.right = items.value(5).toBool();
        i.rightAnswer = items.value(6).toString();
        i.points = items.value(7).toInt();
        i.attempts = items.value(8).toInt();
        if (reading.drawn) {
            i.texts = TextsFromJson(items.value(9).toString());
            i.textPng = items.value(10).toByteArray();
            i.picturePng = items.value(11).toByteArray();
            i.kept = items.value(14).toByteArray();
        }
        i.unfinished = items.value(12).toBool();
        i.pictureAsAsked = items.value(13).toBool();
        r.items.append(std::move(i));
    }
    items.finish();
    return r;
}

bool ResultStore::forEachSession(const QVector<qint64>& ids, std::initializer_list<const char*> statements,
                                 const QVariant& value)
{
    failure_ = StoreFailure::None;
    if (!available())
        return false;
    if (injected_ != StoreFailure::None) {
        failure_ = injected_;
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    bool ok = beginWrite(db);
    // Each statement prepared once for every session.
    std::vector<QSqlQuery> prepared;
    for (const char* sql : statements) {
        prepared.emplace_back(db);
        ok = ok && prepared.back().prepare(QLatin1String(sql));
    }
    for (qint64 id : ids) {
        for (QSqlQuery& q : prepared) {
            if (!ok)
                break;
            int k = 0;
            if (value.isValid())
                q.bindValue(k++, value);
            q.bindValue(k, id);
            if (!(ok = q.exec()))
                failure_ = FailureOf(q.lastError(), path_);
        }
    }
    if (!ok && failure_ == StoreFailure::None && !prepared.empty())
        failure_ = FailureOf(prepared.front().lastError(), path_);
    prepared.clear();
    if (ok && commitWrite(db))
        return true;
    run(db, QStringLiteral("ROLLBACK"));
    return false;
}

bool ResultStore::rename(const QVector<qint64>& ids, const QString& name)
{
    if (name.trimmed().isEmpty())
        return false;
    return forEachSession(ids, {"UPDATE sessions SET name = ? WHERE id = ?"}, name.trimmed());
}

QVector<qint64> ResultStore::notHandedIn() const
{
    QVector<qint64> ids;
    if (!available())
        return ids;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!exec(q, QStringLiteral("SELECT id FROM sessions WHERE handed_in = 0 ORDER BY id")))
        return ids;
    while (q.next())
        ids.append(q.value(0).toLongLong());
    return ids;
}

bool ResultStore::markHandedIn(qint64 id)
{
    return forEachSession({id}, {"UPDATE sessions SET handed_in = 1 WHERE id = ?"});
}

bool ResultStore::remove(const QVector<qint64>& ids)
{
    if (!forEachSession(ids, {"DELETE FROM items WHERE session_id = ?", "DELETE FROM sessions WHERE id = ?"}))
        return false;
    giveSpaceBack();
    return true;
}

}  // namespace kav

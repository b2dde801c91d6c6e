// The results store's upkeep: notes it keeps for itself, the set-aside files a teacher still
// has to see, the once-a-day quick check and giving removed sessions' space back. The check
// and the space run in the background on a connection of their own (a Qt SQL connection
// belongs to the thread that made it).
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThreadPool>
#include <atomic>
#include <functional>

#include "results/store.h"

namespace kav {

namespace {

// Background work, one job at a time so a check and a vacuum never meet.
QMutex backgroundJob;

void inBackground(const QString& path, std::function<void(QSqlDatabase&)> work)
{
    QThreadPool::globalInstance()->start([path, work = std::move(work)] {
        static std::atomic<int> count{0};
        const QMutexLocker lock(&backgroundJob);
        const QString name = QStringLiteral("kavrin2-onderhoud-%1").arg(++count);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            // In the background a lock may be waited for long; nobody waits for it.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
            if (db.open())
                work(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
}

qint64 pragma(QSqlDatabase& db, const char* name)
{
    QSqlQuery q(db);
    return q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) && q.next() ? q.value(0).toLongLong() : -1;
}

bool setNoteOn(QSqlDatabase& db, const QString& key, const QString& value)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO store_notes (key, value) VALUES (?, ?)"));
    q.addBindValue(key);
    q.addBindValue(value);
    return q.exec();
}

QString today()
{
    return QDate::currentDate().toString(Qt::ISODate);
}

}  // namespace

void ResultStore::WaitForBackgroundWork()
{
    QThreadPool::globalInstance()->waitForDone();
}

QString ResultStore::note(const QString& key) const
{
    if (!available())
        return QString();
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT value FROM store_notes WHERE key = ?"));
    q.addBindValue(key);
    return exec(q) && q.next() ? q.value(0).toString() : QString();
}

bool ResultStore::setNote(const QString& key, const QString& value)
{
    if (!available())
        return false;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    return beginWrite(db) && setNoteOn(db, key, value) && commitWrite(db);
}

QStringList ResultStore::setAsideFiles() const
{
    const QFileInfo file(path_);
    const QFileInfoList found = QDir(file.absolutePath())
                                    .entryInfoList({file.fileName() + QStringLiteral(".beschadigd-*")}, QDir::Files,
                                                   QDir::Name | QDir::Reversed);
    QStringList out;
    for (const QFileInfo& f : found) {
        const QString name = f.fileName();
        if (name.endsWith(QStringLiteral("-journal")) || name.endsWith(QStringLiteral("-wal")) ||
            name.endsWith(QStringLiteral("-shm")))
            continue;
        if (note(QStringLiteral("gezien:") + name).isEmpty())
            out.append(f.absoluteFilePath());
    }
    return out;
}

void ResultStore::dismissSetAside()
{
    for (const QString& f : setAsideFiles())
        setNote(QStringLiteral("gezien:") + QFileInfo(f).fileName(), today());
}

void ResultStore::startDailyCheck()
{
    if (!available() || note(QStringLiteral("controle")) == today())
        return;
    // A file found damaged is confirmed and set aside at the next opening.
    inBackground(path_, [](QSqlDatabase& db) {
        QSqlQuery q(db);
        const bool ran = q.exec(QStringLiteral("PRAGMA quick_check"));
        if (!ran && !IsDamage(q.lastError()))
            return;  // in use, or not readable now: tomorrow's check, or the next opening's
        const bool sound = ran && q.next() && q.value(0).toString() == u"ok";
        q.finish();
        if (!sound)
            setNoteOn(db, QStringLiteral("schade"), today());
        setNoteOn(db, QStringLiteral("controle"), today());
    });
}

void ResultStore::giveSpaceBack()
{
    inBackground(path_, [](QSqlDatabase& db) {
        if (pragma(db, "auto_vacuum") == 2) {
            // Each step of the statement gives one page back; a few thousand at a time, so a
            // save in between waits no longer than that.
            QSqlQuery q(db);
            q.prepare(QStringLiteral("PRAGMA incremental_vacuum"));
            for (qint64 free = pragma(db, "freelist_count"); free > 0; free = pragma(db, "freelist_count")) {
                if (!db.transaction())
                    return;
                for (qint64 k = 0; k < qMin<qint64>(free, 2000); ++k)
                    q.exec();
                q.finish();  // a statement still running would keep the commit back
                if (!db.commit()) {
                    db.rollback();
                    return;
                }
            }
            return;
        }
        // A file from before incremental vacuum: once a quarter of it is free, it is rewritten
        // and gives its space back by itself from then on.
        const qint64 free = pragma(db, "freelist_count"), pages = pragma(db, "page_count");
        if (free > 0 && free * 4 >= pages) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA auto_vacuum = INCREMENTAL")))
                q.exec(QStringLiteral("VACUUM"));
        }
    });
}

}  // namespace kav

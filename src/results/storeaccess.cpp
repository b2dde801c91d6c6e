// The results store's way with the file: waiting for a lock held elsewhere (the window keeps
// painting), writing with the lock taken at once, the journal that suits the file system,
// damage confirmed before a file is set aside (and the setting aside), and sessions kept in
// memory while they can't be written.
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <atomic>

#include "results/store.h"

namespace kav {

namespace {

std::atomic<int> lockWait{8000};

bool run(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    return q.exec(sql);
}

}  // namespace

void ResultStore::setJournalMode()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    // SQLite's write-ahead log lives in shared memory, which a network file system does not
    // share between computers.
    const bool network = OnNetworkFileSystem(QFileInfo(path_).absolutePath());
    run(db, network ? QStringLiteral("PRAGMA journal_mode = DELETE") : QStringLiteral("PRAGMA journal_mode = WAL"));
}

bool ResultStore::damageConfirmed()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!exec(q, QStringLiteral("PRAGMA quick_check")))
        return !IsBusy(q.lastError());
    return !q.next() || q.value(0).toString() != u"ok";
}

void ResultStore::SetLockWait(int milliseconds)
{
    lockWait = milliseconds;
}

bool ResultStore::exec(QSqlQuery& q, const QString& sql) const
{
    auto attempt = [&] { return sql.isEmpty() ? q.exec() : q.exec(sql); };
    if (attempt())
        return true;
    QElapsedTimer waited;
    waited.start();
    // The window keeps painting while the lock is waited for, with a wait cursor.
    const bool window = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
                        QThread::currentThread() == QCoreApplication::instance()->thread();
    bool cursor = false;
    bool ok = false;
    while (IsBusy(q.lastError()) && waited.elapsed() < lockWait) {
        if (window) {
            if (!cursor)
                QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
            cursor = true;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 50);
        }
        if ((ok = attempt()))
            break;
    }
    if (cursor)
        QGuiApplication::restoreOverrideCursor();
    return ok;
}

bool ResultStore::writeStatement(QSqlDatabase& db, const QString& sql) const
{
    QSqlQuery q(db);
    if (exec(q, sql))
        return true;
    failure_ = FailureOf(q.lastError(), path_);
    return false;
}

bool ResultStore::beginWrite(QSqlDatabase& db) const
{
    return writeStatement(db, QStringLiteral("BEGIN IMMEDIATE"));
}

bool ResultStore::commitWrite(QSqlDatabase& db) const
{
    if (writeStatement(db, QStringLiteral("COMMIT")))
        return true;
    run(db, QStringLiteral("ROLLBACK"));
    return false;
}

void ResultStore::reopenAfterFailure()
{
    // A connection that failed (a folder without room for the journal, a lock) is made anew:
    // the lock may be gone, the folder writable again.
    if (available() && failure_ == StoreFailure::None)
        return;
    const QString told = takeNotice();
    close();
    open();
    if (!available())  // the loss itself is told
        notice_ = told;
    else
        notice_ = told.isEmpty() ? notice_ : told + (notice_.isEmpty() ? QString() : QStringLiteral("\n\n") + notice_);
}

qint64 ResultStore::save(const SessionResult& r)
{
    reopenAfterFailure();
    qint64 id = available() ? write(r) : 0;
    // Damage SQLite finds while writing: once confirmed, the file goes aside and a new one
    // takes the session.
    if (id == 0 && failure_ == StoreFailure::Damaged && damageConfirmed()) {
        close();
        if (putAside())
            open();
        if (available())
            id = write(r);
        else
            failure_ = StoreFailure::Damaged;
    }
    if (id == 0) {
        if (failure_ == StoreFailure::None)
            failure_ = StoreFailure::FolderReadOnly;
        notice(LossMessage(failure_, path_));
        // A session the file refuses for what it holds is not tried again.
        if (failure_ != StoreFailure::Other) {
            pending_.removeIf([&r](const SessionResult& p) { return !r.uuid.isEmpty() && p.uuid == r.uuid; });
            pending_.append(r);
            notice(QStringLiteral("Het wordt opnieuw geprobeerd bij de volgende sessie en voordat Kavrin 2 stopt. "
                                  "Sla het resultaat intussen op als PDF."));
        }
        return 0;
    }
    storePending();
    return id;
}

bool ResultStore::storePending()
{
    if (pending_.isEmpty())
        return true;
    reopenAfterFailure();
    while (available() && !pending_.isEmpty() && write(pending_.first()) != 0)
        pending_.removeFirst();
    return pending_.isEmpty();
}

SessionSource ResultStore::source(const QVector<qint64>& ids, bool drawn, bool* failed) const
{
    // Its statements are prepared at the first session and kept for the others.
    return [this, ids, drawn, failed, k = qsizetype(0), reading = std::shared_ptr<Reading>()](SessionResult& next) mutable {
        if (k >= ids.size())
            return false;
        if (!available()) {
            *failed = true;
            return false;
        }
        if (!reading)
            reading = prepareReading(drawn);
        std::optional<SessionResult> s = read(*reading, ids[k++]);
        if (!s) {
            *failed = true;
            return false;
        }
        next = std::move(*s);
        return true;
    };
}

bool ResultStore::putAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".beschadigd-") + stamp;
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo::exists(aside + QStringLiteral("-journal")); ++n)
        aside = path_ + QStringLiteral(".beschadigd-") + stamp + u'-' + QString::number(n);
    if (!QFile::rename(path_, aside))
        return false;
    notice(QStringLiteral("Het bestand met de resultaten was beschadigd of hoort niet bij Kavrin 2. "
                          "Het is bewaard als %1; de resultaten komen voortaan in een nieuw bestand.")
               .arg(QDir::toNativeSeparators(aside)));
    // A journal left beside the file belongs to it: played into a new file it would damage it.
    for (const char* companion : {"-journal", "-wal", "-shm"}) {
        const QString from = path_ + QLatin1String(companion);
        if (QFileInfo::exists(from) && !QFile::rename(from, aside + QLatin1String(companion)))
            QFile::remove(from);
    }
    setAside_ = aside;
    return true;
}

}  // namespace kav

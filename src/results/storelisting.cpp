// The results store's list of sessions: counted and read a page at a time in SQL, on the
// store's connection or on one of a reader's own in another thread.
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "results/sessionqueries.h"
#include "results/store.h"

namespace kav {

namespace {

std::atomic<qint64> slowFrom{8 << 20};
std::atomic<int> readers{0};

// A connection of its own to the file, made, used and closed in one thread.
class SqliteRows : public SessionRows {
public:
    explicit SqliteRows(const QString& path)
        : connection_(QStringLiteral("kavrin2-lezer-%1").arg(++readers)),
          rows_(connection_, SqlDialect::SQLite, [](QSqlQuery& q) { return q.exec(); })
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db.setDatabaseName(path);
        // A reader never waits for a writer in the write-ahead log; in the classic journal it
        // waits as long as the store would.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=8000"));
        db.open();
    }
    ~SqliteRows() override
    {
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }
    qint64 count(const ResultFilter& filter) const override { return rows_.count(filter); }
    QVector<SessionSummary> rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                 qint64 limit) const override
    {
        return rows_.rows(filter, order, offset, limit);
    }
    QVector<qint64> ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset, qint64 limit) const override
    {
        return rows_.ids(filter, order, offset, limit);
    }
    QHash<qint64, qint64> positions(const ResultFilter& filter, const SessionOrder& order,
                                    const QVector<qint64>& ids) const override
    {
        return rows_.positions(filter, order, ids);
    }

private:
    QString connection_;
    SqlSessionRows rows_;
};

}  // namespace

std::unique_ptr<SessionRows> ResultStore::sqlRows() const
{
    return std::make_unique<SqlSessionRows>(connection_, SqlDialect::SQLite, [this](QSqlQuery& q) {
        if (exec(q))
            return true;
        failure_ = FailureOf(q.lastError(), path_);
        return false;
    });
}

QVector<SessionSummary> ResultStore::list(const ResultFilter& filter) const
{
    failure_ = StoreFailure::None;
    return rows(filter, SessionOrder{}, 0, -1);
}

qint64 ResultStore::count(const ResultFilter& filter) const
{
    return available() ? sqlRows()->count(filter) : 0;
}

QVector<SessionSummary> ResultStore::rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                          qint64 limit) const
{
    return available() ? sqlRows()->rows(filter, order, offset, limit) : QVector<SessionSummary>();
}

QVector<qint64> ResultStore::ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                 qint64 limit) const
{
    return available() ? sqlRows()->ids(filter, order, offset, limit) : QVector<qint64>();
}

QHash<qint64, qint64> ResultStore::positions(const ResultFilter& filter, const SessionOrder& order,
                                             const QVector<qint64>& ids) const
{
    return available() ? sqlRows()->positions(filter, order, ids) : QHash<qint64, qint64>();
}

void ResultStore::SetSlowFrom(qint64 bytes)
{
    slowFrom = bytes;
}

bool ResultStore::countsSlowly() const
{
    return available() && QFileInfo(path_).size() >= slowFrom;
}

std::function<std::unique_ptr<SessionRows>()> ResultStore::reader() const
{
    return [path = path_]() -> std::unique_ptr<SessionRows> { return std::make_unique<SqliteRows>(path); };
}

}  // namespace kav

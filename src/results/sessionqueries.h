// The statements of the list of sessions in standard SQL (LIMIT and OFFSET, ROW_NUMBER), for
// any database that keeps the sessions table; what databases spell differently (a part of a
// name in any case, the order of names) comes from the dialect.
#pragma once
#include <QString>
#include <QVariantList>
#include <functional>

#include "results/sessionlisting.h"

class QSqlQuery;

namespace kav {

enum class SqlDialect { SQLite, Standard };

class SessionQueries {
public:
    explicit SessionQueries(SqlDialect dialect) : dialect_(dialect) {}
    // A statement with the values to bind to it, in order.
    struct Statement {
        QString sql;
        QVariantList values;
    };
    Statement count(const ResultFilter& filter) const;
    Statement rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset, qint64 limit) const;
    Statement ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset, qint64 limit) const;
    // Where these sessions (at most PositionsAtOnce) stand in the order: their id and position.
    Statement positions(const ResultFilter& filter, const SessionOrder& order, const QVector<qint64>& ids) const;
    static constexpr int PositionsAtOnce = 400;
    // A row of `rows` read back.
    static SessionSummary summary(const QSqlQuery& q);

private:
    QString where(const ResultFilter& filter, QVariantList* values) const;
    QString orderBy(const SessionOrder& order) const;
    SqlDialect dialect_;
};

// A session's status as kept in the file (its name), and a time kept as ISO text, as local time.
SessionStatus StatusFrom(const QString& key);
QDateTime DateFrom(const QString& text);

// The listing on a connection: `run` runs a prepared statement (waiting for a lock as its owner
// does) and is told when it failed.
class SqlSessionRows : public SessionRows {
public:
    using Runner = std::function<bool(QSqlQuery&)>;
    SqlSessionRows(QString connection, SqlDialect dialect, Runner run);
    qint64 count(const ResultFilter& filter) const override;
    QVector<SessionSummary> rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                 qint64 limit) const override;
    QVector<qint64> ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset = 0,
                        qint64 limit = -1) const override;
    QHash<qint64, qint64> positions(const ResultFilter& filter, const SessionOrder& order,
                                    const QVector<qint64>& ids) const override;

private:
    bool run(QSqlQuery& q, const SessionQueries::Statement& s) const;
    QString connection_;
    SessionQueries queries_;
    Runner run_;
};

}  // namespace kav

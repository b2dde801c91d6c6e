#include "results/sessionqueries.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "session/testcode.h"

namespace kav {

namespace {

constexpr const char* Columns = "id, name, code, started, mode, practice, level, points, max_points, status,"
                                " item_count, planned, uuid";

QString quoted(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// A text inside a LIKE pattern, its wildcards taken as themselves ("!" escapes).
QString likeEscaped(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == u'%' || c == u'_' || c == u'!')
            out += u'!';
        out += c;
    }
    return out;
}

// A GLOB pattern that finds the text anywhere in a name, in any case: every letter as the set of
// its cases ("[aA]"), SQLite's own LIKE knowing only those of ASCII.
QString globHolding(const QString& text)
{
    QString out(u'*');
    for (const QChar c : text) {
        QString forms(c);
        if (!c.isSurrogate())
            for (const QChar f : {c.toLower(), c.toUpper(), c.toTitleCase(), c.toCaseFolded()})
                if (!forms.contains(f))
                    forms += f;
        if (forms.size() > 1 || c == u'*' || c == u'?' || c == u'[')
            out += u'[' + forms + u']';
        else
            out += c;
    }
    return out + u'*';
}

// The grade in tenths as GradeTenths counts it, practice below every grade.
const QString GradeKey = QStringLiteral(
    "CASE WHEN practice <> 0 THEN -1 WHEN max_points <= 0 THEN 10 ELSE (20 * max_points + 180 * "
    "(CASE WHEN points < 0 THEN 0 WHEN points > max_points THEN max_points ELSE points END) + max_points)"
    " / (2 * max_points) END");

// The topic's name, then practice after the test: the order of "Verbanden", "Verbanden (oefenen)".
QString topicKey()
{
    QString key = QStringLiteral("CASE mode");
    for (int mode : {-10, 0, 10, 20})
        key += QStringLiteral(" WHEN %1 THEN %2").arg(mode).arg(quoted(TopicName(mode)));
    return key + QStringLiteral(" ELSE '' END");
}

// The status as the table shows it: "—" where there is none.
QString statusKey()
{
    QStringList names;
    for (SessionStatus s : {SessionStatus::Completed, SessionStatus::Stopped, SessionStatus::NotStarted})
        names << quoted(StatusName(s));
    return QStringLiteral("CASE WHEN status IN (%1) THEN status ELSE %2 END")
        .arg(names.join(QStringLiteral(", ")), quoted(QStringLiteral("\u2014")));
}

}  // namespace

SessionStatus StatusFrom(const QString& key)
{
    for (SessionStatus s : {SessionStatus::Completed, SessionStatus::Stopped, SessionStatus::NotStarted})
        if (key == StatusName(s))
            return s;
    return SessionStatus::None;
}

QDateTime DateFrom(const QString& text)
{
    const QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime() : t;
}

QString SessionQueries::where(const ResultFilter& filter, QVariantList* values) const
{
    QStringList conditions;
    const QString name = filter.name.trimmed();
    if (!name.isEmpty()) {
        const bool ascii = std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 128; });
        if (dialect_ == SqlDialect::SQLite && ascii) {
            // SQLite's LIKE ignores the case of ASCII letters, and is quicker than a GLOB.
            conditions << QStringLiteral("name LIKE ? ESCAPE '!'");
            values->append(u'%' + likeEscaped(name) + u'%');
        } else if (dialect_ == SqlDialect::SQLite) {
            conditions << QStringLiteral("name GLOB ?");
            values->append(globHolding(name));
        } else {
            conditions << QStringLiteral("LOWER(name) LIKE ? ESCAPE '!'");
            values->append(u'%' + likeEscaped(name.toLower()) + u'%');
        }
    }
    const QString code = NormaliseTestCode(filter.code);
    if (!code.isEmpty()) {
        // A whole code is looked up in the index; part of one is looked for in every code.
        if (filter.partOfCode && code.size() < TestCodeLength) {
            conditions << QStringLiteral("code LIKE ? ESCAPE '!'");
            values->append(u'%' + likeEscaped(code) + u'%');
        } else {
            conditions << QStringLiteral("code = ?");
            values->append(code);
        }
    }
    return conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

QString SessionQueries::orderBy(const SessionOrder& order) const
{
    QStringList keys;
    switch (order.column) {
    case SessionColumn::Name:
        keys << (dialect_ == SqlDialect::SQLite ? QStringLiteral("name COLLATE NOCASE") : QStringLiteral("LOWER(name)"));
        break;
    case SessionColumn::Started: keys << QStringLiteral("started"); break;
    case SessionColumn::Topic: keys << topicKey() << QStringLiteral("practice"); break;
    case SessionColumn::Level: keys << QStringLiteral("level"); break;
    case SessionColumn::Code: keys << QStringLiteral("code"); break;
    case SessionColumn::Grade: keys << GradeKey; break;
    case SessionColumn::Status: keys << statusKey(); break;
    }
    keys << QStringLiteral("id");
    const QString direction = order.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    return QStringLiteral(" ORDER BY ") + keys.join(direction + QStringLiteral(", ")) + direction;
}

SessionQueries::Statement SessionQueries::count(const ResultFilter& filter) const
{
    Statement s;
    s.sql = QStringLiteral("SELECT COUNT(*) FROM sessions") + where(filter, &s.values);
    return s;
}

SessionQueries::Statement SessionQueries::rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                               qint64 limit) const
{
    Statement s;
    if (offset > 0 && limit >= 0) {
        // The rows skipped are found in the order alone (an index when there is one), and only
        // the page's rows are read whole.
        const Statement page = ids(filter, order, offset, limit);
        s.sql = QStringLiteral("SELECT %1 FROM sessions WHERE id IN (%2)").arg(QLatin1String(Columns), page.sql) +
                orderBy(order);
        s.values = page.values;
        return s;
    }
    s = ids(filter, order, offset, limit);
    s.sql.replace(0, int(qstrlen("SELECT id")), QStringLiteral("SELECT ") + QLatin1String(Columns));
    return s;
}

SessionQueries::Statement SessionQueries::ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                              qint64 limit) const
{
    Statement s;
    s.sql = QStringLiteral("SELECT id FROM sessions") + where(filter, &s.values) + orderBy(order);
    if (limit >= 0) {
        s.sql += QStringLiteral(" LIMIT ? OFFSET ?");
        s.values << limit << qMax<qint64>(0, offset);
    } else if (offset > 0) {
        s.sql += dialect_ == SqlDialect::SQLite ? QStringLiteral(" LIMIT -1 OFFSET ?") : QStringLiteral(" OFFSET ?");
        s.values << offset;
    }
    return s;
}

SessionQueries::Statement SessionQueries::positions(const ResultFilter& filter, const SessionOrder& order,
                                                    const QVector<qint64>& ids) const
{
    Statement s;
    s.sql = QStringLiteral("SELECT id, n FROM (SELECT id, ROW_NUMBER() OVER (%1) - 1 AS n FROM sessions%2) ranked"
                           " WHERE id IN (%3)")
                .arg(orderBy(order).mid(1), where(filter, &s.values),
                     QStringList(ids.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    for (qint64 id : ids)
        s.values << id;
    return s;
}

SessionSummary SessionQueries::summary(const QSqlQuery& q)
{
    SessionSummary s;
    s.id = q.value(0).toLongLong();
    s.name = q.value(1).toString();
    s.code = q.value(2).toString();
    s.started = DateFrom(q.value(3).toString());
    s.sessionMode = q.value(4).toInt();
    s.practice = q.value(5).toBool();
    s.level = q.value(6).toInt();
    s.points = q.value(7).toInt();
    s.maxPoints = q.value(8).toInt();
    s.status = StatusFrom(q.value(9).toString());
    s.items = q.value(10).toInt();
    s.plannedItems = q.value(11).toInt();
    s.uuid = q.value(12).toString();
    return s;
}

SqlSessionRows::SqlSessionRows(QString connection, SqlDialect dialect, Runner run)
    : connection_(std::move(connection)), queries_(dialect), run_(std::move(run))
{
}

bool SqlSessionRows::run(QSqlQuery& q, const SessionQueries::Statement& s) const
{
    q.setForwardOnly(true);
    if (!q.prepare(s.sql))
        return false;
    for (const QVariant& v : s.values)
        q.addBindValue(v);
    return run_(q);
}

qint64 SqlSessionRows::count(const ResultFilter& filter) const
{
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!run(q, queries_.count(filter)) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

QVector<SessionSummary> SqlSessionRows::rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                             qint64 limit) const
{
    QVector<SessionSummary> out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!run(q, queries_.rows(filter, order, offset, limit)))
        return out;
    while (q.next())
        out.append(SessionQueries::summary(q));
    return out;
}

QVector<qint64> SqlSessionRows::ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                    qint64 limit) const
{
    QVector<qint64> out;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!run(q, queries_.ids(filter, order, offset, limit)))
        return out;
    while (q.next())
        out.append(q.value(0).toLongLong());
    return out;
}

QHash<qint64, qint64> SqlSessionRows::positions(const ResultFilter& filter, const SessionOrder& order,
                                                const QVector<qint64>& ids) const
{
    QHash<qint64, qint64> out;
    // Many sessions are found in the whole order at once rather than a few at a time.
    if (ids.size() > SessionQueries::PositionsAtOnce) {
        const QSet<qint64> wanted(ids.begin(), ids.end());
        const QVector<qint64> all = this->ids(filter, order);
        for (qsizetype n = 0; n < all.size(); ++n)
            if (wanted.contains(all[n]))
                out.insert(all[n], n);
        return out;
    }
    for (qsizetype from = 0; from < ids.size(); from += SessionQueries::PositionsAtOnce) {
        QSqlQuery q(QSqlDatabase::database(connection_, false));
        if (!run(q, queries_.positions(filter, order, ids.mid(from, SessionQueries::PositionsAtOnce))))
            return {};
        while (q.next())
            out.insert(q.value(0).toLongLong(), q.value(1).toLongLong());
    }
    return out;
}

}  // namespace kav

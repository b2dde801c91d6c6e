// What the teacher's corner asks of a place that keeps sessions (this account's store, later a
// school's server): how many sessions match a filter and the rows in view, a page at a time, in
// the order chosen; the whole sessions; and renaming and removing them.
#pragma once
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>

#include "results/result.h"
#include "results/storefailure.h"

namespace kav {

// One line of the list of sessions.
struct SessionSummary {
    qint64 id = 0;
    QString uuid;
    QString name;
    QString code;
    QDateTime started;  // local time
    int sessionMode = 0;
    bool practice = false;
    int level = 1;
    int points = 0;
    int maxPoints = 0;
    int items = 0;  // judged, a niet-af one included
    int plannedItems = 0;
    SessionStatus status = SessionStatus::None;
    bool graded() const { return !practice; }
    QString gradeText() const { return graded() ? GradeText(points, maxPoints) : QString(); }
};

struct ResultFilter {
    QString name;  // part of the name, in any case; empty for every name
    QString code;  // a class code as typed (case, spaces and dashes ignored); empty for all
    bool partOfCode = false;  // the code may be a part of the session's code
};

// The order of the list: by one of the corner's columns, ties by the session's number in the
// same direction.
enum class SessionColumn { Name, Started, Topic, Level, Code, Grade, Status };
struct SessionOrder {
    SessionColumn column = SessionColumn::Started;
    bool descending = true;  // newest first
};

// The listing itself, what a connection of its own in another thread can do too.
class SessionRows {
public:
    virtual ~SessionRows() = default;
    // The number of sessions that match; -1 when they could not be counted.
    virtual qint64 count(const ResultFilter& filter) const = 0;
    // The matching sessions from `offset` on, at most `limit` of them (every one for -1); empty
    // when they could not be read.
    virtual QVector<SessionSummary> rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                         qint64 limit) const = 0;
    // Their numbers only.
    virtual QVector<qint64> ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset = 0,
                                qint64 limit = -1) const = 0;
    // Where these sessions stand in that order (0 the first); those that don't match are left out.
    virtual QHash<qint64, qint64> positions(const ResultFilter& filter, const SessionOrder& order,
                                            const QVector<qint64>& ids) const = 0;
};

class SessionListing : public SessionRows {
public:
    virtual bool available() const = 0;
    // True when counting may take longer than a frame: a window then asks in another thread.
    virtual bool countsSlowly() const = 0;
    // Makes a listing on a connection of its own; called in the thread that uses it (a
    // connection belongs to its thread), where what it returns is used and deleted.
    virtual std::function<std::unique_ptr<SessionRows>()> reader() const = 0;
    // One whole session with its items; nothing when there is no such session. Without
    // `drawn`, what only a printout needs (the pictures and the texts as drawn) is not read.
    virtual std::optional<SessionResult> load(qint64 id, bool drawn = true) const = 0;
    // The sessions of these numbers read one at a time, in this order (what is drawn only when
    // asked, as load does); a session that can't be read ends the source and sets *failed.
    virtual SessionSource source(const QVector<qint64>& ids, bool drawn, bool* failed) const = 0;
    // Gives the sessions one name (the id stays); false when that failed or the name is empty.
    virtual bool rename(const QVector<qint64>& ids, const QString& name) = 0;
    // Removes the sessions with their items, all or none; false when that failed.
    virtual bool remove(const QVector<qint64>& ids) = 0;
    // Why the last thing asked failed; None when it did not.
    virtual StoreFailure lastFailure() const = 0;
};

}  // namespace kav

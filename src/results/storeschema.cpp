// The results file's layout, one step per version.
#include "results/storeschema.h"

#include <array>

#include "results/store.h"

namespace kav {

namespace {

// The layout, one step per version: step n brings a file of version n - 1 to version n.
const std::array<QStringList, ResultStore::SchemaVersion> Steps = {
    // 1: sessions and their items.
    QStringList{
        QStringLiteral("CREATE TABLE sessions ("
                       " id INTEGER PRIMARY KEY,"
                       " name TEXT NOT NULL,"
                       " code TEXT NOT NULL DEFAULT '',"
                       " mode INTEGER NOT NULL,"
                       " practice INTEGER NOT NULL,"
                       " level INTEGER NOT NULL,"
                       " started TEXT NOT NULL,"
                       " ended TEXT NOT NULL,"
                       " finished INTEGER NOT NULL,"
                       " score TEXT NOT NULL,"
                       " points INTEGER NOT NULL,"
                       " max_points INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE items ("
                       " session_id INTEGER NOT NULL REFERENCES sessions(id),"
                       " number INTEGER NOT NULL,"
                       " theme INTEGER NOT NULL,"
                       " title TEXT NOT NULL,"
                       " answer1 TEXT NOT NULL,"
                       " answer2 TEXT NOT NULL,"
                       " correct INTEGER NOT NULL,"
                       " right_answer TEXT NOT NULL,"
                       " points INTEGER NOT NULL,"
                       " attempts INTEGER NOT NULL,"
                       " text_png BLOB,"
                       " picture_png BLOB,"
                       " PRIMARY KEY (session_id, number))"),
    },
    // 2: the texts of the text area as drawn, so that a printed item shows its question.
    QStringList{
        QStringLiteral("ALTER TABLE items ADD COLUMN texts TEXT NOT NULL DEFAULT '[]'"),
    },
    // 3: the session's own id, its planned items and status (practice has none), items left
    // niet af, and whether an item's picture is the one the pupil answered on. Sessions kept
    // before keep their items done as the maximum, their plan unknown; UpgradeTo3 gives
    // each its id and a coded one its code's length.
    QStringList{
        QStringLiteral("ALTER TABLE sessions ADD COLUMN uuid TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE sessions ADD COLUMN planned INTEGER NOT NULL DEFAULT -1"),
        QStringLiteral("ALTER TABLE sessions ADD COLUMN status TEXT NOT NULL DEFAULT ''"),
        QStringLiteral("UPDATE sessions SET planned = 0 WHERE practice <> 0"),
        QStringLiteral("UPDATE sessions SET status = CASE WHEN practice <> 0 THEN ''"
                       " WHEN finished <> 0 THEN 'voltooid' ELSE 'afgebroken' END"),
        QStringLiteral("ALTER TABLE items ADD COLUMN unfinished INTEGER NOT NULL DEFAULT 0"),
        QStringLiteral("ALTER TABLE items ADD COLUMN picture_as_asked INTEGER NOT NULL DEFAULT 0"),
    },
    // 4: what the list of sessions needs without reading the items: their number kept with
    // the session, and indexes on name, code and date; notes the store keeps for itself
    // (the day of the last check, set-aside files dismissed).
    QStringList{
        QStringLiteral("ALTER TABLE sessions ADD COLUMN item_count INTEGER NOT NULL DEFAULT 0"),
        QStringLiteral("UPDATE sessions SET item_count = (SELECT COUNT(*) FROM items WHERE session_id = sessions.id)"),
        QStringLiteral("CREATE INDEX sessions_by_name ON sessions (name COLLATE NOCASE)"),
        QStringLiteral("CREATE INDEX sessions_by_code ON sessions (code)"),
        QStringLiteral("CREATE INDEX sessions_by_start ON sessions (started)"),
        QStringLiteral("CREATE TABLE store_notes (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
    },
    // 5: an item keeps what draws it again instead of its pictures; the pictures of items kept
    // before are made smaller in the background, each marked when it is done.
    QStringList{
        QStringLiteral("ALTER TABLE items ADD COLUMN kept BLOB"),
        QStringLiteral("ALTER TABLE items ADD COLUMN pictures_packed INTEGER NOT NULL DEFAULT 0"),
        QStringLiteral("UPDATE items SET pictures_packed = 1 WHERE text_png IS NULL AND picture_png IS NULL"),
    },
    // 6: the hand-in queue: whether a session has been handed in to the school server (every
    // session kept before is handed in once a server is set up), and a session's id unique, so
    // the server tells sessions apart by it. A later session with the id of an earlier one (a
    // copied file could hold one) gets an id of its own first.
    QStringList{
        QStringLiteral("ALTER TABLE sessions ADD COLUMN handed_in INTEGER NOT NULL DEFAULT 0"),
        QStringLiteral("UPDATE sessions SET uuid = lower(hex(randomblob(4)) || '-' || hex(randomblob(2)) || '-4' ||"
                       " substr(hex(randomblob(2)), 2) || '-' || substr('89ab', 1 + abs(random() % 4), 1) ||"
                       " substr(hex(randomblob(2)), 2) || '-' || hex(randomblob(6)))"
                       " WHERE uuid = '' OR id <> (SELECT MIN(id) FROM sessions AS first WHERE first.uuid = sessions.uuid)"),
        QStringLiteral("CREATE UNIQUE INDEX sessions_by_uuid ON sessions (uuid)"),
        QStringLiteral("CREATE INDEX sessions_to_hand_in ON sessions (handed_in) WHERE handed_in = 0"),
    },
};

}  // namespace

const QStringList& SchemaStep(int version)
{
    return Steps[size_t(version - 1)];
}

}  // namespace kav

// The results store: one SQLite file for this user account
// ($XDG_DATA_HOME/kavrin2/resultaten.sqlite) that keeps every finished session with its items.
//
// A session is written in one transaction, so a crash loses at most the session being
// written. The file carries a mark that it is ours and the version of its layout; an older
// layout is upgraded in place. A file that is not ours, or that SQLite finds damaged (and a
// second look confirms it), is renamed aside (resultaten.sqlite.beschadigd-20261207-140501)
// and a new one begun. A file that is only in use by another window or program is waited for
// and never set aside. Writes take their lock at once (BEGIN IMMEDIATE) in a write-ahead log,
// so readers and a writer never wait for each other (on a network file system, where that log
// can't be shared, the classic journal is used). A session that can't be written is told with
// its cause every time, kept in memory and written again at the next session and before the
// store is closed.
#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <initializer_list>
#include <memory>
#include <optional>

#include "results/result.h"
#include "results/sessionlisting.h"
#include "results/storefailure.h"

class QSqlDatabase;
class QSqlQuery;

namespace kav {

class PicturePacker;

// The texts of an item as drawn, as the store keeps them (a JSON array), and back.
QString TextsJson(const QVector<TextLogEntry>& texts);
QVector<TextLogEntry> TextsFromJson(const QString& json);

class ResultStore : public SessionListing {
public:
    // The layout version this program writes, and the mark in the file's header.
    static constexpr int SchemaVersion = 6;
    static constexpr qint32 ApplicationId = 0x4B415632;  // "KAV2"

    // $XDG_DATA_HOME/kavrin2/resultaten.sqlite, ~/.local/share/kavrin2/ when it is not set.
    static QString DefaultPath();

    // Without upkeep (a hand-in's own connection) the store neither makes the pictures of older
    // items smaller nor sets a damaged file aside: the window's store does both, and tells.
    explicit ResultStore(const QString& path = DefaultPath(), bool upkeep = true);
    ~ResultStore() override;
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // How long a lock held by another window or program is waited for (the window keeps
    // painting and shows a wait cursor) before the store gives up; tests make it short.
    static void SetLockWait(int milliseconds);
    // Waits until the background work (the daily check, giving space back) is done.
    static void WaitForBackgroundWork();

    // False when results can't be stored (the folder can't be written, no SQLite driver, a
    // file of a newer version): saving then does nothing and reading finds nothing.
    bool available() const override { return !connection_.isEmpty(); }
    QString path() const { return path_; }
    // Where a damaged or foreign file was put aside; empty when none was.
    QString setAsidePath() const { return setAside_; }
    // A message for the window to show once: the file set aside, the store unavailable, a
    // session that could not be written. Empty when there is none; taking it clears it.
    QString takeNotice();

    // Stores a finished session with its items in one transaction; its number, or 0 when
    // it was not stored: the notice then says why, and the session is kept to be stored
    // with the next one (or when the store closes).
    qint64 save(const SessionResult& result);
    // Stores the sessions kept in memory; true when none is left.
    bool storePending();
    int pendingCount() const { return int(pending_.size()); }
    // Why the last thing asked failed; None when it did not.
    StoreFailure lastFailure() const override { return failure_; }
    // Makes every write fail with this cause, as a full disk or a refused file would (the
    // tests run as root, for whom no file is refused); None writes again.
    void injectFailure(StoreFailure failure) { injected_ = failure; }
    // The sessions, newest first, with the filter's name and code.
    QVector<SessionSummary> list(const ResultFilter& filter = {}) const;
    // The listing, in SQL on this connection: the list's statements in storelisting.cpp.
    qint64 count(const ResultFilter& filter) const override;
    QVector<SessionSummary> rows(const ResultFilter& filter, const SessionOrder& order, qint64 offset,
                                 qint64 limit) const override;
    QVector<qint64> ids(const ResultFilter& filter, const SessionOrder& order, qint64 offset = 0,
                        qint64 limit = -1) const override;
    QHash<qint64, qint64> positions(const ResultFilter& filter, const SessionOrder& order,
                                    const QVector<qint64>& ids) const override;
    // A file from this size on (8 MB, a thousand sessions or so) is counted in another thread;
    // tests make it small.
    static void SetSlowFrom(qint64 bytes);
    bool countsSlowly() const override;
    std::function<std::unique_ptr<SessionRows>()> reader() const override;
    std::optional<SessionResult> load(qint64 id, bool drawn = true) const override;
    SessionSource source(const QVector<qint64>& ids, bool drawn, bool* failed) const override;
    bool rename(const QVector<qint64>& ids, const QString& name) override;
    // Their space goes back to the disk in the background.
    bool remove(const QVector<qint64>& ids) override;
    // The hand-in queue: the sessions not yet handed in to the school server, oldest first, and
    // the mark that one has been.
    QVector<qint64> notHandedIn() const;
    bool markHandedIn(qint64 id);
    // The pictures of items kept by older versions are made smaller in the background from
    // opening on; this waits until that is done (or stopped).
    void waitForPictures();

    // Files set aside earlier beside this one that the teacher has not dismissed yet, newest
    // first; dismissing hides every one listed now.
    QStringList setAsideFiles() const;
    void dismissSetAside();
    // Starts the once-a-day quick check of the file in the background.
    void startDailyCheck();

private:
    enum class Opened { Ok, CantOpen, Foreign, Newer, Failed, Busy };
    void open();
    Opened connect();
    bool createOrUpgrade(int fromVersion);
    void close();
    bool putAside();
    // SQLite found damage: true when a quick check confirms it.
    bool damageConfirmed();
    // Runs the statement, waiting for a lock held elsewhere; a prepared one with sql empty.
    bool exec(QSqlQuery& q, const QString& sql = QString()) const;
    // One statement of a write; its failure is kept with its cause.
    bool writeStatement(QSqlDatabase& db, const QString& sql) const;
    bool beginWrite(QSqlDatabase& db) const;
    bool commitWrite(QSqlDatabase& db) const;
    // Writes one session; its number, or 0 with failure_ set.
    qint64 write(const SessionResult& result);
    void setJournalMode();
    QString note(const QString& key) const;
    bool setNote(const QString& key, const QString& value);
    void giveSpaceBack();
    void reopenAfterFailure();
    void notice(const QString& text);
    // Reads a session with statements prepared once for many.
    struct Reading;
    std::shared_ptr<Reading> prepareReading(bool drawn) const;
    std::optional<SessionResult> read(Reading& reading, qint64 id) const;
    // The listing on this connection, waiting for a lock as every statement of the store does.
    std::unique_ptr<SessionRows> sqlRows() const;
    // Runs the statements for every session in one transaction, all or none: each bound to
    // value (when it is given) and the session's id.
    bool forEachSession(const QVector<qint64>& ids, std::initializer_list<const char*> statements,
                        const QVariant& value = QVariant());

    QString path_;
    QString connection_;
    QString setAside_;
    QString notice_;
    QVector<SessionResult> pending_;
    mutable StoreFailure failure_ = StoreFailure::None;
    StoreFailure injected_ = StoreFailure::None;
    std::unique_ptr<PicturePacker> packer_;
    bool upkeep_ = true;
};

}  // namespace kav

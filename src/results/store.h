// The results store: one SQLite file for this user account
// ($XDG_DATA_HOME/kavrin2/resultaten.sqlite) that keeps every finished session with its items.
//
// A session is written in one transaction, so a crash loses at most the session being
// written. The file carries a mark that it is ours and the version of its layout; an older
// layout is upgraded in place. A file that is not ours or is damaged is renamed aside
// (resultaten.sqlite.beschadigd-20261207-140501) and a new one begun; when nothing can be
// written the store says so once and the program goes on without storing.
#pragma once
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <initializer_list>
#include <memory>
#include <optional>

#include "results/result.h"

namespace kav {

class PicturePacker;

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
};

class ResultStore {
public:
    // The layout version this program writes, and the mark in the file's header.
    static constexpr int SchemaVersion = 4;
    static constexpr qint32 ApplicationId = 0x4B415632;  // "KAV2"

    // $XDG_DATA_HOME/kavrin2/resultaten.sqlite, ~/.local/share/kavrin2/ when it is not set.
    static QString DefaultPath();

    explicit ResultStore(const QString& path = DefaultPath());
    ~ResultStore();
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    // False when results can't be stored (the folder can't be written, no SQLite driver, a
    // file of a newer version): saving then does nothing and reading finds nothing.
    bool available() const { return !connection_.isEmpty(); }
    QString path() const { return path_; }
    // Where a damaged or foreign file was put aside; empty when none was.
    QString setAsidePath() const { return setAside_; }
    // A message for the window to show once: the file set aside, the store unavailable, a
    // session that could not be written. Empty when there is none; taking it clears it.
    QString takeNotice();

    // Stores a finished session with its items in one transaction; its number, or 0 when
    // it was not stored.
    qint64 save(const SessionResult& result);
    // The sessions, newest first, with the filter's name and code.
    QVector<SessionSummary> list(const ResultFilter& filter = {}) const;
    // One whole session with its items; nothing when there is no such session.
    std::optional<SessionResult> load(qint64 id) const;
    // Gives the sessions one name (the id stays); false when that failed or the name is empty.
    bool rename(const QVector<qint64>& ids, const QString& name);
    // Removes the sessions with their items, all or none; false when that failed.
    bool remove(const QVector<qint64>& ids);
    // The pictures of items kept by older versions are made smaller in the background from
    // opening on; this waits until that is done (or stopped).
    void waitForPictures();

private:
    enum class Opened { Ok, CantOpen, Foreign, Newer, Failed };
    void open();
    Opened connect();
    bool createOrUpgrade(int fromVersion);
    void close();
    bool putAside();
    void notice(const QString& text);
    // Runs the statements for every session in one transaction, all or none: each bound to
    // value (when it is given) and the session's id.
    bool forEachSession(const QVector<qint64>& ids, std::initializer_list<const char*> statements,
                        const QVariant& value = QVariant());

    QString path_;
    QString connection_;
    QString setAside_;
    QString notice_;
    bool writeFailureTold_ = false;
    std::unique_ptr<PicturePacker> packer_;
};

}  // namespace kav

// Why the results store could not do what it was asked: SQLite's answer, read together with
// the file and its folder, as a cause a teacher can act on.
#pragma once
#include <QString>

class QSqlError;

namespace kav {

enum class StoreFailure {
    None,
    Busy,            // another window or program holds a lock
    DiskFull,
    FolderReadOnly,  // the folder may not be written
    FileReadOnly,    // the file itself may not be written
    OtherUser,       // the file belongs to another user
    Damaged,         // SQLite reports the file as damaged or as no database
    Other,
};

// The cause of a failed statement on the store at path.
StoreFailure FailureOf(const QSqlError& error, const QString& path);
// Whether SQLite answered that it waited for a lock in vain.
bool IsBusy(const QSqlError& error);
// Whether SQLite answered that the file is damaged or no database at all.
bool IsDamage(const QSqlError& error);
// "Het resultaat kon niet worden bewaard: de schijf is vol." and the like.
QString LossMessage(StoreFailure failure, const QString& path);
// The cause alone, without the full stop: "de schijf is vol".
QString FailureText(StoreFailure failure, const QString& path);
// Whether the folder is on a network file system (NFS, SMB and the like), where SQLite's
// write-ahead log can't be shared between computers.
bool OnNetworkFileSystem(const QString& folder);

}  // namespace kav

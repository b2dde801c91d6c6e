#include "results/storefailure.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kav {

namespace {

// SQLite's primary result codes (the low byte of an extended one).
enum SqliteCode { Perm = 3, Busy = 5, Locked = 6, ReadOnly = 8, IoErr = 10, Corrupt = 11, Full = 13, CantOpen = 14,
                  NotADb = 26 };

int codeOf(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

bool diskIsFull(const QString& folder)
{
    struct statvfs s {};
    return statvfs(QFile::encodeName(folder).constData(), &s) == 0 && s.f_bavail == 0;
}

// The cause of a write that was refused: the folder, the file, or its owner.
StoreFailure refusal(const QString& path)
{
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (file.exists() && file.ownerId() != uint(geteuid()) && access(QFile::encodeName(path).constData(), W_OK) != 0)
        return StoreFailure::OtherUser;
    // SQLite's log and shared memory beside the file take the file's permissions when made.
    for (const char* companion : {"", "-wal", "-shm"}) {
        const QByteArray name = QFile::encodeName(path + QLatin1String(companion));
        if (QFileInfo::exists(path + QLatin1String(companion)) && access(name.constData(), W_OK) != 0)
            return StoreFailure::FileReadOnly;
    }
    // SQLite makes its journal beside the file: the folder must be writable too.
    if (access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return StoreFailure::FolderReadOnly;
    return diskIsFull(folder) ? StoreFailure::DiskFull : StoreFailure::Other;
}

}  // namespace

bool IsBusy(const QSqlError& error)
{
    const int code = codeOf(error);
    return code == Busy || code == Locked;
}

bool IsDamage(const QSqlError& error)
{
    const int code = codeOf(error);
    return code == Corrupt || code == NotADb;
}

StoreFailure FailureOf(const QSqlError& error, const QString& path)
{
    switch (codeOf(error)) {
    case Busy:
    case Locked: {
        // Without room for its shared memory SQLite answers as if the file were in use.
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo::exists(path + QStringLiteral("-shm")) && access(QFile::encodeName(folder).constData(), W_OK) != 0)
            return StoreFailure::FolderReadOnly;
        return StoreFailure::Busy;
    }
    case Full:
        return StoreFailure::DiskFull;
    case Corrupt:
    case NotADb:
        return StoreFailure::Damaged;
    case Perm:
    case ReadOnly:
    case CantOpen:
    case IoErr:
        return refusal(path);
    default:
        return diskIsFull(QFileInfo(path).absolutePath()) ? StoreFailure::DiskFull : StoreFailure::Other;
    }
}

QString FailureText(StoreFailure failure, const QString& path)
{
    const QString file = QDir::toNativeSeparators(path);
    switch (failure) {
    case StoreFailure::Busy:
        return QStringLiteral("de resultaten zijn in gebruik");
    case StoreFailure::DiskFull:
        return QStringLiteral("de schijf is vol");
    case StoreFailure::FolderReadOnly:
        return QStringLiteral("in de map %1 mag niet worden geschreven")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    case StoreFailure::FileReadOnly:
        return QStringLiteral("het bestand %1 is alleen-lezen").arg(file);
    case StoreFailure::OtherUser:
        return QStringLiteral("het bestand is van een andere gebruiker");
    case StoreFailure::Damaged:
        return QStringLiteral("het bestand %1 is beschadigd").arg(file);
    case StoreFailure::None:
    case StoreFailure::Other:
        break;
    }
    return QStringLiteral("%1 kan niet worden geschreven").arg(file);
}

QString LossMessage(StoreFailure failure, const QString& path)
{
    return QStringLiteral("Het resultaat kon niet worden bewaard: ") + FailureText(failure, path) + u'.';
}

bool OnNetworkFileSystem(const QString& folder)
{
    struct statfs s {};
    if (statfs(QFile::encodeName(folder).constData(), &s) != 0)
        return false;
    // NFS, SMB, CIFS, SMB2, AFS, Coda, 9P, Ceph.
    for (unsigned long magic : {0x6969ul, 0x517Bul, 0xFF534D42ul, 0xFE534D42ul, 0x5346414Ful, 0x73757245ul,
                                0x01021997ul, 0x00C36400ul})
        if ((unsigned long)(unsigned int)s.f_type == magic)
            return true;
    return false;
}

}  // namespace kav

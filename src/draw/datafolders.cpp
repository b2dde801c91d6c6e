#include "draw/datafolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kav {

namespace {

QStringList chosenFolders;

}  // namespace

QStringList DataFolders()
{
    if (!chosenFolders.isEmpty())
        return chosenFolders;
    QStringList folders;
    auto add = [&folders](const QString& folder) {
        const QString clean = QDir::cleanPath(folder);
        if (!clean.isEmpty() && !folders.contains(clean))
            folders << clean;
    };
    if (QCoreApplication::instance()) {
        const QString dir = QCoreApplication::applicationDirPath();
        add(dir);
        add(dir + QStringLiteral("/../share/kavrin2"));
    }
#ifdef KAVRIN_DATA_DIR
    add(QStringLiteral(KAVRIN_DATA_DIR));
#endif
    return folders;
}

void SetDataFolders(const QStringList& folders)
{
    chosenFolders = folders;
}

QString FindDataFile(const QString& fileName)
{
    for (const QString& folder : DataFolders()) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

}  // namespace kav

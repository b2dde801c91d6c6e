#include "draw/datafolders.h"

#include <QCoreApplication>
#include <QDir>

namespace kav {

QStringList DataFolders()
{
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

}  // namespace kav

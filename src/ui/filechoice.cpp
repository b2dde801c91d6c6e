#include "ui/filechoice.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

namespace kav {

namespace {
SaveFileChooser chooser;
QString lastFolder;
}  // namespace

void SetSaveFileChooser(SaveFileChooser c)
{
    chooser = std::move(c);
}

QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggestedName, const QString& suffix,
                       const QString& filter)
{
    QString folder = lastFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString suggested = QDir(folder).filePath(suggestedName);
    QString path;
    if (chooser) {
        path = chooser(title, suggested);
    } else if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        return QString();  // nobody can answer a dialog without a display
    } else {
        QFileDialog dialog(parent, title, suggested, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().first();
    }
    if (path.isEmpty())
        return QString();
    if (!path.endsWith(QLatin1Char('.') + suffix, Qt::CaseInsensitive))
        path += QLatin1Char('.') + suffix;
    lastFolder = QFileInfo(path).absolutePath();
    return path;
}

}  // namespace kav

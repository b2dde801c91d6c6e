// Where a file is to be saved: the desktop's save dialog, or in tests an answer given
// beforehand, so a flow that saves a file never blocks.
#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace kav {

// The path the user chose, ending in ".suffix"; empty when the dialog was cancelled. The
// dialog opens in the folder last saved to, else in the documents folder, with the suggested
// file name.
QString ChooseSaveFile(QWidget* parent, const QString& title, const QString& suggestedName, const QString& suffix,
                       const QString& filter);

// Tests: the chooser gets the title and the suggested path and gives the answer.
using SaveFileChooser = std::function<QString(const QString& title, const QString& suggestedPath)>;
void SetSaveFileChooser(SaveFileChooser chooser);

}  // namespace kav

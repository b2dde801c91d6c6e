// Program start: the command line, the application's look, and the run of the windows.
#pragma once
#include <memory>

#include "app/commandline.h"
#include "draw/messages.h"

class QApplication;
class QCoreApplication;
class QMessageBox;

namespace kav {

// Creates the four windows in their order and fills the registry. False when a picture
// library is missing: its message has been shown and the program must stop with status 1.
bool CreateForms();
void DestroyForms();

// The application's own look: Fusion style, light grey button face, Arial (Liberation Sans).
// Only this program's palette changes, never the desktop's.
void SetUpApplication(QApplication& app);
// Qt's Dutch translations for its own dialogs and buttons (part of SetUpApplication).
void LoadQtTranslations(QCoreApplication& app);
// Shows message boxes for the program's messages.
void InstallMessageBoxes();
// The box a message is shown in: "Kavrin 2", an OK button, the text in the size of the
// session window's texts.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, MessageKind kind);

// The windows' run with the parsed command line.
int RunProgram(int argc, char** argv, const CommandLine& cl);
// The program: reads the command line, then help, version, the item dump or the windows.
int Main(int argc, char** argv);

}  // namespace kav

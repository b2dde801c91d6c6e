// Program start: the command line, the application's look, and the run of the windows.
#pragma once
#include <QSize>
#include <QStringList>
#include <optional>

class QApplication;

namespace kav {

struct CommandLine {
    QSize screen;                        // --screen WxH
    std::optional<std::uint32_t> seed;  // --seed N
    QString error;                       // set when the arguments are wrong
};

CommandLine ParseCommandLine(const QStringList& args);

// The application's own look: Fusion style, light grey button face, Arial (Liberation Sans).
// Only this program's palette changes, never the desktop's.
void SetUpApplication(QApplication& app);
// Shows message boxes for the program's messages.
void InstallMessageBoxes();

int RunProgram(int argc, char** argv);

}  // namespace kav

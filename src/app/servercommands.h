// The school server's commands for the administrator: --setup-server, --add-teacher,
// --remove-teacher, --reset-teacher and --remove-results-before, each without a window.
#pragma once
#include <QDate>
#include <QString>

class QCommandLineParser;

namespace kav {

struct ServerCommand {
    enum class Kind { Setup, AddTeacher, RemoveTeacher, ResetTeacher, RemoveBefore };
    Kind kind = Kind::Setup;
    QString connection;        // "host=… dbname=… user=…"
    QString teacher;           // the login of --add-teacher and the like
    QDate before;              // --remove-results-before
    bool newPassword = false;  // --new-password
};

// Whether one of these commands was asked for; then ParseServerCommand reads it (false with
// *error when the options don't go together).
bool IsServerCommand(const QCommandLineParser& parser);
bool ParseServerCommand(const QCommandLineParser& parser, ServerCommand* command, QString* error);

// Runs the command; the exit status (0 done, 1 failed).
int RunServerCommand(int argc, char** argv, const ServerCommand& command);

}  // namespace kav

// The program's command line: the window options, the item dump, the results export, help,
// version and the teacher code's reset.
#pragma once
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

#include "app/servercommands.h"
#include "results/worksheet.h"

namespace kav {

// What the item dump is asked to make (--items and the options that go with it).
struct ItemDumpOptions {
    QList<int> codes;
    int level = 1;
    int count = 1;
    std::uint32_t seed = 1;
    bool seedGiven = false;
    bool practice = false;
    bool wrong = false;  // every item answered wrong twice, the texts of every stage
    bool speech = false;  // each stage also as the words "Lees voor" says
    QString pngFolder;
};

// What the results export is asked to write (--export-results, --name and --per-session).
struct ExportOptions {
    QString file;  // ends in .csv or .pdf
    QString name;  // one pupil's results only; empty for everyone's
    bool perSession = false;  // the grade book: one line per session (a .csv file only)
    bool pdf() const { return file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive); }
};

// What the worksheet is asked to be (--worksheet and the options that go with it).
struct WorksheetOptions {
    QString file;  // ends in .pdf
    WorksheetRequest request;
    bool key = false;  // the answer key after the sheet
};

struct CommandLine {
    enum class Action { Run, ItemDump, Export, Worksheet, Help, Version, ResetTeacherCode, Server };
    Action action = Action::Run;
    QSize screen;                        // --screen WxH
    std::optional<std::uint32_t> seed;  // --seed N
    ItemDumpOptions dump;                // with --items
    ExportOptions exportResults;         // with --export-results
    WorksheetOptions worksheet;          // with --worksheet
    ServerCommand server;                // the school server's commands
    QString error;                       // set when the arguments are wrong (exit status 2)
};

// Reads the arguments (the program's name first).
CommandLine ParseCommandLine(const QStringList& args);
// The text of --help and of --version.
QString HelpText();
QString VersionText();
// A message of a windowless command as the one line it is printed on: "kavrin2: " and the
// text, its line breaks turned into spaces.
QString OneLine(const QString& text);

}  // namespace kav

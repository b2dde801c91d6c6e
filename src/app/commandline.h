// The program's command line: the window options, the item dump, help and version.
#pragma once
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

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
    QString pngFolder;
};

struct CommandLine {
    enum class Action { Run, ItemDump, Help, Version };
    Action action = Action::Run;
    QSize screen;                        // --screen WxH
    std::optional<std::uint32_t> seed;  // --seed N
    ItemDumpOptions dump;                // with --items
    QString error;                       // set when the arguments are wrong (exit status 2)
};

// Reads the arguments (the program's name first).
CommandLine ParseCommandLine(const QStringList& args);
// The text of --help and of --version.
QString HelpText();
QString VersionText();

}  // namespace kav

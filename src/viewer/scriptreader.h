// Lesson scripts: plain-text files of one command a line, nine comma-separated fields.
// The reader fills a queue with the lines of a file (up to the "[end]" line) and splits
// the first line of the queue into the fields F1 .. F9 and the pen colour.
#pragma once
#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

namespace kav {

// Colour names of the scripts, compared exactly; an unknown name gives white.
// "Blank" is the window background.
QColor ColourByName(const QString& name);

// The text with every "." replaced by the separator (scripts write decimals with a point).
QString PointToSeparator(const QString& text, QChar separator);

// A number as scripts write it after the point conversion: optional sign, digits and at most
// one separator, spaces around allowed. Values beyond +-100000 are refused: no position,
// size or duration in a lesson comes near that.
std::optional<double> ScriptDecimal(const QString& text, QChar separator);
// A whole number: optional sign and digits, spaces around allowed, 32-bit range.
std::optional<int> ScriptWhole(const QString& text);

// Where a script file is found: a bare name ("demo3.txt") in the program's data folders only,
// never in the working folder; a path with a folder in it (tests, tools) as it stands. Empty
// when the name is in none of the data folders.
QString ScriptPath(const QString& fileName);

// Script text for a message, between single quotes; more than 80 characters are cut off
// with "…".
QString QuoteScriptText(const QString& text);

// Single-byte Windows text to Unicode.
QString DecodeWindows1252(const QByteArray& bytes);

class ScriptReader {
public:
    // Fills the queue from the file (found by ScriptPath): every line up to and including the
    // first one that contains "[end]". Blank lines are left out. Only a regular file of at most
    // 1 MB whose lines up to "[end]" are at most 4 kB is read; otherwise, or when the file is
    // missing or cannot be opened, a message names the file and why, the queue is emptied and
    // the answer is false. A read error keeps the lines read before it (with its message).
    bool LeesFile(const QString& fileName);
    // Takes the first line of the queue and spreads it over the fields (F3, F4, F6 and F8 with
    // the user's DecimalSeparator for ".", F7 split into pen and fill colour). The queue must
    // not be empty.
    void LeesRegel();
    // Spreads a line over the fields as if it were taken from the queue.
    void SplitLine(const QString& line);

    bool atEnd() const { return queue_.isEmpty(); }
    const QStringList& queue() const { return queue_; }
    void setQueue(const QStringList& lines) { queue_ = lines; }
    // The name of the file read last, without its folder (for messages).
    QString fileName() const { return fileName_; }
    // The line taken last, as it stood in the file.
    QString currentLine() const { return current_; }

    // F[1] .. F[9]; F[0] is unused. They keep their values from line to line.
    QString F[10];
    QColor PenColour = QColor(255, 255, 255);

private:
    QStringList queue_;
    QString fileName_;
    QString current_;
};

}  // namespace kav

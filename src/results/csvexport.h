// Results as a CSV file for a spreadsheet: one line per item, or one per session (the grade
// book); UTF-8 with a byte-order mark, fields separated by ";" and lines ended by CR LF,
// numbers with a decimal comma.
#pragma once
#include <QString>
#include <QVector>

#include "results/result.h"

namespace kav {

// naam;datum;onderdeel;niveau;toetscode;nummer;thema;antwoord1;antwoord2;juist_antwoord;goed;punten;status;
// soort;sessie;cijfer;opgaven_gepland;opgaven_gemaakt
QString CsvHeader();
// The lines of the sessions' items, each ended by CR LF, without the header.
QString CsvLines(const SessionResult& session);
// naam;datum;onderdeel;soort;niveau;toetscode;opgaven_gepland;opgaven_gemaakt;punten;maximum;
// percentage;cijfer;status;duur
QString GradeBookHeader();
// The session's line of the grade book, ended by CR LF.
QString GradeBookLine(const SessionResult& session);
// A field as written: in double quotes (quotes doubled) when it holds a ";", a ",", a tab, a
// quote or a line break, so that it stays one field whichever of them a spreadsheet splits on.
// A text (a name, an answer that is no number) that begins with =, +, -, @, a tab or a CR
// has an apostrophe in front, so that no spreadsheet takes it for a formula.
QString CsvField(const QString& text);
// Reads such a file (or its text) back: the lines' fields, unquoted, without the apostrophe
// that kept a text from being a formula.
QList<QStringList> ReadCsv(const QString& text);
// Writes the header and every item of the sessions; the file appears only when it is
// complete. False, with a Dutch message in *error, when it can't be written. From a source,
// one session at a time is read: the file is written as it comes.
bool writeCsv(const QString& path, const QVector<SessionResult>& sessions, QString* error = nullptr);
bool writeCsvFrom(const QString& path, const SessionSource& next, QString* error = nullptr);
// The same with one line per session.
bool writeGradeBook(const QString& path, const QVector<SessionResult>& sessions, QString* error = nullptr);
bool writeGradeBookFrom(const QString& path, const SessionSource& next, QString* error = nullptr);

}  // namespace kav

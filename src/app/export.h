// The windowless commands that write files: the results export (the stored sessions as a CSV
// file for a spreadsheet or as a PDF report, everyone's or one pupil's) and the worksheet.
#pragma once
#include <QString>
#include <QVector>

#include "app/commandline.h"
#include "results/result.h"

namespace kav {

class ResultStore;

// The stored sessions of the store at path, whole, grouped by pupil (names in alphabetical
// order, each pupil's sessions oldest first); with a name, only that pupil's (the whole name,
// in any case). None when there is no store yet. False when the store can't be read; what the
// store had to say (why, or a damaged file it put aside) is in *notice.
bool StoredSessions(const QString& path, const QString& name, QVector<SessionResult>* sessions, QString* notice);
// The numbers of those sessions in that order, without reading them; false when the list
// can't be read.
bool StoredSessionIds(ResultStore& store, const QString& name, QVector<qint64>* ids);

// Runs the export; the exit status: 0, or 1 with a one-line message on the error output when
// the results can't be read or the file can't be written.
int RunExport(int argc, char** argv, const ExportOptions& options);

// Writes the worksheet (and its key when asked); the exit status: 0, or 1 with a one-line
// message when a picture library is missing or the file can't be written.
int RunWorksheet(int argc, char** argv, const WorksheetOptions& options);

}  // namespace kav

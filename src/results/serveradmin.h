// The school server's administration: its tables made or brought up to date, the hand-in and
// teacher roles, teachers' own logins, and old results removed. Each runs on a connection of
// the administrator (a role that may make roles) in one transaction.
#pragma once
#include <QDate>
#include <QString>

#include "results/schoolserver.h"

class QSqlDatabase;

namespace kav {

// The layout version of the server's tables this program makes.
constexpr int ServerSchemaVersion = 2;

// The two roles of a database: the hand-in login and the teachers' group.
QString HandInRole(const QString& database);
QString TeacherRole(const QString& database);

struct ServerSetup {
    bool ok = false;
    QString error;
    int fromVersion = 0;        // the version found (0: a new database)
    bool passwordMade = false;  // the hand-in role was made, or given a new password
    ServerSettings settings;    // what kavrin2.conf needs (the password only when made)
};

// Makes or upgrades the tables (up to upTo, for the tests of an upgrade), the roles and their
// rights. A hand-in role that is there keeps its password unless newPassword. A database
// with tables of something else is refused. settings.host/port/sslmode are taken as given.
ServerSetup SetUpServer(QSqlDatabase& db, ServerSettings conf, bool newPassword, int upTo = ServerSchemaVersion);

// A teacher's own login: made (a member of the teacher role), given a new password, or
// removed; false with *error when that can't be done.
bool AddTeacher(QSqlDatabase& db, const QString& name, const QString& password, QString* error);
bool ResetTeacher(QSqlDatabase& db, const QString& name, const QString& password, QString* error);
bool RemoveTeacher(QSqlDatabase& db, const QString& name, QString* error);
// A teacher's name as a login takes it: letters, digits, '_', '-' and '.', at most 63.
bool IsTeacherName(const QString& name);
// Passwords shorter than this are refused.
constexpr int MinimumPasswordLength = 8;

// Removes the sessions that began before this day (local time) with their items; how many,
// or -1 with *error.
int RemoveResultsBefore(QSqlDatabase& db, const QDate& day, QString* error);

}  // namespace kav

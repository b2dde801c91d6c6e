// The school server: a PostgreSQL database that the results of every computer of a school are
// handed in to. Where it is comes from kavrin2/kavrin2.conf, set for the whole machine by the
// school's administrator; without that file (or without a host in it) results stay in the
// local store only.
//
// The server keeps what the local store keeps of a session, and where it came from (the
// computer, the login name on it, the address it was handed in from). Pupils hand in through
// one shared login that can only add sessions, by a function of the database; teachers log
// in with their own login, a member of the teacher role, that reads, corrects names and
// removes. Both roles are named after the database, as role names are shared by the cluster.
#pragma once
#include <QMap>
#include <QString>

#include "results/result.h"

class QSqlDatabase;
class QSqlError;

namespace kav {

struct ServerSettings {
    QString host;
    int port = 5432;
    QString database;
    QString sslmode = QStringLiteral("prefer");
    QString user;      // the hand-in login ("leerling")
    QString password;  // its password ("wachtwoord")
    bool configured() const { return !host.isEmpty(); }
};

// The file read: $KAVRIN2_CONF when it is set, else kavrin2/kavrin2.conf in the first folder
// of $XDG_CONFIG_DIRS (/etc/xdg when it is not set) that has one; empty when there is none.
QString ServerConfPath();
// The [Schoolserver] group of that file; not configured() without a file or a host.
ServerSettings ReadServerSettings();
// The lines of kavrin2.conf for these settings, [Schoolserver] first; wachtwoord= only when
// withPassword.
QString ServerConfText(const ServerSettings& settings, bool withPassword);

// A connection string as PostgreSQL's programs take it ("host=… dbname=… user=…", a value
// with spaces in single quotes) taken apart; false with *error on one that can't be read.
bool ParseConnectionString(const QString& text, QMap<QString, QString>* fields, QString* error);

// Opens a connection of Qt's PostgreSQL driver under this name with short time-outs, so an
// unreachable server is told within seconds; false with the server's message in *error.
// The fields are a connection string's; host, port, dbname, user and password have their own
// places, the rest goes to the driver as it is.
bool OpenServer(const QString& name, const QMap<QString, QString>& fields, QString* error);
// The hand-in login's connection of these settings.
QMap<QString, QString> HandInFields(const ServerSettings& settings);

// Whether an error means the server is gone (can't be reached, shut down, the connection
// lost) rather than refusing what it was given.
bool ConnectionLost(const QSqlError& error);

enum class HandInOutcome { HandedIn, Refused, Lost };
// Hands one session in through the server's function, in one transaction: a session that
// is there already (by its id) is not added again and counts as handed in.
HandInOutcome HandInSession(QSqlDatabase& db, const SessionResult& session, const QString& computer,
                            const QString& login);
// This computer's name and the login name of who runs the program.
QString ComputerName();
QString LoginName();

}  // namespace kav

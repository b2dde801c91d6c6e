#include "app/servercommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>
#include <cstdio>
#include <optional>
#include <termios.h>
#include <unistd.h>

#include "app/commandline.h"
#include "results/schoolserver.h"
#include "results/serveradmin.h"

namespace kav {

namespace {

// The commands, each with the option that names it; --server goes with all but the first.
struct CommandOption {
    const char* name;
    ServerCommand::Kind kind;
};
constexpr CommandOption Commands[] = {
    {"setup-server", ServerCommand::Kind::Setup},
    {"add-teacher", ServerCommand::Kind::AddTeacher},
    {"reset-teacher", ServerCommand::Kind::ResetTeacher},
    {"remove-teacher", ServerCommand::Kind::RemoveTeacher},
    {"remove-results-before", ServerCommand::Kind::RemoveBefore},
};
const QStringList OwnOptions = {QStringLiteral("setup-server"),  QStringLiteral("add-teacher"),
                                QStringLiteral("reset-teacher"), QStringLiteral("remove-teacher"),
                                QStringLiteral("remove-results-before"), QStringLiteral("server"),
                                QStringLiteral("new-password")};

void say(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// One line typed on the terminal, not shown while typed.
QString askHidden(const QString& prompt)
{
    std::fprintf(stderr, "%s", prompt.toLocal8Bit().constData());
    std::fflush(stderr);
    termios before{};
    const bool terminal = tcgetattr(STDIN_FILENO, &before) == 0;
    if (terminal) {
        termios hidden = before;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    QTextStream in(stdin);
    const QString line = in.readLine();
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &before);
        std::fputc('\n', stderr);
    }
    return line;
}

// A teacher's new password: from KAVRIN2_WACHTWOORD, asked twice on the terminal, or the first
// line of the input when that is no terminal (for scripts and tests). None when the two typed
// differ.
std::optional<QString> teacherPassword(const QString& name)
{
    if (qEnvironmentVariableIsSet("KAVRIN2_WACHTWOORD"))
        return qEnvironmentVariable("KAVRIN2_WACHTWOORD");
    if (!isatty(STDIN_FILENO))
        return QTextStream(stdin).readLine();
    const QString first = askHidden(QStringLiteral("Nieuw wachtwoord voor %1: ").arg(name));
    if (askHidden(QStringLiteral("Nog een keer: ")) != first) {
        say(OneLine(QStringLiteral("de twee wachtwoorden verschillen; er is niets veranderd")));
        return std::nullopt;
    }
    return first;
}

QDate parseDate(const QString& text)
{
    for (const char* format : {"yyyy-MM-dd", "d-M-yyyy"}) {
        const QDate d = QDate::fromString(text.trimmed(), QLatin1String(format));
        if (d.isValid())
            return d;
    }
    return QDate();
}

// The administrator's connection: the password from the connection string, PGPASSWORD or
// ~/.pgpass as PostgreSQL's own programs take it, else asked on the terminal.
bool connectAdmin(const QString& name, QMap<QString, QString> fields)
{
    QString error;
    if (OpenServer(name, fields, &error))
        return true;
    QSqlDatabase::removeDatabase(name);
    const bool wantsPassword = error.contains(QStringLiteral("password"), Qt::CaseInsensitive) ||
                               error.contains(QStringLiteral("wachtwoord"), Qt::CaseInsensitive);
    if (wantsPassword && !fields.contains(QStringLiteral("password")) && isatty(STDIN_FILENO)) {
        const QString user = fields.value(QStringLiteral("user"), qEnvironmentVariable("PGUSER", LoginName()));
        fields.insert(QStringLiteral("password"), askHidden(QStringLiteral("Wachtwoord van %1: ").arg(user)));
        if (OpenServer(name, fields, &error))
            return true;
        QSqlDatabase::removeDatabase(name);
    }
    say(OneLine(QStringLiteral("geen verbinding met de schoolserver: ") + error));
    return false;
}

// What kavrin2.conf says of where the server is, from the administrator's connection.
ServerSettings confFor(const QMap<QString, QString>& fields)
{
    ServerSettings s;
    s.host = fields.value(QStringLiteral("host"), qEnvironmentVariable("PGHOST"));
    if (s.host.isEmpty() || s.host.startsWith(u'/')) {
        // Over the server's own socket: the pupils' computers reach it by its name.
        s.host = ComputerName();
        say(QStringLiteral("Let op: host=%1 is de naam van deze computer; kijk na of de computers van de "
                           "leerlingen de server zo bereiken.")
                .arg(s.host));
    }
    bool ok = false;
    const int port = fields.value(QStringLiteral("port"), qEnvironmentVariable("PGPORT")).toInt(&ok);
    s.port = ok ? port : 5432;
    s.sslmode = fields.value(QStringLiteral("sslmode"), QStringLiteral("prefer"));
    return s;
}

int runOn(QSqlDatabase& db, const ServerCommand& c, const QMap<QString, QString>& fields)
{
    QString error;
    switch (c.kind) {
    case ServerCommand::Kind::Setup: {
        const ServerSetup done = SetUpServer(db, confFor(fields), c.newPassword);
        if (!done.ok) {
            say(OneLine(QStringLiteral("de schoolserver is niet ingericht: ") + done.error));
            return 1;
        }
        say(done.fromVersion == 0 ? QStringLiteral("De schoolserver is ingericht.")
            : done.fromVersion < ServerSchemaVersion
                ? QStringLiteral("De schoolserver is bijgewerkt van versie %1 naar %2.").arg(done.fromVersion).arg(ServerSchemaVersion)
                : QStringLiteral("De schoolserver was al bijgewerkt; de rechten zijn opnieuw gezet."));
        say(QStringLiteral("Zet deze regels in /etc/xdg/kavrin2/kavrin2.conf op elke computer van de leerlingen:"));
        std::fputs(ServerConfText(done.settings, done.passwordMade).toUtf8().constData(), stdout);
        if (!done.passwordMade)
            say(QStringLiteral("De inleverrol %1 houdt zijn wachtwoord: de regel wachtwoord= staat al in kavrin2.conf "
                               "op de computers (een nieuw wachtwoord: --new-password).")
                    .arg(done.settings.user));
        return 0;
    }
    case ServerCommand::Kind::AddTeacher:
    case ServerCommand::Kind::ResetTeacher: {
        const bool add = c.kind == ServerCommand::Kind::AddTeacher;
        const std::optional<QString> password = teacherPassword(c.teacher);
        if (!password)
            return 1;
        if (!(add ? AddTeacher(db, c.teacher, *password, &error) : ResetTeacher(db, c.teacher, *password, &error))) {
            say(OneLine(error));
            return 1;
        }
        std::printf("%s\n", (add ? QStringLiteral("De docent %1 kan nu inloggen.") : QStringLiteral("De docent %1 heeft een nieuw wachtwoord."))
                                .arg(c.teacher).toUtf8().constData());
        return 0;
    }
    case ServerCommand::Kind::RemoveTeacher:
        if (!RemoveTeacher(db, c.teacher, &error)) {
            say(OneLine(error));
            return 1;
        }
        std::printf("%s\n", QStringLiteral("De login van %1 is verwijderd.").arg(c.teacher).toUtf8().constData());
        return 0;
    case ServerCommand::Kind::RemoveBefore: {
        const int removed = RemoveResultsBefore(db, c.before, &error);
        if (removed < 0) {
            say(OneLine(QStringLiteral("er is niets verwijderd: ") + error));
            return 1;
        }
        std::printf("%s\n", QStringLiteral("%1 %2 van vóór %3 verwijderd.")
                                .arg(removed)
                                .arg(removed == 1 ? QStringLiteral("sessie") : QStringLiteral("sessies"),
                                     c.before.toString(QStringLiteral("d-M-yyyy")))
                                .toUtf8().constData());
        return 0;
    }
    }
    return 1;
}

}  // namespace

bool IsServerCommand(const QCommandLineParser& parser)
{
    for (const QString& name : OwnOptions)
        if (parser.isSet(name))
            return true;
    return false;
}

bool ParseServerCommand(const QCommandLineParser& parser, ServerCommand* c, QString* error)
{
    auto value = [&parser](const QString& name) { return parser.values(name).last(); };
    QStringList asked;
    for (const CommandOption& o : Commands)
        if (parser.isSet(QLatin1String(o.name))) {
            asked << QStringLiteral("--") + QLatin1String(o.name);
            c->kind = o.kind;
        }
    for (const QString& name : parser.optionNames())
        if (!OwnOptions.contains(name)) {
            *error = QStringLiteral("--%1 gaat niet samen met %2").arg(name, asked.value(0, QStringLiteral("--server")));
            return false;
        }
    if (asked.size() != 1) {
        *error = asked.isEmpty() ? QStringLiteral("--server hoort bij --add-teacher, --reset-teacher, --remove-teacher of "
                                                  "--remove-results-before")
                                 : asked.join(QStringLiteral(" en ")) + QStringLiteral(" gaan niet samen");
        return false;
    }
    const bool setup = c->kind == ServerCommand::Kind::Setup;
    if (parser.isSet(QStringLiteral("new-password")) && !setup) {
        *error = QStringLiteral("--new-password hoort bij --setup-server");
        return false;
    }
    if (setup == parser.isSet(QStringLiteral("server"))) {
        *error = setup ? QStringLiteral("--setup-server noemt de server zelf; --server is niet nodig")
                       : asked.first() + QStringLiteral(" verwacht --server \"host=… dbname=… user=BEHEERDER\"");
        return false;
    }
    c->connection = value(setup ? QStringLiteral("setup-server") : QStringLiteral("server"));
    c->newPassword = parser.isSet(QStringLiteral("new-password"));
    switch (c->kind) {
    case ServerCommand::Kind::AddTeacher:
    case ServerCommand::Kind::ResetTeacher:
    case ServerCommand::Kind::RemoveTeacher:
        c->teacher = value(asked.first().mid(2)).trimmed();
        if (!IsTeacherName(c->teacher)) {
            *error = asked.first() + QStringLiteral(" verwacht een login van 1 tot 63 letters, cijfers, '_', '-' of '.'");
            return false;
        }
        break;
    case ServerCommand::Kind::RemoveBefore:
        c->before = parseDate(value(QStringLiteral("remove-results-before")));
        if (!c->before.isValid()) {
            *error = QStringLiteral("--remove-results-before verwacht een datum als 2025-08-01");
            return false;
        }
        break;
    case ServerCommand::Kind::Setup:
        break;
    }
    QMap<QString, QString> fields;
    return ParseConnectionString(c->connection, &fields, error);
}

int RunServerCommand(int argc, char** argv, const ServerCommand& c)
{
    QCoreApplication app(argc, argv);
    QMap<QString, QString> fields;
    QString error;
    ParseConnectionString(c.connection, &fields, &error);
    const QString name = QStringLiteral("kavrin2-beheer");
    int rc = 1;
    if (connectAdmin(name, fields)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        rc = runOn(db, c, fields);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return rc;
}

}  // namespace kav

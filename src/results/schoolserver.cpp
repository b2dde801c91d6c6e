#include "results/schoolserver.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <pwd.h>
#include <unistd.h>

#include "results/store.h"

namespace kav {

namespace {

const QString Group = QStringLiteral("Schoolserver");

QString utcText(const QDateTime& t)
{
    return t.isValid() ? t.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QString base64(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

// The session as the server's function takes it.
QByteArray SessionJson(const SessionResult& r, const QString& computer, const QString& login)
{
    QJsonArray items;
    for (const ItemResult& i : r.items)
        items.append(QJsonObject{{QStringLiteral("number"), i.number},
                                 {QStringLiteral("theme"), i.themeCode},
                                 {QStringLiteral("title"), i.themeTitle},
                                 {QStringLiteral("answer1"), i.firstAnswer},
                                 {QStringLiteral("answer2"), i.secondAnswer},
                                 {QStringLiteral("correct"), i.right},
                                 {QStringLiteral("right_answer"), i.rightAnswer},
                                 {QStringLiteral("points"), i.points},
                                 {QStringLiteral("attempts"), i.attempts},
                                 {QStringLiteral("texts"), TextsJson(i.texts)},
                                 {QStringLiteral("text_png"), base64(i.textPng)},
                                 {QStringLiteral("picture_png"), base64(i.picturePng)},
                                 {QStringLiteral("unfinished"), i.unfinished},
                                 {QStringLiteral("picture_as_asked"), i.pictureAsAsked},
                                 {QStringLiteral("kept"), base64(i.kept)}});
    const QJsonObject s{{QStringLiteral("uuid"), r.uuid},
                        {QStringLiteral("name"), r.name},
                        {QStringLiteral("code"), r.code},
                        {QStringLiteral("mode"), r.sessionMode},
                        {QStringLiteral("practice"), r.practice},
                        {QStringLiteral("level"), r.level},
                        {QStringLiteral("started"), utcText(r.started)},
                        {QStringLiteral("ended"), utcText(r.ended)},
                        {QStringLiteral("finished"), r.status == SessionStatus::Completed},
                        {QStringLiteral("score"), r.scoreText},
                        {QStringLiteral("points"), r.points},
                        {QStringLiteral("max_points"), r.maxPoints},
                        {QStringLiteral("planned"), r.plannedItems},
                        {QStringLiteral("status"), StatusName(r.status)},
                        {QStringLiteral("computer"), computer},
                        {QStringLiteral("login"), login},
                        {QStringLiteral("items"), items}};
    return QJsonDocument(s).toJson(QJsonDocument::Compact);
}

}  // namespace

QString ServerConfPath()
{
    const QString own = qEnvironmentVariable("KAVRIN2_CONF");
    if (!own.isEmpty())
        return QFileInfo(own).isFile() ? own : QString();
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString& dir : dirs.split(u':', Qt::SkipEmptyParts)) {
        if (QDir::isRelativePath(dir))
            continue;  // as the XDG rules say: only absolute folders count
        const QString path = dir + QStringLiteral("/kavrin2/kavrin2.conf");
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

ServerSettings ReadServerSettings()
{
    ServerSettings s;
    const QString path = ServerConfPath();
    if (path.isEmpty())
        return s;
    QSettings conf(path, QSettings::IniFormat);
    conf.beginGroup(Group);
    // A value with a comma is read as a list: it is the text as written all the same.
    auto value = [&conf](const char* key) {
        const QVariant v = conf.value(QLatin1String(key));
        return v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
    };
    s.host = value("host").trimmed();
    bool ok = false;
    const int port = value("port").toInt(&ok);
    if (ok && port > 0 && port < 65536)
        s.port = port;
    s.database = value("database").trimmed();
    const QString ssl = value("sslmode").trimmed();
    if (!ssl.isEmpty())
        s.sslmode = ssl;
    s.user = value("leerling").trimmed();
    s.password = value("wachtwoord");
    if (s.database.isEmpty() || s.user.isEmpty())
        s.host.clear();  // half a set-up hands nothing in
    return s;
}

QString ServerConfText(const ServerSettings& s, bool withPassword)
{
    QString text = QStringLiteral("[Schoolserver]\nhost=%1\nport=%2\ndatabase=%3\nsslmode=%4\nleerling=%5\n")
                       .arg(s.host)
                       .arg(s.port)
                       .arg(s.database, s.sslmode, s.user);
    if (withPassword)
        text += QStringLiteral("wachtwoord=") + s.password + u'\n';
    return text;
}

bool ParseConnectionString(const QString& text, QMap<QString, QString>* fields, QString* error)
{
    fields->clear();
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSpace = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    for (skipSpace(); i < n; skipSpace()) {
        const qsizetype keyStart = i;
        while (i < n && text[i] != u'=' && !text[i].isSpace())
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        skipSpace();
        if (key.isEmpty() || i >= n || text[i] != u'=') {
            *error = QStringLiteral("de verbinding \"%1\" is niet te lezen: verwacht sleutel=waarde, "
                                    "bijvoorbeeld \"host=server dbname=kavrin2 user=beheerder\"")
                         .arg(text);
            return false;
        }
        ++i;
        skipSpace();
        QString value;
        if (i < n && text[i] == u'\'') {
            bool closed = false;
            for (++i; i < n; ++i) {
                if (text[i] == u'\\' && i + 1 < n) {
                    value += text[++i];
                } else if (text[i] == u'\'') {
                    closed = true;
                    ++i;
                    break;
                } else {
                    value += text[i];
                }
            }
            if (!closed) {
                *error = QStringLiteral("in de verbinding ontbreekt een afsluitend aanhalingsteken");
                return false;
            }
        } else {
            while (i < n && !text[i].isSpace())
                value += text[i++];
        }
        fields->insert(key, value);
    }
    return true;
}

bool OpenServer(const QString& name, const QMap<QString, QString>& fields, QString* error)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *error = QStringLiteral("het onderdeel voor PostgreSQL (libqt6sql6-psql) ontbreekt");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    QStringList options;
    // Short waits: an unreachable server is known within seconds, a connection that drops is
    // noticed, and a statement never runs for ever.
    QMap<QString, QString> all{{QStringLiteral("connect_timeout"), QStringLiteral("3")},
                               {QStringLiteral("keepalives_idle"), QStringLiteral("10")},
                               {QStringLiteral("keepalives_interval"), QStringLiteral("3")},
                               {QStringLiteral("keepalives_count"), QStringLiteral("3")},
                               {QStringLiteral("tcp_user_timeout"), QStringLiteral("20000")},
                               {QStringLiteral("application_name"), QStringLiteral("kavrin2")}};
    all.insert(fields);
    for (auto f = all.cbegin(); f != all.cend(); ++f) {
        const QString& key = f.key();
        if (key == u"host")
            db.setHostName(f.value());
        else if (key == u"port")
            db.setPort(f.value().toInt());
        else if (key == u"dbname")
            db.setDatabaseName(f.value());
        else if (key == u"user")
            db.setUserName(f.value());
        else if (key == u"password")
            db.setPassword(f.value());
        else
            options << key + u'=' + QString(f.value()).replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"))
                                       .prepend(u'\'').append(u'\'');
    }
    db.setConnectOptions(options.join(u';'));
    if (db.open())
        return true;
    *error = db.lastError().databaseText().trimmed();
    if (error->isEmpty())
        *error = db.lastError().text().trimmed();
    return false;
}

QMap<QString, QString> HandInFields(const ServerSettings& s)
{
    return {{QStringLiteral("host"), s.host},
            {QStringLiteral("port"), QString::number(s.port)},
            {QStringLiteral("dbname"), s.database},
            {QStringLiteral("user"), s.user},
            {QStringLiteral("password"), s.password},
            {QStringLiteral("sslmode"), s.sslmode}};
}

bool ConnectionLost(const QSqlError& error)
{
    // SQLSTATE class 08: connection exception; 57: the server shut down or the statement was
    // cancelled; no code at all: the driver lost the connection itself.
    const QString code = error.nativeErrorCode();
    return code.isEmpty() || code.startsWith(QStringLiteral("08")) || code.startsWith(QStringLiteral("57"));
}

HandInOutcome HandInSession(QSqlDatabase& db, const SessionResult& session, const QString& computer,
                            const QString& login)
{
    QSqlQuery q(db);
    // One statement is one transaction: the session comes with all its items or not at all.
    q.prepare(QStringLiteral("SELECT hand_in_session(CAST(? AS jsonb))"));
    q.addBindValue(QString::fromUtf8(SessionJson(session, computer, login)));
    if (q.exec() && q.next())
        return HandInOutcome::HandedIn;
    return ConnectionLost(q.lastError()) ? HandInOutcome::Lost : HandInOutcome::Refused;
}

QString ComputerName()
{
    return QSysInfo::machineHostName();
}

QString LoginName()
{
    if (const passwd* pw = getpwuid(getuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

}  // namespace kav

#include "results/serveradmin.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <array>

namespace kav {

namespace {

// The tables, one step per version: step n brings a database of version n - 1 to version n.
const std::array<QStringList, ServerSchemaVersion> Steps = {
    // 1: sessions and their items, as the local store keeps them.
    QStringList{
        QStringLiteral("CREATE TABLE kavrin2_schema (version integer NOT NULL)"),
        QStringLiteral("INSERT INTO kavrin2_schema VALUES (0)"),
        QStringLiteral("CREATE TABLE sessions ("
                       " id bigserial PRIMARY KEY,"
                       " uuid text NOT NULL UNIQUE CHECK (uuid <> ''),"
                       " name text NOT NULL,"
                       " code text NOT NULL DEFAULT '',"
                       " mode integer NOT NULL,"
                       " practice boolean NOT NULL,"
                       " level integer NOT NULL,"
                       " started timestamptz,"
                       " ended timestamptz,"
                       " finished boolean NOT NULL,"
                       " score text NOT NULL,"
                       " points integer NOT NULL,"
                       " max_points integer NOT NULL,"
                       " planned integer NOT NULL,"
                       " status text NOT NULL,"
                       " item_count integer NOT NULL)"),
        QStringLiteral("CREATE TABLE items ("
                       " session_id bigint NOT NULL REFERENCES sessions (id) ON DELETE CASCADE,"
                       " number integer NOT NULL,"
                       " theme integer NOT NULL,"
                       " title text NOT NULL,"
                       " answer1 text NOT NULL,"
                       " answer2 text NOT NULL,"
                       " correct boolean NOT NULL,"
                       " right_answer text NOT NULL,"
                       " points integer NOT NULL,"
                       " attempts integer NOT NULL,"
                       " texts text NOT NULL DEFAULT '[]',"
                       " text_png bytea,"
                       " picture_png bytea,"
                       " unfinished boolean NOT NULL,"
                       " picture_as_asked boolean NOT NULL,"
                       " kept bytea,"
                       " PRIMARY KEY (session_id, number))"),
    },
    // 2: where a session came from (the computer, the login on it, the address, when), and
    // indexes for the teacher's list on name, code and date.
    QStringList{
        QStringLiteral("ALTER TABLE sessions ADD COLUMN computer text NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE sessions ADD COLUMN login text NOT NULL DEFAULT ''"),
        QStringLiteral("ALTER TABLE sessions ADD COLUMN address inet"),
        QStringLiteral("ALTER TABLE sessions ALTER COLUMN address SET DEFAULT inet_client_addr()"),
        QStringLiteral("ALTER TABLE sessions ADD COLUMN handed_in timestamptz"),
        QStringLiteral("ALTER TABLE sessions ALTER COLUMN handed_in SET DEFAULT now()"),
        QStringLiteral("CREATE INDEX sessions_by_name ON sessions (lower(name))"),
        QStringLiteral("CREATE INDEX sessions_by_code ON sessions (code)"),
        QStringLiteral("CREATE INDEX sessions_by_start ON sessions (started)"),
    },
};

// The hand-in: the one thing the hand-in role may do. It runs with the rights of its owner,
// adds a session with its items, or nothing when a session with that id is there already.
const QString HandInFunction = QStringLiteral(R"(
CREATE OR REPLACE FUNCTION public.hand_in_session(s jsonb) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $body$
DECLARE
  new_id bigint;
BEGIN
  INSERT INTO public.sessions (uuid, name, code, mode, practice, level, started, ended, finished, score, points,
                               max_points, planned, status, item_count, computer, login)
  VALUES (s->>'uuid', coalesce(s->>'name', ''), coalesce(s->>'code', ''), (s->>'mode')::integer,
          (s->>'practice')::boolean, (s->>'level')::integer, nullif(s->>'started', '')::timestamptz,
          nullif(s->>'ended', '')::timestamptz, (s->>'finished')::boolean, coalesce(s->>'score', ''),
          (s->>'points')::integer, (s->>'max_points')::integer, (s->>'planned')::integer,
          coalesce(s->>'status', ''), jsonb_array_length(s->'items'), left(coalesce(s->>'computer', ''), 255),
          left(coalesce(s->>'login', ''), 255))
  ON CONFLICT (uuid) DO NOTHING
  RETURNING id INTO new_id;
  IF new_id IS NULL THEN
    RETURN false;
  END IF;
  INSERT INTO public.items (session_id, number, theme, title, answer1, answer2, correct, right_answer, points,
                            attempts, texts, text_png, picture_png, unfinished, picture_as_asked, kept)
  SELECT new_id, (i->>'number')::integer, (i->>'theme')::integer, coalesce(i->>'title', ''),
         coalesce(i->>'answer1', ''), coalesce(i->>'answer2', ''), (i->>'correct')::boolean,
         coalesce(i->>'right_answer', ''), (i->>'points')::integer, (i->>'attempts')::integer,
         coalesce(i->>'texts', '[]'), decode(nullif(i->>'text_png', ''), 'base64'),
         decode(nullif(i->>'picture_png', ''), 'base64'), (i->>'unfinished')::boolean,
         (i->>'picture_as_asked')::boolean, decode(nullif(i->>'kept', ''), 'base64')
  FROM jsonb_array_elements(s->'items') AS i;
  RETURN true;
END
$body$)");

const QStringList OwnTables = {QStringLiteral("public.kavrin2_schema"), QStringLiteral("public.sessions"),
                               QStringLiteral("public.items")};

QString identifier(const QString& name)
{
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A text as a literal that means the same whatever standard_conforming_strings says.
QString literal(const QString& text)
{
    return QStringLiteral("E'") +
           QString(text).replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString newPassword()
{
    // No letters that look alike: the password may be typed over from paper.
    static const QString alphabet = QStringLiteral("abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789");
    QString pw;
    for (int k = 0; k < 24; ++k)
        pw += alphabet[int(QRandomGenerator::system()->bounded(quint32(alphabet.size())))];
    return pw;
}

// Runs statements in one transaction; false with the server's message in *error.
class Transaction {
public:
    Transaction(QSqlDatabase& db, QString* error) : db_(db), error_(error) { ok_ = run(QStringLiteral("BEGIN")); }
    ~Transaction()
    {
        if (open_)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    }
    bool run(const QString& sql)
    {
        if (!ok_ && open_)
            return false;
        QSqlQuery q(db_);
        ok_ = q.exec(sql);
        open_ = open_ || (ok_ && sql == u"BEGIN");
        if (!ok_)
            *error_ = q.lastError().databaseText().trimmed();
        return ok_;
    }
    // The first column of the first row of a statement bound to the values; nothing when
    // there is no row (or it failed: ok() tells).
    QVariant value(const QString& sql, const QVariantList& values = {})
    {
        if (!ok_)
            return QVariant();
        QSqlQuery q(db_);
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        ok_ = q.exec();
        if (!ok_) {
            *error_ = q.lastError().databaseText().trimmed();
            return QVariant();
        }
        return q.next() ? q.value(0) : QVariant();
    }
    bool commit()
    {
        if (!ok_ || !run(QStringLiteral("COMMIT")))
            return false;
        open_ = false;
        return true;
    }
    bool ok() const { return ok_; }

private:
    QSqlDatabase& db_;
    QString* error_;
    bool ok_ = false, open_ = false;
};

bool roleExists(Transaction& t, const QString& role)
{
    return t.value(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"), {role}).isValid();
}

// The name is a teacher's login of this database's teacher role; *error says why not.
bool isTeacher(Transaction& t, const QString& name, QString* error)
{
    const QString database = t.value(QStringLiteral("SELECT current_database()")).toString();
    if (!t.ok())
        return false;
    if (!IsTeacherName(name) || !roleExists(t, name)) {
        *error = QStringLiteral("er is geen login %1").arg(name);
        return false;
    }
    const QVariant member = t.value(QStringLiteral("SELECT 1 FROM pg_auth_members m"
                                                   " JOIN pg_roles r ON r.oid = m.member"
                                                   " JOIN pg_roles g ON g.oid = m.roleid"
                                                   " WHERE r.rolname = ? AND g.rolname = ?"),
                                    {name, TeacherRole(database)});
    if (t.ok() && !member.isValid())
        *error = QStringLiteral("%1 is geen docent van de database %2").arg(name, database);
    return t.ok() && member.isValid();
}

bool checkPassword(const QString& password, QString* error)
{
    if (password.size() < MinimumPasswordLength) {
        *error = QStringLiteral("het wachtwoord moet minstens %1 tekens hebben").arg(MinimumPasswordLength);
        return false;
    }
    if (password.contains(QChar(0))) {
        *error = QStringLiteral("het wachtwoord bevat een teken dat niet kan");
        return false;
    }
    return true;
}

}  // namespace

QString HandInRole(const QString& database)
{
    return database + QStringLiteral("_leerling");
}

QString TeacherRole(const QString& database)
{
    return database + QStringLiteral("_docent");
}

bool IsTeacherName(const QString& name)
{
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9_.-]{1,63}$"));
    return valid.match(name).hasMatch() && !name.startsWith(QStringLiteral("pg_"));
}

ServerSetup SetUpServer(QSqlDatabase& db, ServerSettings conf, bool makePassword, int upTo)
{
    ServerSetup out;
    Transaction t(db, &out.error);
    // Two set-ups at once take turns.
    t.value(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext('kavrin2-setup'))"));
    const QString database = t.value(QStringLiteral("SELECT current_database()")).toString();
    if (!t.ok())
        return out;
    const QString pupils = HandInRole(database), teachers = TeacherRole(database);
    if (pupils.toUtf8().size() > 63) {
        out.error = QStringLiteral("de naam van de database is te lang voor de namen van de rollen (%1)").arg(pupils);
        return out;
    }
    // Only a database that is empty or holds what an earlier set-up made.
    QSqlQuery tables(db);
    if (!tables.exec(QStringLiteral("SELECT n.nspname || '.' || c.relname FROM pg_class c"
                                    " JOIN pg_namespace n ON n.oid = c.relnamespace"
                                    " WHERE c.relkind IN ('r', 'p', 'v', 'm', 'f')"
                                    " AND n.nspname <> 'information_schema' AND n.nspname NOT LIKE 'pg\\_%'"
                                    " ORDER BY 1"))) {
        out.error = tables.lastError().databaseText().trimmed();
        return out;
    }
    QStringList found, foreign;
    while (tables.next()) {
        const QString name = tables.value(0).toString();
        (OwnTables.contains(name) ? found : foreign) << name;
    }
    if (!foreign.isEmpty() || (!found.isEmpty() && !found.contains(OwnTables.first()))) {
        out.error = QStringLiteral("de database %1 bevat tabellen die Kavrin 2 niet heeft gemaakt (%2); "
                                   "kies een nieuwe, lege database")
                        .arg(database, (foreign.isEmpty() ? found : foreign).join(QStringLiteral(", ")));
        return out;
    }
    if (!found.isEmpty())
        out.fromVersion = t.value(QStringLiteral("SELECT max(version) FROM kavrin2_schema")).toInt();
    if (out.fromVersion > ServerSchemaVersion) {
        out.error = QStringLiteral("de database %1 is gemaakt door een nieuwere versie van Kavrin 2").arg(database);
        return out;
    }
    for (int v = out.fromVersion; t.ok() && v < upTo; ++v)
        for (const QString& sql : Steps[size_t(v)])
            t.run(sql);
    t.run(QStringLiteral("UPDATE kavrin2_schema SET version = %1").arg(qMax(out.fromVersion, upTo)));
    if (upTo < ServerSchemaVersion)
        return t.commit() ? (out.ok = true, out) : out;  // the tables of an older version only

    // The roles: a hand-in role that is there keeps its password (every computer has it).
    if (roleExists(t, pupils)) {
        const QVariant mighty = t.value(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"
                                                       " AND (rolsuper OR rolcreaterole OR rolcreatedb OR rolbypassrls)"),
                                        {pupils});
        if (mighty.isValid()) {
            out.error = QStringLiteral("de rol %1 bestaat al en mag meer dan inleveren; kies een andere database")
                            .arg(pupils);
            return out;
        }
        if (makePassword) {
            conf.password = newPassword();
            t.run(QStringLiteral("ALTER ROLE %1 PASSWORD %2").arg(identifier(pupils), literal(conf.password)));
            out.passwordMade = true;
        }
    } else {
        conf.password = newPassword();
        t.run(QStringLiteral("CREATE ROLE %1 LOGIN NOINHERIT PASSWORD %2").arg(identifier(pupils), literal(conf.password)));
        out.passwordMade = true;
    }
    if (!roleExists(t, teachers))
        t.run(QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(identifier(teachers)));
    // The rights, set anew at every run: the hand-in role only calls the hand-in; teachers read
    // everything, correct names and remove. Nobody else connects.
    t.run(HandInFunction);
    const QString p = identifier(pupils), d = identifier(teachers);
    for (const QString& sql :
         {QStringLiteral("REVOKE ALL ON DATABASE %1 FROM PUBLIC").arg(identifier(database)),
          QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2, %3").arg(identifier(database), p, d),
          QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC"),
          QStringLiteral("REVOKE ALL ON kavrin2_schema, sessions, items FROM PUBLIC, %1, %2").arg(p, d),
          QStringLiteral("REVOKE ALL ON SEQUENCE sessions_id_seq FROM PUBLIC, %1, %2").arg(p, d),
          QStringLiteral("GRANT SELECT ON kavrin2_schema, sessions, items TO %1").arg(d),
          QStringLiteral("GRANT UPDATE (name) ON sessions TO %1").arg(d),
          QStringLiteral("GRANT DELETE ON sessions, items TO %1").arg(d),
          QStringLiteral("REVOKE ALL ON FUNCTION hand_in_session(jsonb) FROM PUBLIC"),
          QStringLiteral("GRANT EXECUTE ON FUNCTION hand_in_session(jsonb) TO %1").arg(p)})
        t.run(sql);
    if (!t.commit())
        return out;
    conf.database = database;
    conf.user = pupils;
    out.settings = conf;
    out.ok = true;
    return out;
}

bool AddTeacher(QSqlDatabase& db, const QString& name, const QString& password, QString* error)
{
    if (!IsTeacherName(name)) {
        *error = QStringLiteral("een login heeft 1 tot 63 letters, cijfers, '_', '-' of '.' (niet beginnend met pg_)");
        return false;
    }
    if (!checkPassword(password, error))
        return false;
    Transaction t(db, error);
    const QString database = t.value(QStringLiteral("SELECT current_database()")).toString();
    if (!t.ok())
        return false;
    if (!roleExists(t, TeacherRole(database))) {
        *error = QStringLiteral("de database %1 is nog niet ingericht: eerst --setup-server").arg(database);
        return false;
    }
    if (roleExists(t, name)) {
        *error = QStringLiteral("de login %1 bestaat al").arg(name);
        return false;
    }
    t.run(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD %2 IN ROLE %3")
              .arg(identifier(name), literal(password), identifier(TeacherRole(database))));
    return t.commit();
}

bool ResetTeacher(QSqlDatabase& db, const QString& name, const QString& password, QString* error)
{
    if (!checkPassword(password, error))
        return false;
    Transaction t(db, error);
    if (!isTeacher(t, name, error))
        return false;
    t.run(QStringLiteral("ALTER ROLE %1 PASSWORD %2").arg(identifier(name), literal(password)));
    return t.commit();
}

bool RemoveTeacher(QSqlDatabase& db, const QString& name, QString* error)
{
    Transaction t(db, error);
    if (!isTeacher(t, name, error))
        return false;
    t.run(QStringLiteral("DROP ROLE %1").arg(identifier(name)));
    return t.commit();
}

int RemoveResultsBefore(QSqlDatabase& db, const QDate& day, QString* error)
{
    const QDateTime from(day, QTime(0, 0));
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM sessions WHERE coalesce(started, handed_in) < CAST(? AS timestamptz)"));
    q.addBindValue(from.toOffsetFromUtc(from.offsetFromUtc()).toString(Qt::ISODate));
    if (!q.exec()) {
        *error = q.lastError().databaseText().trimmed();
        return -1;
    }
    return q.numRowsAffected();
}

}  // namespace kav

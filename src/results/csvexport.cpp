#include "results/csvexport.h"

#include <QSaveFile>
#include <algorithm>
#include <initializer_list>

#include "session/testcode.h"

namespace kav {

namespace {

// The characters with which a spreadsheet begins a formula.
bool formulaStart(QChar c)
{
    return QStringLiteral("=+-@\t\r").contains(c);
}

// A spreadsheet takes a field that begins with =, +, - or @ for a formula, whichever separator
// it split the line on; such a text gets an apostrophe in front (and so does one that already
// begins with apostrophes before such a character, so that reading it back is exact).
QString plainText(const QString& text)
{
    qsizetype k = 0;
    while (k < text.size() && text[k] == u'\'')
        ++k;
    return k < text.size() && formulaStart(text[k]) ? u'\'' + text : text;
}

// A whole number or one with a decimal comma, with or without its sign: "-12", "3,5".
bool isNumber(const QString& text)
{
    qsizetype k = !text.isEmpty() && (text[0] == u'+' || text[0] == u'-') ? 1 : 0;
    const qsizetype start = k;
    while (k < text.size() && text[k] >= u'0' && text[k] <= u'9')
        ++k;
    if (k == start)
        return false;
    if (k < text.size() && text[k] == u',') {
        const qsizetype fraction = ++k;
        while (k < text.size() && text[k] >= u'0' && text[k] <= u'9')
            ++k;
        if (k == fraction)
            return false;
    }
    return k == text.size();
}

// An answer as typed, with a decimal comma; a number keeps its sign, any other text is guarded.
QString answerText(const QString& answer)
{
    QString a = answer;
    a.replace(u'.', u',');
    return isNumber(a) ? a : plainText(a);
}

// The fields as written, separated by ";".
void appendFields(QString& out, std::initializer_list<QString> fields)
{
    bool first = true;
    for (const QString& f : fields) {
        if (!first)
            out += u';';
        first = false;
        out += CsvField(f);
    }
}

QString line(std::initializer_list<QString> fields)
{
    QString out;
    appendFields(out, fields);
    return out += QLatin1String("\r\n");
}

QString dateText(const SessionResult& s)
{
    return s.started.isValid() ? s.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString kindText(const SessionResult& s)
{
    return s.practice ? QStringLiteral("oefenen") : QStringLiteral("toets");
}

// The plan as a number; empty without one (Onbeperkt, practice) or when it is unknown.
QString plannedText(const SessionResult& s)
{
    return s.plannedItems > 0 ? QString::number(s.plannedItems) : QString();
}

QString codeText(const SessionResult& s)
{
    return s.code.isEmpty() ? QString() : GroupTestCode(NormaliseTestCode(s.code));
}

// Writes the header and then each session's lines as it comes, so that no more than one
// session is in memory; the file appears only when it is complete.
bool writeStreamed(const QString& path, const QString& header, QString (*lines)(const SessionResult&),
                   const SessionSource& next, QString* error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    auto put = [&](const QString& text) {
        const QByteArray bytes = text.toUtf8();
        ok = ok && file.write(bytes) == bytes.size();
    };
    put(QStringLiteral("\uFEFF") + header + QStringLiteral("\r\n"));
    SessionResult s;
    while (ok && next(s))
        put(lines(s));
    ok = ok && file.commit();
    if (!ok && error)
        *error = FileWriteError(path);
    return ok;
}

}  // namespace

QString CsvHeader()
{
    return QStringLiteral("naam;datum;onderdeel;niveau;toetscode;nummer;thema;antwoord1;antwoord2;juist_antwoord;goed;"
                          "punten;status;soort;sessie;cijfer;opgaven_gepland;opgaven_gemaakt");
}

QString GradeBookHeader()
{
    return QStringLiteral("naam;datum;onderdeel;soort;niveau;toetscode;opgaven_gepland;opgaven_gemaakt;punten;maximum;"
                          "percentage;cijfer;status;duur");
}

QString CsvField(const QString& text)
{
    // Quoted when any separator a spreadsheet may split on is in it, so it stays one field.
    const bool special = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u';' || c == u',' || c == u'\t' || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!special)
        return text;
    QString t = text;
    t.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

QString CsvLines(const SessionResult& s)
{
    // What every line of the session shares, written once.
    QString head, tail;
    appendFields(head, {plainText(s.name), dateText(s), TopicName(s.sessionMode), LevelName(s.level), codeText(s)});
    appendFields(tail, {StatusName(s.status), kindText(s), s.uuid, s.gradeText(), plannedText(s),
                        QString::number(s.items.size())});
    QString out;
    out.reserve(s.items.size() * (head.size() + tail.size() + 64));
    for (const ItemResult& i : s.items) {
        const QString right = i.unfinished ? QStringLiteral("niet af") : i.right ? QStringLiteral("ja") : QStringLiteral("nee");
        out += head;
        out += u';';
        appendFields(out, {QString::number(i.number), QString::number(i.themeCode), answerText(i.firstAnswer),
                           answerText(i.secondAnswer), answerText(i.rightAnswer), right, QString::number(i.points)});
        out += u';';
        out += tail;
        out += QLatin1String("\r\n");
    }
    return out;
}

QString GradeBookLine(const SessionResult& s)
{
    const qint64 minutes = (s.durationSeconds() + 30) / 60;  // to the nearest whole minute
    return line({plainText(s.name), dateText(s), TopicName(s.sessionMode), kindText(s), LevelName(s.level), codeText(s),
                 plannedText(s), QString::number(s.items.size()), QString::number(s.points),
                 QString::number(s.maxPoints), QString::number(s.percentage()), s.gradeText(), StatusName(s.status),
                 QString::number(minutes)});
}

QList<QStringList> ReadCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false;
    auto endField = [&] {
        // The apostrophe that kept a text from being a formula goes again.
        qsizetype k = 0;
        while (k < field.size() && field[k] == u'\'')
            ++k;
        if (k > 0 && k < field.size() && formulaStart(field[k]))
            field.remove(0, 1);
        row << field;
        field.clear();
        wasQuoted = false;
    };
    const qsizetype start = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = wasQuoted = true;
        } else if (c == u';') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endField();
            rows << row;
            row.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty() || wasQuoted) {
        endField();
        rows << row;
    }
    return rows;
}

bool writeCsvFrom(const QString& path, const SessionSource& next, QString* error)
{
    return writeStreamed(path, CsvHeader(), &CsvLines, next, error);
}

bool writeGradeBookFrom(const QString& path, const SessionSource& next, QString* error)
{
    return writeStreamed(path, GradeBookHeader(), &GradeBookLine, next, error);
}

bool writeCsv(const QString& path, const QVector<SessionResult>& sessions, QString* error)
{
    return writeCsvFrom(path, SourceOf(sessions), error);
}

bool writeGradeBook(const QString& path, const QVector<SessionResult>& sessions, QString* error)
{
    return writeGradeBookFrom(path, SourceOf(sessions), error);
}

}  // namespace kav

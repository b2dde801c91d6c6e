#include "results/csvexport.h"

#include <QSaveFile>

#include "session/testcode.h"

namespace kav {

namespace {

// Answers are kept as typed, with the user's separator; the file has a decimal comma.
QString decimalComma(const QString& answer)
{
    QString a = answer;
    return a.replace(u'.', u',');
}

// A spreadsheet takes a field that begins with =, +, - or @ for a formula; a name is text,
// so such a name gets an apostrophe in front (numbers keep their sign).
QString plainText(const QString& text)
{
    if (!text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text[0]))
        return u'\'' + text;
    return text;
}

QString line(const QStringList& fields)
{
    QString out;
    for (int k = 0; k < fields.size(); ++k)
        out += (k ? QStringLiteral(";") : QString()) + CsvField(fields[k]);
    return out + QStringLiteral("\r\n");
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

bool writeFile(const QString& path, const QString& text, QString* error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        const QByteArray bytes = (QStringLiteral("\uFEFF") + text).toUtf8();
        ok = file.write(bytes) == bytes.size() && file.commit();
    }
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
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString t = text;
    t.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + t + u'"';
}

QString CsvLines(const SessionResult& s)
{
    const QStringList head = {plainText(s.name), dateText(s), TopicName(s.sessionMode), LevelName(s.level), codeText(s)};
    const QStringList tail = {StatusName(s.status), kindText(s), s.uuid, s.gradeText(), plannedText(s),
                              QString::number(s.items.size())};
    QString out;
    for (const ItemResult& i : s.items) {
        const QString right = i.unfinished ? QStringLiteral("niet af") : i.right ? QStringLiteral("ja") : QStringLiteral("nee");
        out += line(head + QStringList{QString::number(i.number), QString::number(i.themeCode),
                                       decimalComma(i.firstAnswer), decimalComma(i.secondAnswer),
                                       decimalComma(i.rightAnswer), right, QString::number(i.points)} +
                    tail);
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

bool writeCsv(const QString& path, const QVector<SessionResult>& sessions, QString* error)
{
    QString text = CsvHeader() + QStringLiteral("\r\n");
    for (const SessionResult& s : sessions)
        text += CsvLines(s);
    return writeFile(path, text, error);
}

bool writeGradeBook(const QString& path, const QVector<SessionResult>& sessions, QString* error)
{
    QString text = GradeBookHeader() + QStringLiteral("\r\n");
    for (const SessionResult& s : sessions)
        text += GradeBookLine(s);
    return writeFile(path, text, error);
}

}  // namespace kav

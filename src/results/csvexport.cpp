#include "results/csvexport.h"

#include <QSaveFile>

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

}  // namespace

QString CsvHeader()
{
    return QStringLiteral(
        "naam;datum;onderdeel;niveau;toetscode;nummer;thema;antwoord1;antwoord2;juist_antwoord;goed;punten;status");
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
    const QString date = s.started.isValid() ? s.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
    const QString head = CsvField(plainText(s.name)) + u';' + CsvField(date) + u';' +
                         CsvField(TopicName(s.sessionMode)) + u';' + CsvField(LevelName(s.level)) + u';' +
                         CsvField(s.code) + u';';
    const QString status = StatusName(s.finished);
    QString out;
    for (const ItemResult& i : s.items) {
        const QStringList fields = {QString::number(i.number),
                                    QString::number(i.themeCode),
                                    decimalComma(i.firstAnswer),
                                    decimalComma(i.secondAnswer),
                                    decimalComma(i.rightAnswer),
                                    i.right ? QStringLiteral("ja") : QStringLiteral("nee"),
                                    QString::number(i.points),
                                    status};
        out += head;
        for (int k = 0; k < fields.size(); ++k)
            out += (k ? QStringLiteral(";") : QString()) + CsvField(fields[k]);
        out += QStringLiteral("\r\n");
    }
    return out;
}

bool writeCsv(const QString& path, const QVector<SessionResult>& sessions, QString* error)
{
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        QString text = QStringLiteral("\uFEFF") + CsvHeader() + QStringLiteral("\r\n");
        for (const SessionResult& s : sessions)
            text += CsvLines(s);
        const QByteArray bytes = text.toUtf8();
        ok = file.write(bytes) == bytes.size() && file.commit();
    }
    if (!ok && error)
        *error = FileWriteError(path);
    return ok;
}

}  // namespace kav

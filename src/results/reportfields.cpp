// The texts that the report and the results window both show of a session and its items.
#include <QDateTime>
#include <QLocale>
#include <QPainter>

#include "results/report.h"

#include "draw/measures.h"
#include "draw/numbers.h"
#include "session/testcode.h"

namespace kav {

QString DateTimeText(const QDateTime& t)
{
    if (!t.isValid())
        return QStringLiteral("onbekend");
    const QLocale dutch(QLocale::Dutch, QLocale::Netherlands);
    return dutch.toString(t.date(), QStringLiteral("d MMMM yyyy")) + QStringLiteral(", ") +
           t.time().toString(QStringLiteral("HH:mm"));
}

QString DurationText(qint64 seconds)
{
    seconds = qMax<qint64>(0, seconds);
    const qint64 h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h > 0)
        return QStringLiteral("%1 uur %2 min %3 s").arg(h).arg(m).arg(s);
    if (m > 0)
        return QStringLiteral("%1 min %2 s").arg(m).arg(s);
    return QStringLiteral("%1 s").arg(s);
}

QString TopicAndKindText(const SessionResult& s)
{
    const QString topic = TopicName(s.sessionMode);
    const QString kind = s.practice ? QStringLiteral("oefenen") : QStringLiteral("test");
    return topic.isEmpty() ? kind : topic + QStringLiteral(", ") + kind;
}

QString ThemeText(const ItemResult& item)
{
    return QString::number(item.themeCode) + QStringLiteral("  ") + item.themeTitle;
}

QString RightWrongText(const ItemResult& item)
{
    if (item.unfinished)
        return QStringLiteral("niet af");
    return item.right ? QStringLiteral("goed") : QStringLiteral("fout");
}

QColor RightWrongColour(const ItemResult& item)
{
    if (item.unfinished)
        return QColor(96, 96, 96);
    return item.right ? QColor(0, 128, 0) : QColor(192, 0, 0);
}

bool PictureShown(const ItemResult& item, bool rightAnswers)
{
    return rightAnswers || item.pictureAsAsked;
}

QVector<SummaryField> SummaryFields(const SessionResult& s)
{
    const auto number = [](int n) { return QString::number(n); };
    QVector<SummaryField> f;
    f.append({QStringLiteral("naam"), QStringLiteral("Naam"), s.name.trimmed().isEmpty() ? QStringLiteral("(geen naam)") : s.name});
    f.append({QStringLiteral("datum"), QStringLiteral("Datum"), DateTimeText(s.started)});
    f.append({QStringLiteral("onderdeel"), QStringLiteral("Onderdeel"), TopicAndKindText(s)});
    f.append({QStringLiteral("niveau"), QStringLiteral("Niveau"), LevelName(s.level)});
    if (!s.code.isEmpty())
        f.append({QStringLiteral("toetscode"), QStringLiteral("Toetscode"), GroupTestCode(s.code)});
    f.append({QStringLiteral("score"), QStringLiteral("Score"), s.scoreText});
    f.append({QStringLiteral("punten"), QStringLiteral("Punten"),
              QStringLiteral("%1 van de %2 (%3%)").arg(s.points).arg(s.maxPoints).arg(s.percentage())});
    f.append({QStringLiteral("cijfer"), QStringLiteral("Cijfer"), GradeWithNote(s)});
    f.append({QStringLiteral("eerste"), QStringLiteral("Goed bij de eerste poging"), number(s.rightAtFirst())});
    f.append({QStringLiteral("tweede"), QStringLiteral("Goed bij de tweede poging"), number(s.rightAtSecond())});
    f.append({QStringLiteral("fout"), QStringLiteral("Fout"), number(s.wrong())});
    f.append({QStringLiteral("tijd"), QStringLiteral("Tijd"), DurationText(s.durationSeconds())});
    f.append({QStringLiteral("status"), QStringLiteral("Status"),
              s.status == SessionStatus::None ? QString::fromUtf16(NotGraded) : StatusName(s.status)});
    return f;
}

QVector<TextLogEntry> QuestionTexts(const ItemResult& item)
{
    // The judge writes "Ingegeven: " before the typed answer; what comes before is the question.
    QVector<TextLogEntry> question;
    for (const TextLogEntry& e : item.texts) {
        if (e.text == QStringLiteral("Ingegeven: "))
            break;
        if (!e.text.trimmed().isEmpty())
            question.append(e);
    }
    return question;
}

QStringList QuestionLines(const ItemResult& item)
{
    ItemResult question;
    question.texts = QuestionTexts(item);
    return question.textLines();
}

QImage ShownTextImage(const ItemResult& item, bool rightAnswers, double scale)
{
    return ShownTextImage(item, rightAnswers, item.textImage(scale), scale);
}

QImage ShownTextImage(const ItemResult& item, bool rightAnswers, QImage image, double scale)
{
    if (rightAnswers || image.isNull())
        return image;
    image = image.convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    bool answerFollows = false;
    for (const TextLogEntry& e : item.texts) {
        answerFollows = answerFollows || e.text.startsWith(QStringLiteral("Het juiste antwoord was"));
        if (answerFollows || e.text.startsWith(QStringLiteral(" (Precies: "))) {
            const int height = Round(PointsToPixels(qMax(1, e.size)) * 3 / 2 * scale);
            const int x = Round(e.x * scale), y = Round(e.y * scale);
            p.fillRect(QRect(x, y, image.width() - x, height), col::BtnFace);
        }
    }
    return image;
}

}  // namespace kav

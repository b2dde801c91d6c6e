// Every text of every theme stays inside its area, the text column or the picture, on the
// usual screen sizes. The item dump answers each item wrong twice in practice, so the
// question, both judgements, the item asked again and the worked explanation are all checked.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <utility>

#include "support.h"

namespace {

const QString AllThemes = QStringLiteral("1-7,11-17,21-28");
constexpr int ThemeCount = 22;

// The items of one dump at one level: theme codes taken in turn, PerTheme items of each.
QList<QJsonObject> Dump(const QString& screen, int level, int perTheme, QString* error)
{
    QProcess p;
    p.start(QStringLiteral(KAVRIN_BUILD_DIR "/kavrin2"),
            {"--items", AllThemes, "--level", QString::number(level), "--count", QString::number(ThemeCount * perTheme),
             "--seed", QString::number(17 + level), "--screen", screen, "--wrong", "--practice"});
    QList<QJsonObject> items;
    if (!p.waitForFinished(600000) || p.exitCode() != 0) {
        *error = QStringLiteral("the dump failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
        return items;
    }
    for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            items << QJsonDocument::fromJson(line).object();
    return items;
}

}  // namespace

class TestTextAreas : public QObject {
    Q_OBJECT

private slots:
    void everyTextInsideItsArea_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("perTheme");
        // Most items at the size where most lines came closest to the picture.
        const QList<QPair<const char*, int>> sizes{{"1024x768", 2},  {"1366x768", 2},  {"1440x900", 8},
                                                   {"1600x900", 2},  {"1680x1050", 2}, {"1920x1080", 2},
                                                   {"1920x1200", 2}, {"2560x1440", 2}};
        for (const auto& [screen, perTheme] : sizes)
            QTest::newRow(screen) << QString::fromLatin1(screen) << qMax(1, testsupport::Sweep(perTheme));
    }

    void everyTextInsideItsArea()
    {
        QFETCH(QString, screen);
        QFETCH(int, perTheme);
        for (int level = 1; level <= 3; ++level) {
            QString error;
            const QList<QJsonObject> items = Dump(screen, level, perTheme, &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QCOMPARE(items.size(), ThemeCount * perTheme);
            for (const QJsonObject& o : items) {
                const QString item = QStringLiteral("theme %1, level %2, item %3: ")
                                         .arg(o["theme"].toInt()).arg(level).arg(o["item"].toInt());
                const int lineHeight = o["pictureArea"].toArray()[1].toInt() / 26;
                QSet<QString> stages;
                for (const auto& [key, areaKey] : {std::pair{"texts", "textArea"}, std::pair{"pictureTexts", "pictureArea"}}) {
                    const QJsonArray area = o[areaKey].toArray();
                    const int width = area[0].toInt(), height = area[1].toInt();
                    QVERIFY(width > 0 && height > 0);
                    for (const QJsonValue& v : o[key].toArray()) {
                        const QJsonObject t = v.toObject();
                        const int x = t["x"].toInt(), w = t["width"].toInt();
                        const int y = qRound(t["line"].toDouble() * lineHeight);
                        stages << t["stage"].toString();
                        QVERIFY2(x >= 0 && x + w <= width && y >= 0 && y + lineHeight <= height,
                                 qPrintable(item + QStringLiteral("\"%1\" (%2) at %3, %4, %5 wide, in %6 of %7 x %8")
                                                       .arg(t["text"].toString(), t["stage"].toString())
                                                       .arg(x).arg(y).arg(w)
                                                       .arg(QString::fromLatin1(key)).arg(width).arg(height)));
                    }
                }
                // The whole road of the item was drawn, so the whole of it was checked.
                for (const char* stage : {"question", "first", "second", "explanation"})
                    QVERIFY2(stages.contains(QString::fromLatin1(stage)), qPrintable(item + QString::fromLatin1(stage)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestTextAreas)
#include "tst_text_areas.moc"

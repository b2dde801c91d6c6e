// The result of one practice or test session: a plain value that the session window hands
// over when a session ends, and that the store, the exports and the results window read.
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include "draw/canvas.h"

namespace kav {

struct ItemResult {
    int number = 0;      // 1, 2, ... in the order the items were finished
    int themeCode = 0;   // 1-7, 11-17, 21-28
    QString themeTitle;  // from the catalogue
    QString firstAnswer;   // as typed
    QString secondAnswer;  // as typed; empty when there was no second attempt
    bool right = false;
    QString rightAnswer;  // as the program writes it, decimals with a comma
    int points = 0;
    int attempts = 1;  // answers given: 1 or 2
    QVector<TextLogEntry> texts;  // the texts of the text area as drawn, in their order
    QByteArray textPng;           // the drawn text area (with the worked explanation in practice)
    QByteArray picturePng;        // the drawn picture

    bool rightAtFirst() const { return right && attempts == 1; }
    bool rightAtSecond() const { return right && attempts == 2; }
    QImage textImage() const;
    QImage pictureImage() const;
    // The texts joined into lines: texts at the same height, left to right, one line each.
    QStringList textLines() const;
};

struct SessionResult {
    qint64 id = 0;  // the store's number; 0 before it is stored
    QString name;
    QString code;  // the class code; empty without one
    int sessionMode = 0;  // 0, 10, 20, -10
    bool practice = false;
    int level = 1;
    QDateTime started;
    QDateTime ended;
    bool finished = false;  // voltooid; false when stopped early (afgebroken)
    QString scoreText;      // as the score label shows it: "012 uit 005"
    int points = 0;
    int maxPoints = 0;
    QVector<ItemResult> items;

    // 1 + 9 x points / maximum, to one decimal (1,0 when the maximum is 0).
    double grade() const;
    QString gradeText() const;  // "7,3"
    int percentage() const;     // 0..100, rounded; 0 when the maximum is 0
    int rightAtFirst() const;
    int rightAtSecond() const;
    int wrong() const;
    qint64 durationSeconds() const;
};

// The most points an item can give at a level: a right answer at the first attempt.
int MaxItemPoints(int level);
// The grade of points out of a maximum, in tenths (10 .. 100), and as text ("7,3").
int GradeTenths(int points, int maxPoints);
QString GradeText(int points, int maxPoints);

// The names as the main menu shows them: "Verbanden", "Verhoudingen", "Driehoeksgetallen",
// "Grote uitdaging"; and the levels "Starter", "Durver", "Prof !".
QString TopicName(int sessionMode);
QString LevelName(int level);
QString StatusName(bool finished);  // "voltooid" or "afgebroken"

// The message when a file of results can't be written: one line, naming the file.
QString FileWriteError(const QString& path);

// A canvas image as PNG bytes.
QByteArray PngBytes(const QImage& image);

}  // namespace kav

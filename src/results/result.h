// The result of one practice or test session: a plain value that the session window hands
// over when a session ends, and that the store, the exports and the results window read.
#pragma once
#include <functional>
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
    // Niet af: the session was stopped after the first answer, before the second; no points.
    bool unfinished = false;
    // The picture as the pupil answered on it, before the judgement drew on it (coded tests).
    // Older items of coded tests may show the answer in their picture.
    bool pictureAsAsked = false;
    QVector<TextLogEntry> texts;  // the texts of the text area as drawn, in their order
    // What draws the item again as the pupil saw it, at any size (see itemreplay.h).
    QByteArray kept;
    // Items kept before that: the drawn text area (with the worked explanation in practice)
    // and the drawn picture; empty for newer items.
    QByteArray textPng;
    QByteArray picturePng;

    bool rightAtFirst() const { return right && attempts == 1; }
    bool rightAtSecond() const { return right && attempts == 2; }
    // The two areas: the stored pictures of an item kept before, or the item drawn again at
    // `scale` times the size it was shown at; one that does not come out as it was shows its
    // texts alone and no picture. Null when there is nothing to show.
    QImage textImage(double scale = 1) const;
    QImage pictureImage(double scale = 1) const;
    // Both, drawn once.
    void images(QImage* text, QImage* picture, double scale = 1) const;
    // The sizes the areas had on the screen; empty when unknown.
    QSize textArea() const;
    QSize pictureArea() const;
    // Drawn again rather than read from stored pictures.
    bool redrawn() const { return textPng.isEmpty() && picturePng.isEmpty() && !kept.isEmpty(); }
    // The texts joined into lines: texts at the same height, left to right, one line each.
    QStringList textLines() const;
};

// How a session ended. Practice is not assessed: it has no status (and no grade).
enum class SessionStatus { None, Completed, Stopped, NotStarted };

// The planned number of items of a session kept before the plan was kept.
inline constexpr int UnknownPlan = -1;

struct SessionResult {
    qint64 id = 0;  // the store's number; 0 before it is stored
    QString uuid;   // the session's own id, made when it starts and never changed
    QString name;
    QString code;  // the class code; empty without one
    int sessionMode = 0;  // 0, 10, 20, -10
    bool practice = false;
    int level = 1;
    QDateTime started;
    QDateTime ended;
    SessionStatus status = SessionStatus::None;
    // The test's set length (10, 20, 30 or a code's length); 0 without one (Onbeperkt,
    // practice); UnknownPlan for a session kept before the plan was.
    int plannedItems = 0;
    QString scoreText;      // as the score label shows it: "012 uit 005"
    int points = 0;
    int maxPoints = 0;  // the planned items' points, or the judged items' without a plan
    QVector<ItemResult> items;  // the judged items, a niet-af one included

    bool graded() const { return !practice; }
    // 1 + 9 x points / maximum, to one decimal (1,0 when the maximum is 0).
    double grade() const;
    QString gradeText() const;  // "7,3"; empty for practice
    int percentage() const;     // 0..100, rounded; 0 when the maximum is 0
    int rightAtFirst() const;
    int rightAtSecond() const;
    int wrong() const;  // wrong at both attempts; niet af is not wrong
    qint64 durationSeconds() const;
};

// The most points an item can give at a level: a right answer at the first attempt.
int MaxItemPoints(int level);
// A session's maximum: every planned item's points, or the judged items' without a plan.
int MaxSessionPoints(int plannedItems, int judgedItems, int level);
// The grade of points out of a maximum, in tenths (10 .. 100), and as text ("7,3").
int GradeTenths(int points, int maxPoints);
QString GradeText(int points, int maxPoints);

// The names as the main menu shows them: "Verbanden", "Verhoudingen", "Driehoeksgetallen",
// "Grote uitdaging"; and the levels "Starter", "Durver", "Prof !".
QString TopicName(int sessionMode);
QString LevelName(int level);
// "voltooid", "afgebroken", "niet begonnen"; empty for practice.
QString StatusName(SessionStatus status);
// What a grade stands on, shown beside it: "opgaven: 3 van 20" for a test of set length that
// was not completed, "gepland: onbekend" for one kept before the plan was (its maximum is its
// items done); empty otherwise (and for practice, which has no status).
QString ItemsNote(SessionStatus status, int plannedItems, int itemsDone);
// For windows and paper: the grade with its note ("2,4 (opgaven: 3 van 20)"), or "—" for
// practice.
QString GradeWithNote(const SessionResult& s);
// The ungraded mark in windows and on paper.
inline constexpr char16_t NotGraded[] = u"\u2014";
// A new session id.
QString NewSessionId();

// Hands out stored sessions one at a time, so an export of many never holds them all: fills
// next and returns true, or returns false when there are no more.
using SessionSource = std::function<bool(SessionResult& next)>;
// The sessions of a list as such a source.
SessionSource SourceOf(const QVector<SessionResult>& sessions);

// The message when a file of results can't be written: one line, naming the file.
QString FileWriteError(const QString& path);

// A canvas image as PNG bytes.
QByteArray PngBytes(const QImage& image);

}  // namespace kav

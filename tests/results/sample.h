// A session result with every kind of item, for the results suites.
#pragma once
#include <QImage>
#include <QPainter>

#include "results/result.h"
#include "session/catalogue.h"

namespace testsupport {

inline QImage SampleImage(int w, int h, QColor fill, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawRect(seed % 7, seed % 5, w / 2, h / 3);
    p.drawLine(0, 0, w - 1, seed % h);
    return img;
}

// Three items: right at once (whole number), wrong twice (decimal), right at the second attempt.
inline kav::SessionResult SampleSession(const QString& name, const QString& code = QString(),
                                        const QDateTime& started = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 1)))
{
    kav::SessionResult r;
    r.name = name;
    r.code = code;
    r.sessionMode = 10;
    r.practice = false;
    r.level = 2;
    r.started = started;
    r.ended = started.addSecs(754);
    r.uuid = kav::NewSessionId();  // every session its own, as the recorder gives them
    r.status = kav::SessionStatus::Completed;
    r.plannedItems = 3;
    auto item = [](int n, int theme, QString a1, QString a2, bool right, QString answer, int points, int attempts) {
        kav::ItemResult i;
        i.number = n;
        i.themeCode = theme;
        i.themeTitle = kav::ThemeTitle(theme);
        i.firstAnswer = a1;
        i.secondAnswer = a2;
        i.right = right;
        i.rightAnswer = answer;
        i.points = points;
        i.attempts = attempts;
        i.texts = {{QStringLiteral("Hoeveel kost één pak?"), 13, 26, QColor(0, 0, 0), 15, false},
                   {QStringLiteral("Ingegeven: "), 13, 208, QColor(0, 0, 0), 15, false},
                   {a1, 99, 208, QColor(0, 0, 255), 15, true}};
        i.textPng = kav::PngBytes(SampleImage(120, 200, QColor(192, 192, 192), n));
        i.picturePng = kav::PngBytes(SampleImage(160, 160, QColor(255, 255, 0), n * 3));
        return i;
    };
    r.items = {item(1, 14, QStringLiteral("125"), QString(), true, QStringLiteral("125"), 4, 1),
               item(2, 16, QStringLiteral("6,5"), QStringLiteral("-7,25"), false, QStringLiteral("7,45"), 0, 2),
               item(3, 12, QStringLiteral("8"), QStringLiteral("12"), true, QStringLiteral("12"), 2, 2)};
    r.points = 6;
    r.maxPoints = 12;
    r.scoreText = QStringLiteral("006 uit 003");
    return r;
}

}  // namespace testsupport

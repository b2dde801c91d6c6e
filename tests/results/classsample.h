// A pupil's session of a four-item coded test with the marks given, for the class overview's
// suites.
#pragma once
#include <QByteArray>

#include "results/result.h"
#include "session/testcode.h"

namespace testsupport {

enum : char { F = '1', S = '2', W = 'w', N = 'n' };  // right first, right second, wrong, niet af

// A code of an unlimited ratios test: its items are as many as the longest session has.
inline QString Code()
{
    kav::TestCodeSettings s;
    s.sessionMode = 10;
    s.themes = 0b1111;
    s.level = 1;
    s.length = 0;
    s.seed = 4711u;
    return kav::EncodeTestCode(s).value();
}

// A level-1 session of four planned items (2 points at the first attempt, 1 at the second);
// items 1 and 3 of theme 11, 2 and 4 of theme 14; the right answer of item k is k.
inline kav::SessionResult Pupil(qint64 id, const QString& name, const QByteArray& marks, kav::SessionStatus status, int minute)
{
    kav::SessionResult r;
    r.id = id;
    r.uuid = kav::NewSessionId();
    r.name = name;
    r.code = Code();
    r.level = 1;
    r.sessionMode = 10;
    r.status = status;
    r.plannedItems = 4;
    r.started = QDateTime(QDate(2026, 12, 7), QTime(9, minute));
    r.ended = r.started.addSecs(600 + id);
    for (int k = 0; k < marks.size(); ++k) {
        kav::ItemResult i;
        i.number = k + 1;
        i.themeCode = k % 2 == 0 ? 11 : 14;
        i.themeTitle = QStringLiteral("Thema %1").arg(i.themeCode);
        i.rightAnswer = QString::number(k + 1);
        i.right = marks[k] == F || marks[k] == S;
        i.attempts = marks[k] == F || marks[k] == N ? 1 : 2;
        i.unfinished = marks[k] == N;
        i.points = marks[k] == F ? 2 : marks[k] == S ? 1 : 0;
        r.points += i.points;
        r.items.append(i);
    }
    r.maxPoints = kav::MaxSessionPoints(4, int(marks.size()), 1);
    return r;
}

}  // namespace testsupport

#include "results/recorder.h"

#include "draw/numbers.h"
#include "session/catalogue.h"
#include "session/context.h"
#include "session/engine.h"

namespace kav {

QString RightAnswerText(const SessionState& s)
{
    return ExpectedAnswerText(s, u',');
}

void SessionRecorder::start(const QString& name, const QString& code, int sessionMode, bool practice, int level,
                            const QDateTime& now)
{
    result_ = SessionResult();
    result_.name = name;
    result_.code = code;
    result_.sessionMode = sessionMode;
    result_.practice = practice;
    result_.level = level;
    result_.started = now;
    hasFirst_ = false;
    firstAnswer_.clear();
    points_ = Session().Points;
    items_ = Session().ItemCount;
    running_ = true;
}

void SessionRecorder::judged(const QString& typed)
{
    if (!running_)
        return;
    const SessionState& s = Session();
    const QString answer = Trim(typed);
    if (s.ItemCount == items_) {
        // Not final: the first of two attempts.
        firstAnswer_ = answer;
        hasFirst_ = true;
        return;
    }
    ItemResult item;
    item.number = int(result_.items.size()) + 1;
    item.themeCode = s.ThemeCode;
    item.themeTitle = ThemeTitle(s.ThemeCode);
    item.firstAnswer = hasFirst_ ? firstAnswer_ : answer;
    item.secondAnswer = hasFirst_ ? answer : QString();
    item.attempts = hasFirst_ ? 2 : 1;
    // A final judgement adds the item's points (none when wrong); a right answer gives at
    // least one point.
    item.points = qMax(0, s.Points - points_);
    item.right = item.points > 0;
    item.rightAnswer = RightAnswerText(s);
    if (const Canvas* t = TextBitmap()) {
        item.texts = t->textLog();
        item.textPng = PngBytes(t->image());
    }
    if (const Canvas* p = PictureBitmap())
        item.picturePng = PngBytes(p->image());
    result_.items.append(item);
    points_ = s.Points;
    items_ = s.ItemCount;
    hasFirst_ = false;
    firstAnswer_.clear();
}

SessionResult SessionRecorder::finish(bool finished, const QDateTime& now)
{
    result_.ended = now;
    result_.finished = finished;
    result_.points = 0;
    for (const ItemResult& i : result_.items)
        result_.points += i.points;
    result_.maxPoints = int(result_.items.size()) * MaxItemPoints(result_.level);
    result_.scoreText = ScoreText(result_.points, int(result_.items.size()));
    running_ = false;
    hasFirst_ = false;
    return result_;
}

}  // namespace kav

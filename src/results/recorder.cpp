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
                            int plannedItems, const QDateTime& now)
{
    result_ = SessionResult();
    result_.uuid = NewSessionId();
    result_.name = name;
    result_.code = code;
    result_.sessionMode = sessionMode;
    result_.practice = practice;
    result_.level = level;
    result_.plannedItems = practice ? 0 : qMax(0, plannedItems);
    result_.started = now;
    clearPending();
    points_ = Session().Points;
    items_ = Session().ItemCount;
    running_ = true;
}

void SessionRecorder::aboutToJudge()
{
    if (!running_ || result_.code.isEmpty())
        return;
    if (const Canvas* p = PictureBitmap())
        askedPicture_ = p->image();  // shared until the canvas is drawn on
}

ItemResult SessionRecorder::itemInHand(const QString& firstAnswer, QImage* text, QImage* picture) const
{
    const SessionState& s = Session();
    ItemResult item;
    item.number = int(result_.items.size()) + 1;
    item.themeCode = s.ThemeCode;
    item.themeTitle = ThemeTitle(s.ThemeCode);
    item.firstAnswer = firstAnswer;
    item.rightAnswer = RightAnswerText(s);
    if (const Canvas* t = TextBitmap()) {
        item.texts = t->textLog();
        *text = t->image();
    }
    item.pictureAsAsked = !askedPicture_.isNull();
    if (item.pictureAsAsked)
        *picture = askedPicture_;
    else if (const Canvas* p = PictureBitmap())
        *picture = p->image();
    return item;
}

void SessionRecorder::judged(const QString& typed)
{
    if (!running_)
        return;
    const SessionState& s = Session();
    const QString answer = Trim(typed);
    if (s.ItemCount == items_) {
        // Not final: the first of two attempts. Kept as it stands (the drawings encoded only
        // when they are needed), should the session stop before the second.
        pending_ = itemInHand(answer, &pendingText_, &pendingPicture_);
        pending_.unfinished = true;
        hasFirst_ = true;
        askedPicture_ = QImage();
        return;
    }
    QImage text, picture;
    ItemResult item = itemInHand(hasFirst_ ? pending_.firstAnswer : answer, &text, &picture);
    item.secondAnswer = hasFirst_ ? answer : QString();
    item.attempts = hasFirst_ ? 2 : 1;
    item.textPng = PngBytes(text);
    item.picturePng = PngBytes(picture);
    // A final judgement adds the item's points (none when wrong); a right answer gives at
    // least one point.
    item.points = qMax(0, s.Points - points_);
    item.right = item.points > 0;
    result_.items.append(item);
    points_ = s.Points;
    items_ = s.ItemCount;
    clearPending();
}

void SessionRecorder::clearPending()
{
    hasFirst_ = false;
    pending_ = ItemResult();
    pendingText_ = pendingPicture_ = askedPicture_ = QImage();
}

SessionResult SessionRecorder::finish(const QDateTime& now)
{
    if (hasFirst_) {
        // Niet af: one answer judged, the second not given.
        pending_.textPng = PngBytes(pendingText_);
        pending_.picturePng = PngBytes(pendingPicture_);
        result_.items.append(pending_);
    }
    result_.ended = now;
    result_.points = 0;
    int complete = 0;
    for (const ItemResult& i : result_.items) {
        result_.points += i.points;
        complete += i.unfinished ? 0 : 1;
    }
    const int judged = int(result_.items.size());
    if (result_.practice)
        result_.status = SessionStatus::None;
    else if (judged == 0)
        result_.status = SessionStatus::NotStarted;
    else if (result_.plannedItems > 0 && complete < result_.plannedItems)
        result_.status = SessionStatus::Stopped;
    else
        result_.status = SessionStatus::Completed;  // Onbeperkt: whenever it is left
    result_.maxPoints = MaxSessionPoints(result_.plannedItems, judged, result_.level);
    result_.scoreText = ScoreText(result_.points, complete);
    running_ = false;
    clearPending();
    return result_;
}

}  // namespace kav

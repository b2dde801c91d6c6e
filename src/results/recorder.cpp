#include "results/recorder.h"

#include "draw/numbers.h"
#include "session/catalogue.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"

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
    beginItem();
}

SessionRecorder::~SessionRecorder()
{
    stopRecording();
}

void SessionRecorder::beginItem()
{
    stopRecording();
    replay_ = ReplayFromHere();
    recordedBefore_ = RecordRandom(&replay_.draws);
    recording_ = true;
}

void SessionRecorder::stopRecording()
{
    if (!recording_)
        return;
    RecordRandom(recordedBefore_);
    recordedBefore_ = nullptr;
    recording_ = false;
}

void SessionRecorder::aboutToJudge()
{
    if (!running_)
        return;
    const SessionState& s = Session();
    ItemReplay::Answer a;
    a.whole = s.GivenAnswer;
    a.decimal = s.GivenDecimal;
    replay_.answers.append(a);
}

ItemResult SessionRecorder::itemInHand(const QString& firstAnswer, const QString& typed) const
{
    const SessionState& s = Session();
    ItemResult item;
    item.number = int(result_.items.size()) + 1;
    item.themeCode = s.ThemeCode;
    item.themeTitle = ThemeTitle(s.ThemeCode);
    item.firstAnswer = firstAnswer;
    item.rightAnswer = RightAnswerText(s);
    if (const Canvas* t = TextBitmap())
        item.texts = t->textLog();
    // A coded test keeps the picture as the pupil answered on it.
    item.pictureAsAsked = !result_.code.isEmpty();
    ItemReplay replay = replay_;
    if (!replay.answers.isEmpty())
        replay.answers.last().typed = typed;
    if (!replay.textArea.isEmpty() && !replay.pictureArea.isEmpty() && !replay.answers.isEmpty())
        item.kept = EncodeReplay(replay);
    return item;
}

void SessionRecorder::judged(const QString& typed)
{
    if (!running_)
        return;
    const SessionState& s = Session();
    const QString answer = Trim(typed);
    if (replay_.answers.isEmpty())
        aboutToJudge();  // a caller that did not say so first
    replay_.answers.last().typed = typed;
    if (s.ItemCount == items_) {
        // Not final: the first of two attempts. Kept as it stands, should the session stop
        // before the second.
        pending_ = itemInHand(answer, typed);
        pending_.unfinished = true;
        hasFirst_ = true;
        return;
    }
    ItemResult item = itemInHand(hasFirst_ ? pending_.firstAnswer : answer, typed);
    item.secondAnswer = hasFirst_ ? answer : QString();
    item.attempts = hasFirst_ ? 2 : 1;
    // A final judgement adds the item's points (none when wrong); a right answer gives at
    // least one point.
    item.points = qMax(0, s.Points - points_);
    item.right = item.points > 0;
    result_.items.append(item);
    points_ = s.Points;
    items_ = s.ItemCount;
    clearPending();
    beginItem();
}

void SessionRecorder::clearPending()
{
    hasFirst_ = false;
    pending_ = ItemResult();
}

SessionResult SessionRecorder::finish(const QDateTime& now)
{
    stopRecording();
    if (hasFirst_)
        result_.items.append(pending_);  // niet af: one answer judged, the second not given
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

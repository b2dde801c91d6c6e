// Keeps the result of a practice or test session while it runs. The session window calls
// start at START, aboutToJudge and judged around every judgement and finish when the session
// ends; everything else is read from the session state and the two canvases.
#pragma once
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <vector>

#include "results/itemreplay.h"
#include "results/result.h"
#include "session/session.h"

namespace kav {

// The right answer as the program writes it, without the unit: a whole number, or a decimal
// number with AnswerDecimals decimals and a comma.
QString RightAnswerText(const SessionState& s);

class SessionRecorder {
public:
    // A new session with a new id; the session state's points and item count at this moment
    // are the start. plannedItems: the test's set length, 0 without one.
    void start(const QString& name, const QString& code, int sessionMode, bool practice, int level,
               int plannedItems, const QDateTime& now = QDateTime::currentDateTime());
    bool running() const { return running_; }
    // Before the judge: the answer as read. In a coded test the item shows the picture the
    // pupil answers on, which no judgement has drawn on (the answer stays hidden from the pupil).
    void aboutToJudge();
    // After the judge has read the typed text: a first wrong answer is kept for its item; a
    // final answer completes the item. Nothing is drawn or encoded here: an item keeps its texts
    // and what it takes to draw it again (the worked explanation included).
    void judged(const QString& typed);
    // The session's end and its status: voltooid when every planned item was judged (or, with
    // no plan, any item was), afgebroken when a test stopped before, niet begonnen when nothing
    // was judged; none in practice. An item stopped between its attempts is kept as niet af.
    SessionResult finish(const QDateTime& now = QDateTime::currentDateTime());
    const SessionResult& current() const { return result_; }

    SessionRecorder() = default;
    ~SessionRecorder();
    SessionRecorder(const SessionRecorder&) = delete;
    SessionRecorder& operator=(const SessionRecorder&) = delete;

private:
    // The item in hand with its texts as drawn now and what draws it again.
    ItemResult itemInHand(const QString& firstAnswer, const QString& typed) const;
    // The next item starts from here: the session state taken, the random numbers recorded.
    void beginItem();
    void stopRecording();
    void clearPending();

    SessionResult result_;
    ItemResult pending_;  // the item after its first wrong answer, until its second
    ItemReplay replay_;   // the item in hand
    std::vector<std::uint32_t>* recordedBefore_ = nullptr;
    bool recording_ = false;
    bool hasFirst_ = false;
    int points_ = 0;
    int items_ = 0;
    bool running_ = false;
};

}  // namespace kav

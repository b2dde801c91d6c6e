// Keeps the result of a practice or test session while it runs. The session window calls
// start at START, judged after every judgement and finish when the session ends; everything
// else is read from the session state and the two canvases.
#pragma once
#include <QDateTime>
#include <QString>

#include "results/result.h"
#include "session/session.h"

namespace kav {

// The right answer as the program writes it, without the unit: a whole number, or a decimal
// number with AnswerDecimals decimals and a comma.
QString RightAnswerText(const SessionState& s);

class SessionRecorder {
public:
    // A new session; the session state's points and item count at this moment are the start.
    void start(const QString& name, const QString& code, int sessionMode, bool practice, int level,
               const QDateTime& now = QDateTime::currentDateTime());
    bool running() const { return running_; }
    // After the judge has read the typed text: a first wrong answer is kept for its item; a
    // final answer completes the item with the drawn canvases (the worked explanation included).
    void judged(const QString& typed);
    // The session's end: finished when it ran its whole length, not when it was stopped early.
    // Items that were not completed are left out.
    SessionResult finish(bool finished, const QDateTime& now = QDateTime::currentDateTime());
    const SessionResult& current() const { return result_; }

private:
    SessionResult result_;
    QString firstAnswer_;
    bool hasFirst_ = false;
    int points_ = 0;
    int items_ = 0;
    bool running_ = false;
};

}  // namespace kav

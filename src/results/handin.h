// Handing results in to the school server. Every session is written to the local store
// first; the store is the queue: what it marks as not handed in is handed in on a thread of
// its own with its own connections (the window never waits on the network), one session at a
// time, each in one transaction by its session id, so handing one in twice adds it once. A
// session that can't be handed in (the server unreachable, the login refused, the connection
// lost) keeps waiting and is tried again after the next session and at the next start.
#pragma once
#include <QObject>
#include <QString>
#include <memory>

#include "results/schoolserver.h"

namespace kav {

enum class HandInState { Waiting, HandedIn, NotHandedIn };

class HandInQueue : public QObject {
    Q_OBJECT
public:
    HandInQueue(const ServerSettings& server, const QString& storePath, QObject* parent = nullptr);
    // Stops as stop() does, waiting two seconds at most.
    ~HandInQueue() override;
    HandInQueue(const HandInQueue&) = delete;
    HandInQueue& operator=(const HandInQueue&) = delete;

    const ServerSettings& server() const;
    // Hands in what waits in the store; asked while a round runs, another round follows it.
    void handInWaiting();
    // Where the session of this id stands: handed in during this run, still being handed in,
    // or not handed in after the last round.
    HandInState state(const QString& uuid) const;
    // Waits until the rounds asked so far are done; false when that took longer.
    bool waitUntilIdle(int milliseconds) const;
    // Asks the worker to stop after the session in hand and waits for it at most this long;
    // false when it is still busy then (a connection that hangs): it is left to end with the
    // program, and what it was handing in waits in the store for the next start.
    bool stop(int milliseconds);
    // The sessions handed in during this run.
    int handedInCount() const;

signals:
    // A round has ended: states may have changed.
    void changed();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

// The program's own queue for the server of kavrin2.conf, made on first use; none when no
// server is set up.
HandInQueue* SchoolHandIn();
// Ends the program's queue (waiting two seconds at most); false when its worker was still busy.
bool EndSchoolHandIn();

}  // namespace kav

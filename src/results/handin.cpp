#include "results/handin.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <QSqlDatabase>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "results/store.h"

namespace kav {

// What the window's thread and the worker share; the worker keeps it alive when it outlives
// the queue.
struct HandInQueue::Shared {
    ServerSettings server;
    QString storePath;
    mutable std::mutex mutex;
    mutable std::condition_variable wake, idle;
    int asked = 0, done = 0;  // rounds asked for, and the rounds done cover up to
    bool stop = false, running = false;
    QSet<QString> handedIn;
    HandInQueue* owner = nullptr;  // told when a round ends; none once the queue is gone

    void run();
    void round();
};

namespace {

std::atomic<int> connections{0};

}  // namespace

void HandInQueue::Shared::run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stop || done < asked; });
        if (stop)
            break;
        const int target = asked;
        lock.unlock();
        round();
        lock.lock();
        done = target;
        idle.notify_all();
        if (owner)
            QMetaObject::invokeMethod(owner, &HandInQueue::changed, Qt::QueuedConnection);
    }
    running = false;
    idle.notify_all();
}

void HandInQueue::Shared::round()
{
    // Nothing written yet: nothing to hand in, and no file made for it.
    if (!QFileInfo::exists(storePath))
        return;
    ResultStore store(storePath, false);
    const QVector<qint64> waiting = store.notHandedIn();
    if (waiting.isEmpty())
        return;
    const QString name = QStringLiteral("kavrin2-inleveren-%1").arg(++connections);
    {
        QString error;
        if (!OpenServer(name, HandInFields(server), &error)) {
            QSqlDatabase::removeDatabase(name);
            return;
        }
        QSqlDatabase db = QSqlDatabase::database(name, false);
        const QString computer = ComputerName(), login = LoginName();
        for (qint64 id : waiting) {
            {
                const std::lock_guard guard(mutex);
                if (stop)
                    break;
            }
            const std::optional<SessionResult> session = store.load(id);
            if (!session)
                continue;
            const HandInOutcome outcome = HandInSession(db, *session, computer, login);
            if (outcome == HandInOutcome::Lost)
                break;  // the rest waits for the next round
            // One the server refuses for what it holds waits too, and does not hold up the rest.
            if (outcome == HandInOutcome::HandedIn && store.markHandedIn(id)) {
                const std::lock_guard guard(mutex);
                handedIn.insert(session->uuid);
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

HandInQueue::HandInQueue(const ServerSettings& server, const QString& storePath, QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>())
{
    shared_->server = server;
    shared_->storePath = storePath;
    shared_->owner = this;
    shared_->running = true;
    std::thread([shared = shared_] { shared->run(); }).detach();
}

HandInQueue::~HandInQueue()
{
    stop(2000);
}

const ServerSettings& HandInQueue::server() const
{
    return shared_->server;
}

void HandInQueue::handInWaiting()
{
    const std::lock_guard lock(shared_->mutex);
    ++shared_->asked;
    shared_->wake.notify_all();
}

HandInState HandInQueue::state(const QString& uuid) const
{
    const std::lock_guard lock(shared_->mutex);
    if (shared_->handedIn.contains(uuid))
        return HandInState::HandedIn;
    return shared_->done < shared_->asked && !shared_->stop ? HandInState::Waiting : HandInState::NotHandedIn;
}

bool HandInQueue::waitUntilIdle(int milliseconds) const
{
    std::unique_lock lock(shared_->mutex);
    return shared_->idle.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                  [this] { return shared_->done >= shared_->asked || !shared_->running; });
}

bool HandInQueue::stop(int milliseconds)
{
    std::unique_lock lock(shared_->mutex);
    shared_->stop = true;
    shared_->owner = nullptr;
    shared_->wake.notify_all();
    return shared_->idle.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return !shared_->running; });
}

int HandInQueue::handedInCount() const
{
    const std::lock_guard lock(shared_->mutex);
    return int(shared_->handedIn.size());
}

namespace {

std::unique_ptr<HandInQueue>& programQueue()
{
    static std::unique_ptr<HandInQueue> queue;
    return queue;
}

bool looked = false;

}  // namespace

HandInQueue* SchoolHandIn()
{
    if (!looked) {
        looked = true;
        const ServerSettings server = ReadServerSettings();
        if (server.configured())
            programQueue() = std::make_unique<HandInQueue>(server, ResultStore::DefaultPath());
    }
    return programQueue().get();
}

bool EndSchoolHandIn()
{
    std::unique_ptr<HandInQueue> queue = std::move(programQueue());
    looked = false;
    return !queue || queue->stop(2000);
}

}  // namespace kav

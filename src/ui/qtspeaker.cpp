// The speaker over Qt's speech: the speech-dispatcher engine with a Dutch voice, run on a
// thread of its own, because connecting to speech-dispatcher (and starting it) can take
// seconds or hang.
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>
#include <QTimer>

#include "ui/qtspeaker.h"
#include "ui/speaker.h"

namespace kav {

void SpeechWorker::start()
{
    const QString engine = QStringLiteral("speechd");
    if (!QTextToSpeech::availableEngines().contains(engine)) {
        emit failed(QStringLiteral("Voorlezen kan niet: de spraakmodule ontbreekt. ") + SpeechPackageHint());
        return;
    }
    tts_ = new QTextToSpeech(engine, this);
    if (tts_->state() == QTextToSpeech::Error) {
        const QString why = tts_->errorString().isEmpty() ? QString() : QStringLiteral(" (%1)").arg(tts_->errorString());
        emit failed(QStringLiteral("Voorlezen kan niet: speech-dispatcher start niet%1. ").arg(why) + SpeechPackageHint());
        return;
    }
    QLocale dutch;
    bool found = false;
    for (const QLocale& l : tts_->availableLocales())
        if (l.language() == QLocale::Dutch && (!found || l.territory() == QLocale::Netherlands)) {
            dutch = l;
            found = true;
        }
    if (found)
        tts_->setLocale(dutch);
    if (!found || tts_->availableVoices().isEmpty()) {
        emit failed(QStringLiteral("Voorlezen kan niet: er is geen Nederlandse stem. ") + SpeechPackageHint());
        return;
    }
    connect(tts_, &QTextToSpeech::stateChanged, this,
            [this](QTextToSpeech::State s) { emit speakingChanged(s == QTextToSpeech::Speaking); });
    usable_ = true;
    emit ready();
}

void SpeechWorker::say(const QString& text, double rate)
{
    if (!usable_)
        return;
    tts_->stop();
    tts_->setRate(rate);
    tts_->say(text);
}

void SpeechWorker::stop()
{
    if (usable_)
        tts_->stop();
}

namespace {

// How long the engine may take to start before "Lees voor" says it cannot speak yet.
constexpr int StartLimitMs = 10000;
// Qt's rate runs from -1 (slowest) to 1; slow is clearly slower and still natural.
constexpr double SlowRate = -0.35;

class QtSpeaker : public Speaker {
public:
    QtSpeaker()
    {
        thread_ = new QThread;
        thread_->setObjectName(QStringLiteral("Voorlezen"));
        worker_ = new SpeechWorker;
        worker_->moveToThread(thread_);
        connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
        connect(worker_, &SpeechWorker::ready, this, [this] {
            availability_ = Availability::Available;
            reason_.clear();
            emit changed();
        });
        connect(worker_, &SpeechWorker::failed, this, [this](const QString& reason) {
            availability_ = Availability::Unavailable;
            reason_ = reason;
            speaking_ = false;
            emit changed();
        });
        connect(worker_, &SpeechWorker::speakingChanged, this, [this](bool speaking) {
            if (speaking_ == speaking)
                return;
            speaking_ = speaking;
            emit changed();
        });
        thread_->start();
        QMetaObject::invokeMethod(worker_, &SpeechWorker::start, Qt::QueuedConnection);
        QTimer::singleShot(StartLimitMs, this, [this] {
            if (availability_ != Availability::Starting)
                return;
            availability_ = Availability::Unavailable;
            reason_ = QStringLiteral("Voorlezen kan nog niet: speech-dispatcher antwoordt niet. ") + SpeechPackageHint();
            emit changed();
        });
    }
    ~QtSpeaker() override
    {
        thread_->quit();
        // A thread still caught in starting speech-dispatcher is left to the end of the
        // program rather than waited for.
        if (thread_->wait(2000))
            delete thread_;
    }

    void say(const QString& text) override
    {
        if (availability_ == Availability::Unavailable || text.isEmpty())
            return;
        const double rate = speed_ == Speed::Slow ? SlowRate : 0.0;
        QMetaObject::invokeMethod(worker_, [w = worker_, text, rate] { w->say(text, rate); }, Qt::QueuedConnection);
        speaking_ = true;
        emit changed();
    }
    void stop() override
    {
        QMetaObject::invokeMethod(worker_, &SpeechWorker::stop, Qt::QueuedConnection);
        if (speaking_) {
            speaking_ = false;
            emit changed();
        }
    }
    bool speaking() const override { return speaking_; }
    Availability availability() const override { return availability_; }
    QString unavailableReason() const override { return reason_; }
    void setSpeed(Speed speed) override { speed_ = speed; }

private:
    QThread* thread_ = nullptr;
    SpeechWorker* worker_ = nullptr;
    Availability availability_ = Availability::Starting;
    QString reason_;
    bool speaking_ = false;
    Speed speed_ = Speed::Normal;
};

}  // namespace

bool QtSpeechEngineInstalled()
{
    return QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"));
}

std::unique_ptr<Speaker> MakeQtSpeaker()
{
    return std::make_unique<QtSpeaker>();
}

}  // namespace kav

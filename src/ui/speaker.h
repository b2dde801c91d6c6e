// The voice of "Lees voor": says a text aloud, stops, and tells whether it can speak at all.
// The program's own speaker is made when first asked for, never at start-up, and starts its
// speech engine on a thread of its own, so that a slow or missing engine never holds up a
// window; tests put a recording speaker in its place.
#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace kav {

class Speaker : public QObject {
    Q_OBJECT
public:
    enum class Availability { Starting, Available, Unavailable };
    // Reading speeds: slow for pupils who follow the words, normal.
    enum class Speed { Slow, Normal };

    virtual void say(const QString& text) = 0;
    virtual void stop() = 0;
    virtual bool speaking() const = 0;
    virtual Availability availability() const = 0;
    // Why the speaker cannot speak, in Dutch, with what to install; empty when it can.
    virtual QString unavailableReason() const = 0;
    virtual void setSpeed(Speed speed) = 0;

signals:
    // Speaking began or ended, or the speaker found out whether it can speak.
    void changed();
};

// The speaker of the program, made at the first call. Null only when a test's factory makes
// none.
Speaker* ProgramSpeaker();
// Tests: the next ProgramSpeaker() is made by this factory (an empty one restores the real
// speaker); the speaker made before is dropped.
void SetSpeakerFactory(std::function<std::unique_ptr<Speaker>()> factory);
// Whether a speaker has been made (start-up makes none).
bool SpeakerMade();

// Whether a speaker can be made at all: false, with the reason, where the speech engine is not
// installed. Asks only which engines are installed (quick), starts nothing.
bool SpeechEngineInstalled(QString* reason);
// The speaker over Qt's speech (the speech-dispatcher engine with a Dutch voice).
std::unique_ptr<Speaker> MakeQtSpeaker();

bool QtSpeechEngineInstalled();
// What "Lees voor" needs installed, for the hints that say so.
QString SpeechPackageHint();

}  // namespace kav

// The speech engine's side of the program's speaker (see speaker.h): it lives on a thread of
// its own, makes Qt's speech with the speech-dispatcher engine there and speaks through it.
#pragma once
#include <QObject>
#include <QString>

class QTextToSpeech;

namespace kav {

// Lives on the speech thread: makes the engine there and speaks through it.
class SpeechWorker : public QObject {
    Q_OBJECT
public:
    // Makes the engine and looks for a Dutch voice; says ready() or failed(reason).
    void start();
    void say(const QString& text, double rate);
    void stop();

signals:
    void ready();
    void failed(const QString& reason);
    void speakingChanged(bool speaking);

private:
    QTextToSpeech* tts_ = nullptr;
    bool usable_ = false;  // an engine with a Dutch voice: nothing is said in another language
};

}  // namespace kav

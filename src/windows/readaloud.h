// "Lees voor": the button of the session window and the lesson viewer that reads what their
// canvases say. A press reads the question; after a judgement it reads the judgement and, in
// practice, the explanation; a press while speaking stops. The words come from the canvases'
// text logs (so in a coded test it can never say what the screen does not show) and are turned
// into Dutch words by the speech-text step.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QToolButton>

#include "draw/canvas.h"
#include "ui/speaker.h"

class QWidget;
class QShortcut;

namespace kav {

class ReadAloud : public QObject {
    Q_OBJECT
public:
    // The button is made on the key row; F5 in the window presses it. The canvases are read.
    ReadAloud(QWidget* keyRow, QWidget* window, const Canvas* text, const Canvas* picture);
    ~ReadAloud() override;

    QToolButton* button() const { return button_.data(); }
    // A new question (or the same one again for the second attempt) is on the canvases: a
    // press reads it, and what is still being said stops.
    void questionShown();
    // The answer is about to be judged: what the canvases get from now on is the judgement
    // (and the explanation), which a press then reads.
    void judging();
    // Whether the class code of the test allows it (allowed when there is no code).
    void setAllowed(bool allowed);
    bool allowed() const { return allowed_; }
    // The button's press: stops the speech, or says words().
    void press();
    void stop();
    // What a press says now.
    QString words() const;

    // The reading speed, kept in the program's settings for the computer's user.
    static Speaker::Speed SavedSpeed();
    static void SaveSpeed(Speaker::Speed speed);

private:
    // The button's state, hint and enabled state after a change of the speaker or the code.
    void refresh();
    Speaker* speaker();

    QPointer<QToolButton> button_;
    QShortcut* shortcut_;
    const Canvas* text_;
    const Canvas* picture_;
    bool judged_ = false;
    int textMark_ = 0, pictureMark_ = 0;
    bool allowed_ = true;
    Speaker* connected_ = nullptr;
};

}  // namespace kav

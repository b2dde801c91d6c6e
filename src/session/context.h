// What a theme generator, a worked explanation or a game step reaches of the window: the
// session state, the two canvases, and the answer-entry port. The session window implements
// the port; tests and the item dump implement it with a recorder, so every activity runs
// without a window.
#pragma once
#include <QString>

#include "draw/canvas.h"
#include "session/session.h"

namespace kav {

class AnswerPort {
public:
    virtual ~AnswerPort() = default;
    // Opens the answer field: caption (ending in ": "), hint ("| " + the question), the
    // field's text "?", the panel at text line TextLine, the usage panel below it, focus.
    // The kind is Session().AnswerKind.
    virtual void OpenAnswer(const QString& caption, const QString& hint) = 0;
    // Copies the canvases to the screen now.
    virtual void Repaint() {}
    // The face picture after a judgement ("smile" or "sad").
    virtual void SetFace(const QString& pictureName) { (void)pictureName; }
    // The score label.
    virtual void SetScore(const QString& text) { (void)text; }
    // After a judgement: Doorgaan above the score panel, shown and focused.
    virtual void ShowContinue() {}
};

struct ActivityContext {
    Canvas* picture = nullptr;  // PictureBitmap
    Canvas* text = nullptr;     // TextBitmap
    AnswerPort* port = nullptr;
};

ActivityContext& Context();
inline Canvas* PictureBitmap() { return Context().picture; }
inline Canvas* TextBitmap() { return Context().text; }

// Sets the canvases (also the picture area for percent positions) and the port.
void SetContext(Canvas* picture, Canvas* text, AnswerPort* port);

// Opens the answer entry at TextLine with Session().AnswerKind.
void OpenAnswer(const QString& caption, const QString& hint);

}  // namespace kav

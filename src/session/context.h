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

// What the two games need of the window beyond the answer entry: its controls, the timer
// Klok, the level button and the celebration screen. Vertical positions are pixels from the
// top of the text area.
enum class Control { HelpButton, KeuzeBox, CalcButton, InvoerPanel, GebruikPanel, ContinueButton, StartButton,
                     ScorePanel, NivoBox };

class GamePort {
public:
    virtual ~GamePort() = default;
    // The session title (also shown while answering) and the window caption "Kavrin 2: " + title.
    virtual void SetSessionTitle(const QString& title) = 0;
    // The window's hint in the status bar ("|..." for the long part).
    virtual void SetWindowHint(const QString& hint) = 0;
    virtual void ShowControl(Control c, bool visible) = 0;
    virtual void EnableControl(Control c, bool enabled) = 0;
    // The help button with the main menu's help picture, TextMargin from the right edge.
    virtual void PlaceHelpButton() = 0;
    // START beside the level box (as on the choice screen), or centred at a top.
    virtual void PlaceStartBesideLevels() = 0;
    virtual void PlaceStartCentred(int top) = 0;
    virtual int StartButtonHeight() const = 0;
    virtual void FocusControl(Control c) = 0;
    // The usage panel's text and its top inside the panel.
    virtual void SetInfo(const QString& text, int top) = 0;
    // Doorgaan: its top and caption (it keeps its visibility).
    virtual void PlaceContinue(int top) = 0;
    virtual void SetContinueCaption(const QString& caption) = 0;
    virtual int ScorePanelTop() const = 0;
    virtual int ContinueTop() const = 0;
    virtual int ContinueHeight() const = 0;
    virtual int StatusBarTop() const = 0;
    // The level button's picture: a title over a value.
    virtual void SetLevelGlyph(const QString& title, const QString& value) = 0;
    // Selects the level box's item (when index >= 0) and applies the level choice.
    virtual void ApplyLevel(int index) = 0;
    // The timer Klok: interval in milliseconds, running or not.
    virtual void SetKlokInterval(int ms) = 0;
    virtual void EnableKlok(bool on) = 0;
    // Whether the Saldo Plus explanation was shown in full since the window was created.
    virtual bool SaldoExplained() const = 0;
    virtual void SetSaldoExplained() = 0;
    // The celebration screen; the session ends when it closes.
    virtual void ShowCelebration() = 0;
};

struct ActivityContext {
    Canvas* picture = nullptr;  // PictureBitmap
    Canvas* text = nullptr;     // TextBitmap
    AnswerPort* port = nullptr;
    GamePort* game = nullptr;
};

ActivityContext& Context();
inline Canvas* PictureBitmap() { return Context().picture; }
inline Canvas* TextBitmap() { return Context().text; }

// Sets the canvases (also the picture area for percent positions) and the port.
void SetContext(Canvas* picture, Canvas* text, AnswerPort* port);

// The measures every drawing reads that come from the two canvases: LineHeight and
// PictureWidth from the picture; the text font (the program's family, plain, the largest size
// up to startPoints whose line fits LineHeight) on both canvases, with BaseFontSize and
// CharWidth. The session window sets them for the screen, a worksheet for paper.
void SetAreaMeasures(Canvas& picture, Canvas& text, int startPoints);

// The window's side for the games (the session window, or a recorder in tests).
void SetGamePort(GamePort* game);
inline GamePort* Game() { return Context().game; }

// Opens the answer entry at TextLine with Session().AnswerKind.
void OpenAnswer(const QString& caption, const QString& hint);

}  // namespace kav

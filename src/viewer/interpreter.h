// The script interpreter: plays a lesson script one pause at a time into the viewer's two
// canvases. It reaches the viewer window only through ScriptPort, so a script can be played
// and checked without a window.
#pragma once
#include <QColor>
#include <QString>
#include <functional>

#include "draw/canvas.h"
#include "viewer/scriptreader.h"

namespace kav {

// What the interpreter needs of the viewer window.
class ScriptPort {
public:
    virtual ~ScriptPort() = default;
    // Shows Doorgaan; with focus at "[toets]" and at the end of the sum animation.
    virtual void ShowContinue(bool focus) = 0;
    // Hides Doorgaan (during "[wait]" and while an entry is open).
    virtual void HideContinue() = 0;
    // "[invoer]": opens the entry panel at pixel y `top` of the text area with the label
    // prompt + ":", the hint "|" + prompt + " ?", the field's text "0" and the answer kind
    // (1 whole number, 2 decimal number), and gives the field the focus.
    virtual void OpenEntry(int top, const QString& prompt, int kind) = 0;
    // Copies both canvases to the screen.
    virtual void Paint() = 0;
    // The viewer's Einde: the viewer closes.
    virtual void Einde() = 0;
    // Handles window events for about `ms` milliseconds ("[wait]"). False when the viewer
    // has closed or gone away meanwhile: the run then ends at once and touches nothing more.
    virtual bool HandleEvents(int ms) = 0;
};

// The pattern of a triangular number: one cell (a dot or a square) of group g, column c, for
// a triangle of n rows, on the picture canvas. Layouts 0-3 have the apex up, 4-7 down; odd
// layouts are isosceles, even ones right-angled; 0, 1, 4, 5 draw dots of `dot` percent of a
// letter "O", 2, 3, 6, 7 squares. Layouts 8 (yellow) and 9 (aqua) are the two halves of
// Gauss's rectangle of n rows of n + 1 squares: a staircase and its copy turned half round.
// With big the cells fill the area, else they are 1/30 of it.
void DrawPatternCell(int g, int c, int n, int layout, int dot, const QColor& colour, bool big, Canvas* bitmap);

// A binomial coefficient (top over bottom between round brackets) at (x, y), in the canvas's
// current font; x moves on past the closing bracket.
void DrawBinomial(int& x, int& y, const QString& top, const QString& bottom, Canvas* canvas, const QColor& colour);

class Interpreter {
public:
    Interpreter(Canvas* text, Canvas* picture, ScriptPort* port);
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Reads a script into the line queue; a run in progress ends, the sum animation stops.
    bool LeesFile(const QString& fileName);
    // One run: lines of the current step until the next pause ("[toets]", "[invoer]", "[end]").
    void Doorgaan();
    // Ends a run that is waiting ("[wait]"); it returns without drawing more.
    void Abort();
    bool running() const { return running_; }

    ScriptReader reader;
    int ScriptStep = 0;
    bool IntroOnly = false;
    // The line number of the line taken last (Doorgaan's Tag); the entry check reads it.
    int ContinueTag = 0;
    // Set while the sum animation runs: Doorgaan then draws its next row without reading lines.
    bool ContinueRun = false;
    int SumRow = 0;
    int CurrentTextY = 0;
    // False: "[wait]" goes on at once (for playing lessons through in checks).
    bool PlayWaits = true;
    // Called after every line played (the fuzz checks time each line with it).
    std::function<void()> LineDone;

private:
    struct Stop {};  // the run has been ended from outside: return, touching nothing
    enum class LineEnd { Next, Pause, Closed };

    LineEnd runLine();
    void executeText(Canvas* target);
    void executeShape(Canvas* target);
    void drawPattern(Canvas* target);
    // Row r (1 = the apex) of the pattern drawn last, in the given colour.
    void drawPatternRow(int r, const QColor& colour);
    void wait();
    void sumAnimation();
    void reportError(const QString& detail, bool namesLine);

    Canvas* text_;
    Canvas* picture_;
    ScriptPort* port_;
    bool running_ = false;
    int generation_ = 0;
    int runGeneration_ = 0;
    QString lastDelta_;
    // The triangular-number pattern drawn last in this file; the sum animation colours its rows.
    struct Pattern {
        Canvas* target = nullptr;
        int n = 0, d = 0, layout = 0, dot = 0;
        bool big = false;
        QColor colour;
        CanvasFont font;
    } pattern_;
};

}  // namespace kav

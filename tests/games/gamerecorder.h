// The window's side of the games, recorded: the game steps run on two canvases without a
// window, and the tests read what the steps asked of the window.
#pragma once
#include <QMap>
#include <QStringList>

#include "draw/messages.h"
#include "draw/text.h"
#include "session/engine.h"
#include "session/context.h"
#include "session/session.h"
#include "support.h"

namespace testsupport {

struct GameRecorder : kav::AnswerPort, kav::GamePort {
    // Answer entry.
    void OpenAnswer(const QString& c, const QString& h) override
    {
        caption = c;
        hint = h;
        ++answersOpened;
        visible[kav::Control::InvoerPanel] = true;
    }
    void Repaint() override { messagesAtRepaint.append(int(kav::RecordedMessages().size())); }
    void SetFace(const QString& n) override { face = n; }
    void SetScore(const QString& t) override { score = t; }
    void ShowContinue() override { visible[kav::Control::ContinueButton] = true; }

    // The games' window.
    void SetSessionTitle(const QString& t) override { title = t; }
    void SetWindowHint(const QString& h) override { windowHint = h; }
    void ShowControl(kav::Control c, bool v) override { visible[c] = v; }
    void EnableControl(kav::Control c, bool e) override { enabled[c] = e; }
    void PlaceHelpButton() override {}
    void PlaceStartBesideLevels() override {}
    void PlaceStartCentred(int top) override { startTop = top; }
    int StartButtonHeight() const override { return 106; }
    void FocusControl(kav::Control c) override { focused = c; }
    void SetInfo(const QString& text, int) override { info = text; }
    void PlaceContinue(int top) override { continueTop = top; }
    void SetContinueCaption(const QString& c) override { continueCaption = c; }
    int ScorePanelTop() const override { return 610; }
    int ContinueTop() const override { return continueTop; }
    int ContinueHeight() const override { return 48; }
    int StatusBarTop() const override { return 709; }
    void SetLevelGlyph(const QString& t, const QString& v) override { glyph = t + QLatin1Char(' ') + v; }
    void ApplyLevel(int index) override
    {
        if (index >= 0)
            kav::Session().LevelIndex = index;
        ++levelsApplied;
    }
    void SetKlokInterval(int ms) override { klokInterval = ms; }
    void EnableKlok(bool on) override { klokOn = on; }
    bool SaldoExplained() const override { return explained; }
    void SetSaldoExplained() override { explained = true; }
    void ShowCelebration() override { ++celebrations; }

    bool shown(kav::Control c) const { return visible.value(c, false); }

    QString caption, hint, face, score, title, windowHint, info, continueCaption, glyph;
    QMap<kav::Control, bool> visible, enabled;
    QList<int> messagesAtRepaint;  // how many messages had been shown at each repaint
    kav::Control focused = kav::Control::HelpButton;
    int answersOpened = 0, startTop = 0, continueTop = 0, levelsApplied = 0, klokInterval = 0, celebrations = 0;
    bool klokOn = false, explained = false;
};

// The game steps on these two canvases and the recorder, messages recorded, no flags set.
inline void UseRecorder(kav::Canvas& picture, kav::Canvas& text, GameRecorder& rec)
{
    SessionMeasures(picture, text);
    rec = GameRecorder();
    kav::SetContext(&picture, &text, &rec);
    kav::SetGamePort(&rec);
    kav::SetExplanationHandler({});
    kav::StartRecordingMessages();
    kav::ClearRecordedMessages();
    kav::ClearSessionFlags();
}

inline QStringList TextsOf(const kav::Canvas& c)
{
    QStringList l;
    for (const auto& e : c.textLog())
        l << e.text;
    return l;
}

}  // namespace testsupport

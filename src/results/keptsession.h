// Drawing items away from the session window (a worksheet, a kept item drawn again) runs the
// generators on canvases of its own; this keeps the running session out of harm's way.
#pragma once
#include "draw/measures.h"
#include "session/context.h"
#include "session/engine.h"
#include "session/random.h"
#include "session/session.h"

namespace kav {

// Everything of the program's own session that drawing items elsewhere changes: kept on
// creation and put back on destruction, so a worksheet made from the teacher's corner or an
// item drawn again for the results leaves the session window as it was.
class KeptSession {
public:
    KeptSession()
        : state_(Session()), context_(Context()), random_(SaveRandom()), scale_(ScreenScale), margin_(TextMargin),
          line_(LineHeight), pictureWidth_(PictureWidth), base_(BaseFontSize), charWidth_(CharWidth),
          lastEnd_(LastTextEnd), decimal_(DecimalSeparator),
          recording_(RecordRandom(nullptr))
    {
    }
    ~KeptSession()
    {
        Session() = state_;
        SetContext(context_.picture, context_.text, context_.port);
        SetGamePort(context_.game);
        RestoreRandom(random_);
        ScreenScale = scale_;
        TextMargin = margin_;
        LineHeight = line_;
        PictureWidth = pictureWidth_;
        BaseFontSize = base_;
        CharWidth = charWidth_;
        LastTextEnd = lastEnd_;
        DecimalSeparator = decimal_;
        ReplayRandom(nullptr);
        RecordRandom(recording_);
    }
    KeptSession(const KeptSession&) = delete;
    KeptSession& operator=(const KeptSession&) = delete;

private:
    SessionState state_;
    ActivityContext context_;
    RandomState random_;
    double scale_;
    int margin_, line_, pictureWidth_, base_, charWidth_, lastEnd_;
    QChar decimal_;
    std::vector<std::uint32_t>* recording_;  // a running session's item, paused meanwhile
};

}  // namespace kav

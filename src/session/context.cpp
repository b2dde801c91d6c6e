#include "session/context.h"

#include "draw/shapes.h"

namespace kav {

ActivityContext& Context()
{
    static ActivityContext ctx;
    return ctx;
}

void SetContext(Canvas* picture, Canvas* text, AnswerPort* port)
{
    ActivityContext& c = Context();
    c.picture = picture;
    c.text = text;
    c.port = port;
    SetPictureBitmap(picture);
}

void SetGamePort(GamePort* game)
{
    Context().game = game;
}

void OpenAnswer(const QString& caption, const QString& hint)
{
    if (Context().port)
        Context().port->OpenAnswer(caption, hint);
}

}  // namespace kav

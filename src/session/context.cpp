#include "session/context.h"

#include "draw/measures.h"
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

void SetAreaMeasures(Canvas& picture, Canvas& text, int startPoints)
{
    LineHeight = picture.height() / 26;
    PictureWidth = picture.width();
    text.font.family = FontFamily;
    text.font.bold = text.font.italic = text.font.underline = false;
    text.font.size = startPoints;
    while (text.textHeight(QStringLiteral("Hj")) > LineHeight && text.font.size > 1)
        --text.font.size;
    picture.font = text.font;
    BaseFontSize = text.font.size;
    CharWidth = text.textWidth(QStringLiteral("H"));
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

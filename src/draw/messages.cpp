#include "draw/messages.h"

#include <cstdio>

namespace kav {

namespace {
MessageHandler handler;
bool recording = false;
QStringList recorded;
}  // namespace

void ShowMessage(const QString& text, MessageKind kind)
{
    if (recording) {
        recorded.append(text);
        return;
    }
    if (handler) {
        handler(text, kind);
        return;
    }
    QString plain = text;
    plain.replace(u'\r', u'\n');
    std::fprintf(stderr, "%s\n", plain.toLocal8Bit().constData());
}

void SetMessageHandler(MessageHandler h)
{
    handler = std::move(h);
}

void StartRecordingMessages()
{
    recording = true;
    recorded.clear();
}

QStringList RecordedMessages()
{
    return recorded;
}

void ClearRecordedMessages()
{
    recorded.clear();
}

}  // namespace kav

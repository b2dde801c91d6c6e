#include "draw/messages.h"

#include <cstdio>

namespace kav {

namespace {
MessageHandler handler;
QuestionHandler questionHandler;
bool recording = false;
bool recordedAnswer = false;
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

bool AskYesNo(const QString& text)
{
    if (recording) {
        recorded.append(text);
        return recordedAnswer;
    }
    return questionHandler ? questionHandler(text) : false;
}

void SetQuestionHandler(QuestionHandler h)
{
    questionHandler = std::move(h);
}

void StartRecordingMessages()
{
    recording = true;
    recordedAnswer = false;
    recorded.clear();
}

void SetRecordedAnswer(bool yes)
{
    recordedAnswer = yes;
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

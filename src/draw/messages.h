// Every message box of the program goes through here. The windows install a handler
// that shows a real modal box; tests switch to recording, so a flow never blocks.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace kav {

enum class MessageKind { Error, Information, Warning };

// Texts use "\r" for a line break, as the messages are written.
void ShowMessage(const QString& text, MessageKind kind = MessageKind::Error);

using MessageHandler = std::function<void(const QString& text, MessageKind kind)>;
void SetMessageHandler(MessageHandler handler);

// Recording mode: messages are kept instead of shown.
void StartRecordingMessages();
QStringList RecordedMessages();
void ClearRecordedMessages();

}  // namespace kav

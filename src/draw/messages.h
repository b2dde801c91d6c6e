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

// A question with the answers "Ja" and "Nee", Nee the default: true for Ja. Without a
// handler (no display) the answer is Nee, which changes nothing.
bool AskYesNo(const QString& text);
using QuestionHandler = std::function<bool(const QString& text)>;
void SetQuestionHandler(QuestionHandler handler);

// Recording mode: messages are kept instead of shown; questions are kept too (in the same
// list) and get the recorded answer (Nee unless set).
void StartRecordingMessages();
void SetRecordedAnswer(bool yes);
QStringList RecordedMessages();
void ClearRecordedMessages();

}  // namespace kav

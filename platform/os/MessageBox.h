#pragma once
// The message box, as every part of the program shows one: text, title,
// icon, buttons, answer. It goes through one installable handler, so the
// windows get real dialogs, tools get a line on stderr, and tests script the
// answers and read what was shown. Logic without windows may call it too.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qtmv {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    std::string text;
    std::string title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    // The button Enter presses; a question's default is Yes unless set.
    std::optional<MsgAnswer> defaultAnswer;
};

using MessageHandler = std::function<MsgAnswer(const MessageRequest&)>;

MsgAnswer MsgBox(const std::string& text, const std::string& title,
                 MsgIcon icon = MsgIcon::None, MsgButtons buttons = MsgButtons::Ok);
// A question whose Enter answer is defaultAnswer (e.g. No where Yes would
// throw typed work away).
MsgAnswer MsgBox(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons,
                 MsgAnswer defaultAnswer);

// Installs a handler and returns the one it replaces. An empty handler
// restores the default, which writes the message to stderr and answers Ok,
// or No to a question (nothing is done that was not confirmed).
MessageHandler SetMessageHandler(MessageHandler handler);

// For tests: while alive, records every message and answers from a queue
// (Yes/Ok when the queue is empty, unless a default is set).
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void answer(MsgAnswer a) { answers_.push_back(a); }
    void setDefaultAnswer(MsgAnswer a) { defaultAnswer_ = a; hasDefault_ = true; }
    const std::vector<MessageRequest>& shown() const { return shown_; }
    void clear() { shown_.clear(); }

private:
    MsgAnswer handle(const MessageRequest& r);
    std::vector<MessageRequest> shown_;
    std::deque<MsgAnswer> answers_;
    MsgAnswer defaultAnswer_ = MsgAnswer::Ok;
    bool hasDefault_ = false;
    MessageHandler previous_;
};

} // namespace qtmv

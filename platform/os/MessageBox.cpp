#include "MessageBox.h"

#include <iostream>

namespace qtmv {

namespace {
MsgAnswer DefaultHandler(const MessageRequest& r)
{
    std::cerr << "[" << r.title << "] " << r.text << '\n';
    switch (r.buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::Ok: return MsgAnswer::Ok;
    }
    return MsgAnswer::Ok;
}

MessageHandler& Handler()
{
    static MessageHandler h;
    return h;
}
} // namespace

MsgAnswer MsgBox(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons)
{
    MessageRequest r{text, title, icon, buttons, std::nullopt};
    const MessageHandler& h = Handler();
    return h ? h(r) : DefaultHandler(r);
}

MsgAnswer MsgBox(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons,
                 MsgAnswer defaultAnswer)
{
    MessageRequest r{text, title, icon, buttons, defaultAnswer};
    const MessageHandler& h = Handler();
    return h ? h(r) : DefaultHandler(r);
}

MessageHandler SetMessageHandler(MessageHandler h)
{
    MessageHandler old = std::move(Handler());
    Handler() = std::move(h);
    return old;
}

ScriptedMessages::ScriptedMessages()
{
    previous_ = SetMessageHandler([this](const MessageRequest& r) { return handle(r); });
}

ScriptedMessages::~ScriptedMessages() { SetMessageHandler(std::move(previous_)); }

MsgAnswer ScriptedMessages::handle(const MessageRequest& r)
{
    shown_.push_back(r);
    if (!answers_.empty()) {
        MsgAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    if (hasDefault_)
        return defaultAnswer_;
    return (r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel) ? MsgAnswer::Yes
                                                                                     : MsgAnswer::Ok;
}

} // namespace qtmv

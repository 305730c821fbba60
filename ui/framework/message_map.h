// The table that sends a window's messages, commands and notifications to handler methods.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace arkivo::ui {

// A handler's answer: a result for the system, or nullopt to let the default handling run.
using MessageResult = std::optional<LRESULT>;

class MessageMap {
  public:
    using MessageHandler = std::function<MessageResult(WPARAM, LPARAM)>;
    using CommandHandler = std::function<void()>;
    using NotifyHandler = std::function<MessageResult(NMHDR&)>;

    void OnMessage(UINT message, MessageHandler handler);
    // A button click, a menu choice or an accelerator with this identifier.
    void OnCommand(int id, CommandHandler handler);
    // A notification that a control sends with WM_COMMAND: EN_CHANGE, CBN_SELCHANGE, ...
    void OnCommand(int id, UINT code, CommandHandler handler);
    void OnNotify(int id, UINT code, NotifyHandler handler);

    MessageResult Dispatch(UINT message, WPARAM wParam, LPARAM lParam) const;

  private:
    std::map<UINT, MessageHandler> messages_;
    std::map<std::pair<int, UINT>, CommandHandler> commands_;
    std::map<std::pair<int, UINT>, NotifyHandler> notifications_;
};

}  // namespace arkivo::ui

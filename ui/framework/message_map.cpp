#include "ui/framework/message_map.h"

namespace arkivo::ui {
namespace {

// A menu choice comes with code 0 and an accelerator with code 1, both without a control; a
// control's code 1 is its own notification (CBN_SELCHANGE, LBN_SELCHANGE), not a command.
constexpr UINT kAcceleratorCode = 1;

UINT CommandCode(WPARAM wParam, LPARAM lParam) {
    const UINT code = HIWORD(wParam);
    return lParam == 0 && code == kAcceleratorCode ? BN_CLICKED : code;
}

}  // namespace

void MessageMap::OnMessage(UINT message, MessageHandler handler) {
    messages_[message] = std::move(handler);
}

void MessageMap::OnCommand(int id, CommandHandler handler) {
    OnCommand(id, BN_CLICKED, std::move(handler));
}

void MessageMap::OnCommand(int id, UINT code, CommandHandler handler) {
    commands_[{id, code}] = std::move(handler);
}

void MessageMap::OnNotify(int id, UINT code, NotifyHandler handler) {
    notifications_[{id, code}] = std::move(handler);
}

MessageResult MessageMap::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (message == WM_COMMAND) {
        const auto key =
            std::make_pair(static_cast<int>(LOWORD(wParam)), CommandCode(wParam, lParam));
        if (auto command = commands_.find(key); command != commands_.end()) {
            command->second();
            return 0;
        }
    }
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(lParam);
        const auto key = std::make_pair(static_cast<int>(header.idFrom), header.code);
        if (auto notify = notifications_.find(key); notify != notifications_.end()) {
            return notify->second(header);
        }
    }
    if (auto handler = messages_.find(message); handler != messages_.end()) {
        return handler->second(wParam, lParam);
    }
    return std::nullopt;
}

}  // namespace arkivo::ui

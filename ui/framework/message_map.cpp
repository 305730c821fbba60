#include "ui/framework/message_map.h"

namespace arkivo::ui {

void MessageMap::OnMessage(UINT message, MessageHandler handler) {
    messages_[message] = std::move(handler);
}

void MessageMap::OnCommand(int id, CommandHandler handler) {
    commands_[id] = std::move(handler);
}

void MessageMap::OnNotify(int id, UINT code, NotifyHandler handler) {
    notifications_[{id, code}] = std::move(handler);
}

MessageResult MessageMap::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
        if (auto command = commands_.find(LOWORD(wParam)); command != commands_.end()) {
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

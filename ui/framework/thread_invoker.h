// Lets worker threads run code on the user-interface thread: the invoker is made on that
// thread, and Send or Post hand it a callable. Send waits for the result, so what the
// callable refers to stays valid; Post returns at once, so the callable must own its data.
#pragma once

#include <windows.h>

#include <functional>
#include <type_traits>

namespace arkivo::ui {

class CThreadInvoker {
  public:
    // On the thread whose windows the calls may touch.
    CThreadInvoker();
    // Calls still queued by Post are dropped.
    ~CThreadInvoker();
    CThreadInvoker(const CThreadInvoker&) = delete;
    CThreadInvoker& operator=(const CThreadInvoker&) = delete;

    // Runs the callable on the invoker's thread and returns what it returned; called on that
    // thread, it runs at once.
    template <typename Call>
    auto Send(Call&& call) const -> std::invoke_result_t<Call&> {
        using Result = std::invoke_result_t<Call&>;
        if constexpr (std::is_void_v<Result>) {
            SendCall([&call] { call(); });
        } else {
            Result result{};
            SendCall([&call, &result] { result = call(); });
            return result;
        }
    }
    // Queues the callable for the invoker's thread, whose message loop runs it.
    void Post(std::function<void()> call) const;

    HWND hwnd() const { return window_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void SendCall(const std::function<void()>& call) const;

    HWND window_ = nullptr;
    DWORD threadId_ = 0;
};

}  // namespace arkivo::ui

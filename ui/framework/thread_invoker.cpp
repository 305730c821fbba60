#include "ui/framework/thread_invoker.h"

#include <memory>

namespace arkivo::ui {
namespace {

constexpr wchar_t kWindowClass[] = L"ArkivoThreadInvoker";
constexpr UINT WM_SENT_CALL = WM_APP;
constexpr UINT WM_POSTED_CALL = WM_APP + 1;

void RegisterWindowClass(WNDPROC procedure) {
    static const ATOM registered = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        return ::RegisterClassW(&windowClass);
    }();
    (void)registered;
}

}  // namespace

CThreadInvoker::CThreadInvoker() : threadId_(::GetCurrentThreadId()) {
    RegisterWindowClass(Proc);
    window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
}

CThreadInvoker::~CThreadInvoker() {
    MSG message;
    while (::PeekMessageW(&message, window_, WM_POSTED_CALL, WM_POSTED_CALL, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
    ::DestroyWindow(window_);
}

void CThreadInvoker::SendCall(const std::function<void()>& call) const {
    if (::GetCurrentThreadId() == threadId_) {
        call();
        return;
    }
    ::SendMessageW(window_, WM_SENT_CALL, 0, reinterpret_cast<LPARAM>(&call));
}

void CThreadInvoker::Post(std::function<void()> call) const {
    auto queued = std::make_unique<std::function<void()>>(std::move(call));
    if (::PostMessageW(window_, WM_POSTED_CALL, 0, reinterpret_cast<LPARAM>(queued.get()))) {
        queued.release();
    }
}

LRESULT CALLBACK CThreadInvoker::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SENT_CALL) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == WM_POSTED_CALL) {
        const std::unique_ptr<std::function<void()>> call(
            reinterpret_cast<std::function<void()>*>(lParam));
        (*call)();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace arkivo::ui

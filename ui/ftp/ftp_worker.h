// Runs the FTP dialog's server calls on a thread of their own, one at a time on the dialog's
// connection, so that the window keeps painting and Cancel keeps working while a slow server
// answers. What a call found comes back to the user-interface thread.
#pragma once

#include <functional>
#include <memory>

#include "platform/ftp_client.h"
#include "ui/framework/thread_invoker.h"

namespace arkivo::ui {

class CFtpWorker {
  public:
    // What to do on the user-interface thread with what the call found.
    using Then = std::function<void()>;
    using Call = std::function<Then(platform::FtpConnection&)>;

    // On the user-interface thread. busyChanged is told there when a call starts and ends.
    CFtpWorker(std::unique_ptr<platform::FtpConnection> connection,
               std::function<void(bool busy)> busyChanged);
    // A call still running is left to end on its own (Abandon).
    ~CFtpWorker();
    CFtpWorker(const CFtpWorker&) = delete;
    CFtpWorker& operator=(const CFtpWorker&) = delete;

    // From now on what a running call finds is dropped, and the connection is closed once no
    // call uses it: when the dialog's window goes.
    void Abandon();

    // Starts the call with the connection; false, and nothing done, while another one runs.
    bool Run(Call call);
    bool IsBusy() const { return busy_; }
    // Only while no call runs: the worker thread owns it meanwhile.
    platform::FtpConnection& connection();

  private:
    struct Shared;

    void StartThread();

    std::shared_ptr<Shared> shared_;
    std::function<void(bool)> busyChanged_;
    bool busy_ = false;
    bool threadStarted_ = false;
    CThreadInvoker invoker_;
};

}  // namespace arkivo::ui

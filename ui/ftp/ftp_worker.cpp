#include "ui/ftp/ftp_worker.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace arkivo::ui {

// What the worker thread and the dialog share: the thread may outlive the dialog.
struct CFtpWorker::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    bool abandoned = false;
    // The call the thread is to run next, with what hands its result back.
    std::optional<std::function<void()>> next;
    std::unique_ptr<platform::FtpConnection> connection;
};

CFtpWorker::CFtpWorker(std::unique_ptr<platform::FtpConnection> connection,
                       std::function<void(bool)> busyChanged)
    : shared_(std::make_shared<Shared>()), busyChanged_(std::move(busyChanged)) {
    shared_->connection = std::move(connection);
}

CFtpWorker::~CFtpWorker() {
    Abandon();
}

void CFtpWorker::Abandon() {
    {
        std::lock_guard guard(shared_->mutex);
        if (shared_->abandoned) {
            return;
        }
        shared_->abandoned = true;
        if (!busy_) {
            shared_->connection->Close();
        }
    }
    shared_->wake.notify_one();
}

platform::FtpConnection& CFtpWorker::connection() {
    return *shared_->connection;
}

void CFtpWorker::StartThread() {
    // One thread for the dialog's life rather than one per call: a thread started while the
    // last one is still ending has been seen to wait for seconds before it ran.
    std::thread([shared = shared_] {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->wake.wait(lock, [&shared] { return shared->abandoned || shared->next; });
            if (shared->abandoned) {
                if (shared->next) {
                    shared->connection->Close();  // the dialog went before its call began
                }
                return;
            }
            auto call = std::move(*shared->next);
            shared->next.reset();
            lock.unlock();
            call();
            lock.lock();
        }
    }).detach();
    threadStarted_ = true;
}

bool CFtpWorker::Run(Call call) {
    if (busy_ || shared_->abandoned) {
        return false;
    }
    if (!threadStarted_) {
        StartThread();
    }
    busy_ = true;
    if (busyChanged_) {
        busyChanged_(true);
    }
    // The finish runs on this thread, where busy_ and the dialog live.
    auto finish = [this](Then then) {
        busy_ = false;
        if (busyChanged_) {
            busyChanged_(false);
        }
        then();
    };
    {
        std::lock_guard guard(shared_->mutex);
        shared_->next = [shared = shared_.get(), call = std::move(call), finish, this] {
            Then then = call(*shared->connection);
            std::lock_guard guard(shared->mutex);
            if (shared->abandoned) {
                shared->connection->Close();
                return;
            }
            // Posted under the lock: the dialog cannot end between the check and the post,
            // and its invoker drops what is still queued when it ends.
            invoker_.Post([finish, then = std::move(then)] { finish(then); });
        };
    }
    shared_->wake.notify_one();
    return true;
}

}  // namespace arkivo::ui

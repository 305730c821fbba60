#include "ui/ftp/ftp_worker.h"

#include <mutex>
#include <thread>

namespace arkivo::ui {

// What the worker thread and the dialog share: the thread may outlive the dialog.
struct CFtpWorker::Shared {
    std::mutex mutex;
    bool abandoned = false;
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
    std::lock_guard guard(shared_->mutex);
    if (shared_->abandoned) {
        return;
    }
    shared_->abandoned = true;
    if (!busy_) {
        shared_->connection->Close();
    }
}

platform::FtpConnection& CFtpWorker::connection() {
    return *shared_->connection;
}

bool CFtpWorker::Run(Call call) {
    if (busy_ || shared_->abandoned) {
        return false;
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
    std::thread([shared = shared_, call = std::move(call), finish, this] {
        Then then = call(*shared->connection);
        std::lock_guard guard(shared->mutex);
        if (shared->abandoned) {
            shared->connection->Close();
            return;
        }
        // Posted under the lock: the dialog cannot end between the check and the post, and
        // its invoker drops what is still queued when it ends.
        invoker_.Post([finish, then = std::move(then)] { finish(then); });
    }).detach();
    return true;
}

}  // namespace arkivo::ui

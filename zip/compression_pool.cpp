#include "zip/compression_pool.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace arkivo::zip {
namespace {

constexpr unsigned kMostThreads = 64;

}  // namespace

unsigned DefaultCompressionThreads() {
    if (const char* forced = std::getenv("ARKIVO_ZIP_THREADS")) {
        char* end = nullptr;
        const unsigned long n = std::strtoul(forced, &end, 10);
        if (end != forced && *end == '\0' && n >= 1 && n <= kMostThreads) {
            return static_cast<unsigned>(n);
        }
    }
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
}

CompressionPool::CompressionPool(unsigned threads) {
    const unsigned wanted = std::clamp(threads, 1u, kMostThreads);
    workers_.reserve(wanted);
    try {
        while (workers_.size() < wanted) {
            workers_.emplace_back([this] { Work(); });
        }
    } catch (const std::system_error&) {
        // The system's limit on threads is reached: the workers that started do the work.
    }
    if (workers_.empty()) {
        withoutWorkers_ = std::make_unique<PieceCompressor>();
    }
}

CompressionPool::~CompressionPool() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    queued_.notify_all();
    for (auto& worker : workers_) {
        worker.join();
    }
}

void CompressionPool::Start(DataPiece& piece) {
    if (withoutWorkers_) {
        withoutWorkers_->Compress(piece);
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        piece.done_ = false;
        waiting_.push_back(&piece);
    }
    queued_.notify_one();
}

bool CompressionPool::IsDone(const DataPiece& piece) {
    const std::lock_guard lock(mutex_);
    return piece.done_;
}

void CompressionPool::WaitFor(const DataPiece& piece) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [&piece] { return piece.done_; });
}

void CompressionPool::Work() {
    PieceCompressor compressor;
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (ending_) {
            return;
        }
        DataPiece& piece = *waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        compressor.Compress(piece);
        lock.lock();
        piece.done_ = true;
        done_.notify_all();
    }
}

}  // namespace arkivo::zip

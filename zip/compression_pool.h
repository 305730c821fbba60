// The worker threads of one archive: each takes the oldest piece nobody has taken yet, checks
// and compresses it with a compressor of its own, and marks it done. What the pieces become
// does not depend on which worker had them. A system that has no thread to give gets fewer
// workers, or none: the thread that starts a piece then compresses it itself.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "zip/data_piece.h"

namespace arkivo::zip {

// The workers an archive gets unless it is told: the number ARKIVO_ZIP_THREADS holds when it
// holds one from 1 to 64, else one per processor core.
unsigned DefaultCompressionThreads();

class CompressionPool {
  public:
    explicit CompressionPool(unsigned threads);
    // Lets every worker finish the piece it holds; pieces not taken yet are left as they are.
    ~CompressionPool();

    CompressionPool(const CompressionPool&) = delete;
    CompressionPool& operator=(const CompressionPool&) = delete;

    // The piece must stay where it is until it is done.
    void Start(DataPiece& piece);
    bool IsDone(const DataPiece& piece);
    void WaitFor(const DataPiece& piece);

    // The threads that compress, the calling one when there is no worker.
    unsigned threads() const { return std::max(1u, static_cast<unsigned>(workers_.size())); }

  private:
    void Work();

    std::mutex mutex_;
    std::condition_variable queued_;  // a piece was queued, or the pool is ending
    std::condition_variable done_;    // a piece is done
    std::deque<DataPiece*> waiting_;
    bool ending_ = false;
    std::vector<std::thread> workers_;
    std::unique_ptr<PieceCompressor> withoutWorkers_;
};

}  // namespace arkivo::zip

// Calls a function at a steady pace on a thread of its own until it is destroyed: the progress
// line is redrawn while a long copy tells nothing, so its rate and name stay current.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace arkivo::cli {

class Ticker {
  public:
    Ticker(std::chrono::milliseconds period, std::function<void()> tick);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool ending_ = false;
    std::thread thread_;
};

}  // namespace arkivo::cli

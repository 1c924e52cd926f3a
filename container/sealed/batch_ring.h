#pragma once

#include <cassert>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmora {

// A few batches passed to one worker thread and taken back in the order
// they were given, so the stream's cipher runs on the worker while the
// calling thread reads and writes files. The calling thread acquires a
// batch, fills it, submits it, and later takes it back worked on. The work
// touches its batch and only what is safe from two threads (version 2's
// reader reads the container on the worker: the file system's open-file
// table takes a lock). Batches are reused in turn.
template <typename Batch>
class BatchRing {
  public:
    // `work` runs on the worker, on one batch at a time, in the order they
    // were submitted.
    BatchRing(std::size_t count, std::function<void(Batch&)> work)
        : batches_(count), work_(std::move(work)), worker_([this] { Run(); }) {}

    // Waits for the batch being worked on; the rest are dropped.
    ~BatchRing() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        submitted_changed_.notify_one();
        worker_.join();
    }

    BatchRing(const BatchRing&) = delete;
    BatchRing& operator=(const BatchRing&) = delete;

    // Whether a batch can be acquired without taking one back first.
    bool HasFree() const { return acquired_ - released_ < batches_.size(); }
    // Whether a submitted batch waits to be taken back.
    bool HasSubmitted() const { return released_ < submitted_; }

    Batch& Acquire() {
        assert(HasFree());
        return batches_[acquired_++ % batches_.size()];
    }

    // Hands the oldest acquired batch not yet submitted to the worker.
    void Submit() {
        assert(submitted_ < acquired_);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++submitted_;
        }
        submitted_changed_.notify_one();
    }

    // The oldest submitted batch, once the worker is done with it; it stays
    // the caller's until Release.
    Batch& Oldest() {
        assert(HasSubmitted());
        std::unique_lock<std::mutex> lock(mutex_);
        done_changed_.wait(lock, [this] { return done_ > released_; });
        return batches_[released_ % batches_.size()];
    }

    // Gives the batch Oldest returned back to be acquired again.
    void Release() {
        assert(HasSubmitted());
        ++released_;
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            submitted_changed_.wait(lock, [this] { return stopping_ || done_ < submitted_; });
            if (stopping_)
                return;
            Batch& batch = batches_[done_ % batches_.size()];
            lock.unlock();
            work_(batch);
            lock.lock();
            ++done_;
            done_changed_.notify_one();
        }
    }

    std::vector<Batch> batches_;
    std::function<void(Batch&)> work_;
    // The calling thread's counts.
    std::size_t acquired_ = 0;
    std::size_t released_ = 0;
    // Shared with the worker, under the mutex.
    std::mutex mutex_;
    std::condition_variable submitted_changed_;
    std::condition_variable done_changed_;
    std::size_t submitted_ = 0;
    std::size_t done_ = 0;
    bool stopping_ = false;
    std::thread worker_;  // last: it starts once everything above is made
};

}  // namespace velmora

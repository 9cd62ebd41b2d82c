#include "dovanel/start_pool.h"

#include <atomic>
#include <limits>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace silhouette {
namespace {

class TaskQueue {
 public:
  explicit TaskQueue(std::size_t count) : count_(count), errors_(count) {}

  void Work(StartRunner& runner) noexcept {
    for (;;) {
      const std::size_t i = next_.fetch_add(1);
      if (i >= count_ || i > firstFailure_.load()) return;
      try {
        runner.Run(i);
      } catch (...) {
        errors_[i] = std::current_exception();
        std::size_t seen = firstFailure_.load();
        while (i < seen && !firstFailure_.compare_exchange_weak(seen, i)) {
        }
      }
    }
  }

  PoolFailure Failure() const {
    const std::size_t f = firstFailure_.load();
    if (f >= count_) return PoolFailure{count_, nullptr};
    return PoolFailure{f, errors_[f]};
  }

 private:
  const std::size_t count_;
  std::vector<std::exception_ptr> errors_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::size_t> firstFailure_{
      std::numeric_limits<std::size_t>::max()};
};

void Worker(TaskQueue* queue,
            const std::function<std::unique_ptr<StartRunner>()>* makeRunner) {
  std::unique_ptr<StartRunner> runner;
  try {
    runner = (*makeRunner)();
  } catch (...) {
    return;
  }
  if (runner != nullptr) queue->Work(*runner);
}

}  // namespace

PoolFailure RunStarts(
    std::size_t count, int threads, StartRunner& own,
    const std::function<std::unique_ptr<StartRunner>()>& makeRunner) {
  TaskQueue queue(count);
  std::vector<std::thread> workers;
  // Joins whatever was started, on every way out.
  struct JoinAll {
    std::vector<std::thread>& workers;
    ~JoinAll() {
      for (std::thread& w : workers) w.join();
    }
  } join_all{workers};
  try {
    if (threads > 1) workers.reserve(static_cast<std::size_t>(threads - 1));
    for (int t = 1; t < threads; ++t) {
      workers.emplace_back(Worker, &queue, &makeRunner);
    }
  } catch (const std::system_error&) {
    // Fewer threads than asked for; the calling thread still works.
  } catch (const std::bad_alloc&) {
  }
  queue.Work(own);
  for (std::thread& w : workers) w.join();
  workers.clear();
  return queue.Failure();
}

}  // namespace silhouette

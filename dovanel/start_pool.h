// Runs numbered tasks (Dovanel's starts) on a pool of threads, each
// thread with its own runner, and reports failures as a sequential loop
// over the tasks would have met them.
#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <memory>

namespace silhouette {

// Runs tasks on one thread; the pool makes one per worker thread.
class StartRunner {
 public:
  virtual ~StartRunner() = default;
  // Task i. Its result is stored by the runner where the caller finds it
  // (each task in a place of its own); it may throw anything.
  virtual void Run(std::size_t i) = 0;
};

// The lowest-numbered task that threw, and what it threw; index == count
// and a null error when none did.
struct PoolFailure {
  std::size_t index;
  std::exception_ptr error;
};

// Runs every task i in [0, count) once, on at most `threads` threads: the
// calling thread with `own`, and threads - 1 worker threads, each with the
// runner `makeRunner` makes on that thread. A thread takes the next task
// not yet taken. A worker whose runner cannot be made (makeRunner throws
// or returns null), or that cannot be started, takes no task: the others
// do its share. Once task f has thrown, tasks numbered after the lowest
// such f are skipped (a sequential loop would have stopped there); every
// task before it still runs. Returns when every worker has joined.
PoolFailure RunStarts(
    std::size_t count, int threads, StartRunner& own,
    const std::function<std::unique_ptr<StartRunner>()>& makeRunner);

}  // namespace silhouette

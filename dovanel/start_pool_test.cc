#include "dovanel/start_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "geometry/error_text.h"

namespace silhouette {
namespace {

// Records which thread ran each task, and throws at chosen tasks.
struct Shared {
  explicit Shared(std::size_t count) : ranBy(count), runs(count) {
    for (auto& r : runs) r = 0;
  }
  std::vector<std::thread::id> ranBy;
  std::vector<std::atomic<int>> runs;
  std::set<std::size_t> failing;
  bool outOfMemory = false;
};

class Recorder : public StartRunner {
 public:
  explicit Recorder(Shared* shared) : shared_(shared) {}
  void Run(std::size_t i) override {
    ++shared_->runs[i];
    shared_->ranBy[i] = std::this_thread::get_id();
    // Some work, so that the threads overlap.
    volatile double x = 0;
    for (int k = 0; k < 2000; ++k) x = x + k;
    if (shared_->failing.count(i) != 0) {
      if (shared_->outOfMemory) throw std::bad_alloc();
      throw ErrorText("start " + std::to_string(i) + " failed");
    }
  }

 private:
  Shared* shared_;
};

std::string Message(const PoolFailure& f) {
  try {
    std::rethrow_exception(f.error);
  } catch (const ErrorText& e) {
    return e.what();
  } catch (const std::bad_alloc&) {
    return "bad_alloc";
  }
}

TEST(RunStarts, RunsEveryTaskOnceOnSeveralThreads) {
  for (const int threads : {1, 2, 3, 8}) {
    Shared shared(200);
    Recorder own(&shared);
    const PoolFailure f = RunStarts(200, threads, own, [&] {
      return std::make_unique<Recorder>(&shared);
    });
    EXPECT_EQ(f.index, 200u);
    EXPECT_FALSE(f.error);
    std::set<std::thread::id> ids;
    for (std::size_t i = 0; i < 200; ++i) {
      EXPECT_EQ(shared.runs[i].load(), 1) << i;
      ids.insert(shared.ranBy[i]);
    }
    EXPECT_LE(ids.size(), static_cast<std::size_t>(threads));
    if (threads == 1) {
      EXPECT_EQ(*ids.begin(), std::this_thread::get_id());
    }
  }
}

// Failures inside workers' tasks come back on the calling thread as the
// lowest-numbered one, whichever thread met it and in whatever order;
// every task before it ran, so none with a lower number failed unseen.
TEST(RunStarts, ReportsTheLowestFailingTask) {
  const struct {
    std::set<std::size_t> failing;
    bool outOfMemory;
    std::size_t index;
    std::string message;
  } cases[] = {
      {{5}, false, 5, "start 5 failed"},
      {{120, 7, 64}, false, 7, "start 7 failed"},
      {{0}, false, 0, "start 0 failed"},
      {{199}, false, 199, "start 199 failed"},
      {{33, 34}, true, 33, "bad_alloc"},
  };
  for (const auto& c : cases) {
    for (const int threads : {1, 2, 3, 8}) {
      Shared shared(200);
      shared.failing = c.failing;
      shared.outOfMemory = c.outOfMemory;
      Recorder own(&shared);
      const PoolFailure f = RunStarts(200, threads, own, [&] {
        return std::make_unique<Recorder>(&shared);
      });
      EXPECT_EQ(f.index, c.index) << threads;
      ASSERT_TRUE(f.error);
      EXPECT_EQ(Message(f), c.message);
      for (std::size_t i = 0; i <= c.index; ++i) {
        EXPECT_EQ(shared.runs[i].load(), 1) << i << " with " << threads;
      }
    }
  }
}

// Workers that cannot make their runner leave the work to the others.
TEST(RunStarts, WorkersWithoutRunnerTakeNoTask) {
  for (const bool throws : {false, true}) {
    Shared shared(50);
    Recorder own(&shared);
    const PoolFailure f =
        RunStarts(50, 4, own, [&]() -> std::unique_ptr<StartRunner> {
          if (throws) throw std::bad_alloc();
          return nullptr;
        });
    EXPECT_FALSE(f.error);
    for (std::size_t i = 0; i < 50; ++i) {
      EXPECT_EQ(shared.runs[i].load(), 1);
      EXPECT_EQ(shared.ranBy[i], std::this_thread::get_id());
    }
  }
}

TEST(RunStarts, NoTasks) {
  Shared shared(0);
  Recorder own(&shared);
  const PoolFailure f = RunStarts(0, 3, own, [&] {
    return std::make_unique<Recorder>(&shared);
  });
  EXPECT_EQ(f.index, 0u);
  EXPECT_FALSE(f.error);
}

}  // namespace
}  // namespace silhouette

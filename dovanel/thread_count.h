// How many threads a parallel section of Dovanel may use.
#pragma once

namespace silhouette {

// The limit that the environment variable OMP_NUM_THREADS sets, given its
// text (nullptr when it is not set): a positive whole number, optionally
// surrounded by blanks (of a list such as "4,2" the first entry counts).
// 0 when the text sets no limit: unset, empty, zero, negative, not a
// number, or beyond the range of int.
int OmpThreadLimit(const char* text);

// The most threads a parallel section starts, whatever is asked for: each
// holds a model and a solver of its own.
constexpr int kMaxThreads = 256;

// The number of threads for `requested`: 1 means the calling thread
// alone; n > 1 at most n; 0 (and any negative number) the machine's cores
// (`cores`, at least 1), limited by `ompLimit` when that is positive.
// Never more than `tasks` or kMaxThreads, never fewer than 1.
int ThreadCount(int requested, int ompLimit, unsigned cores, long long tasks);

// ThreadCount with the process's OMP_NUM_THREADS and core count, read at
// each call.
int ThreadCountHere(int requested, long long tasks);

}  // namespace silhouette

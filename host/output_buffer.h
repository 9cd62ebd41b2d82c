// The data of an output matrix, taken from the host before the work that
// fills it.
//
// In MATLAB a host error, running out of memory in an mx* call included,
// ends the call without unwinding: C++ memory alive at that moment is lost
// for the session, while all that the call took from the host (mxMalloc
// blocks, arrays) is freed. So an entry takes the memory of its outputs
// from the host first, while nothing of its own is allocated, fills it
// while it computes, releases all of its C++ memory, and only then makes
// the output arrays, which takes more host memory. The result is then
// never held in C++ memory when the host may end the call.
#pragma once

#include <cstddef>

#include "host/mex_api.h"

namespace silhouette {
namespace host {

class OutputBuffer {
 public:
  // Room for `capacity` doubles, from mxMalloc; none (a null data()) for
  // a capacity of 0.
  explicit OutputBuffer(std::size_t capacity);
  // Frees the room unless it was released.
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  double* data() const { return data_; }
  std::size_t capacity() const { return capacity_; }

  // The rows x cols real double array of the first rows * cols numbers
  // (rows * cols <= capacity()), which takes over the room, cut to size;
  // the buffer is empty afterwards. An array without elements holds no
  // room of its own.
  mxArray* Release(std::size_t rows, std::size_t cols);

 private:
  double* data_ = nullptr;
  std::size_t capacity_ = 0;
};

}  // namespace host
}  // namespace silhouette

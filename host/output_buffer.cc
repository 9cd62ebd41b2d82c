#include "host/output_buffer.h"

#include <cstdint>

namespace silhouette {
namespace host {

OutputBuffer::OutputBuffer(std::size_t capacity) {
  if (capacity == 0) return;
  // A count whose bytes do not fit a size_t asks for more than any host
  // has, so that the host raises its own out-of-memory error.
  const std::size_t max_count = SIZE_MAX / sizeof(double);
  const std::size_t bytes =
      capacity > max_count ? SIZE_MAX : capacity * sizeof(double);
  data_ = static_cast<double*>(mxMalloc(bytes));
  capacity_ = capacity;
}

OutputBuffer::~OutputBuffer() { mxFree(data_); }

mxArray* OutputBuffer::Release(std::size_t rows, std::size_t cols) {
  const std::size_t count = rows * cols;
  if (count == 0) {
    mxFree(data_);
    data_ = nullptr;
    capacity_ = 0;
    return mxCreateDoubleMatrix(rows, cols, mxREAL);
  }
  // An empty array, whose data (none in MATLAB, a block of no elements in
  // other hosts) the room replaces; mxSetPr frees nothing itself.
  mxArray* array = mxCreateDoubleMatrix(0, 0, mxREAL);
  void* data = mxRealloc(data_, count * sizeof(double));
  data_ = nullptr;
  capacity_ = 0;
  mxFree(mxGetPr(array));
  mxSetPr(array, static_cast<double*>(data));
  mxSetM(array, rows);
  mxSetN(array, cols);
  return array;
}

}  // namespace host
}  // namespace silhouette

#include "host/embedded_heap.h"

// Under AddressSanitizer or ThreadSanitizer the sanitizer's allocator owns
// malloc and counts what is in use; otherwise the C library's malloc family
// is replaced by counting wrappers.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SILHOUETTE_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SILHOUETTE_SANITIZER_HEAP 1
#endif
#endif

#if defined(SILHOUETTE_SANITIZER_HEAP)

// From the sanitizer runtime (sanitizer/allocator_interface.h, which GCC
// does not always install).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();

namespace silhouette {
namespace host {

std::size_t HeapBytesInUse() {
  return __sanitizer_get_current_allocated_bytes();
}

}  // namespace host
}  // namespace silhouette

#else  // !SILHOUETTE_SANITIZER_HEAP

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

// The C library's own allocator, which it exports for replacements like
// the one below to build on.
extern "C" {
void* __libc_malloc(std::size_t n) noexcept;
void* __libc_calloc(std::size_t n, std::size_t size) noexcept;
void* __libc_realloc(void* block, std::size_t n) noexcept;
void __libc_free(void* block) noexcept;
void* __libc_memalign(std::size_t alignment, std::size_t n) noexcept;
void* __libc_valloc(std::size_t n) noexcept;
void* __libc_pvalloc(std::size_t n) noexcept;
}

namespace {

// Usable bytes of the blocks in use; a block's usable size is fixed from
// its allocation to its release.
std::atomic<std::size_t> g_bytes_in_use{0};

void* Counted(void* block) {
  if (block != nullptr) {
    g_bytes_in_use.fetch_add(malloc_usable_size(block),
                             std::memory_order_relaxed);
  }
  return block;
}

void Uncount(void* block) {
  if (block != nullptr) {
    g_bytes_in_use.fetch_sub(malloc_usable_size(block),
                             std::memory_order_relaxed);
  }
}

}  // namespace

// The complete set that a replacement of the C library's allocator
// provides, so that no block is allocated by one family and freed by the
// other.
extern "C" {

void* malloc(std::size_t n) noexcept { return Counted(__libc_malloc(n)); }

void* calloc(std::size_t n, std::size_t size) noexcept {
  return Counted(__libc_calloc(n, size));
}

void* realloc(void* block, std::size_t n) noexcept {
  const std::size_t old_bytes =
      block != nullptr ? malloc_usable_size(block) : 0;
  void* moved = __libc_realloc(block, n);
  if (moved == nullptr && n > 0) return nullptr;  // block left as it was
  g_bytes_in_use.fetch_sub(old_bytes, std::memory_order_relaxed);
  return Counted(moved);
}

void* reallocarray(void* block, std::size_t n, std::size_t size) noexcept {
  if (size != 0 && n > SIZE_MAX / size) {
    errno = ENOMEM;
    return nullptr;
  }
  return realloc(block, n * size);
}

void free(void* block) noexcept {
  Uncount(block);
  __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t n) noexcept {
  return Counted(__libc_memalign(alignment, n));
}

void* aligned_alloc(std::size_t alignment, std::size_t n) noexcept {
  return Counted(__libc_memalign(alignment, n));
}

int posix_memalign(void** out, std::size_t alignment, std::size_t n) noexcept {
  if (alignment % sizeof(void*) != 0 ||
      (alignment & (alignment - 1)) != 0) {
    return EINVAL;
  }
  void* block = Counted(__libc_memalign(alignment, n));
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}

void* valloc(std::size_t n) noexcept { return Counted(__libc_valloc(n)); }

void* pvalloc(std::size_t n) noexcept { return Counted(__libc_pvalloc(n)); }

}  // extern "C"

namespace silhouette {
namespace host {

std::size_t HeapBytesInUse() {
  return g_bytes_in_use.load(std::memory_order_relaxed);
}

}  // namespace host
}  // namespace silhouette

#endif  // SILHOUETTE_SANITIZER_HEAP

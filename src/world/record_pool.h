// Block allocation of the level's records: vertices, edges and triangles come from blocks of
// many records instead of one heap allocation each, so reading a big level costs a few large
// allocations and the records of one list lie close together. A record removed on its own goes
// to a free list and is handed out again; emptying the pool releases every block at once.
// The blocks, and the big arrays a level build makes, are large pages.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZYNTREL_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZYNTREL_POOL_ASAN 1
#endif
#endif
#ifdef ZYNTREL_POOL_ASAN
#include <sanitizer/asan_interface.h>
// Records not handed out are poisoned, so a use after removal is caught like one of the heap.
#define POOL_POISON(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define POOL_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define POOL_POISON(p, n) ((void)(p), (void)(n))
#define POOL_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

constexpr size_t kLargePageBytes = size_t(2) << 20;

// A zeroed block of `bytes` (a multiple of 2 MiB) on a 2 MiB boundary, with the kernel asked to
// back it by large pages (fewer page faults, fewer address translations); null when the system
// has no room. Released with ReleaseLargePages.
inline void* AllocateLargePages(size_t bytes) {
  const size_t span = bytes + kLargePageBytes;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kLargePageBytes - 1) & ~(uintptr_t(kLargePageBytes) - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const uintptr_t end = aligned + bytes;
  if (start + span > end) munmap(reinterpret_cast<void*>(end), start + span - end);
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
}
inline void ReleaseLargePages(void* block, size_t bytes) { munmap(block, bytes); }

inline void* AllocateLargePage() { return AllocateLargePages(kLargePageBytes); }
inline void ReleaseLargePage(void* page) { ReleaseLargePages(page, kLargePageBytes); }

// An allocator for the big arrays a level build makes and drops: arrays of a few megabytes or
// more come from large pages (a million-triangle level faults a few hundred pages instead of
// tens of thousands), smaller ones from the heap.
template <class T>
struct LargePageAllocator {
  using value_type = T;
  LargePageAllocator() = default;
  template <class U>
  LargePageAllocator(const LargePageAllocator<U>&) {}

  static constexpr size_t kSmallestBytes = 2 * kLargePageBytes;
  static size_t Rounded(size_t bytes) { return (bytes + kLargePageBytes - 1) & ~(kLargePageBytes - 1); }

  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    const size_t bytes = n * sizeof(T);
    if (bytes < kSmallestBytes) return std::allocator<T>().allocate(n);
    void* block = AllocateLargePages(Rounded(bytes));
    if (!block) throw std::bad_alloc();
    return static_cast<T*>(block);
  }
  void deallocate(T* p, size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes < kSmallestBytes) std::allocator<T>().deallocate(p, n);
    else ReleaseLargePages(p, Rounded(bytes));
  }
  template <class U>
  bool operator==(const LargePageAllocator<U>&) const { return true; }
  template <class U>
  bool operator!=(const LargePageAllocator<U>&) const { return false; }
};
template <class T>
using LargePageVector = std::vector<T, LargePageAllocator<T>>;

template <class T>
class RecordPool {
  static_assert(std::is_trivially_copyable<T>::value, "pooled records are plain records");

 public:
  // Blocks are one large page each (2 MiB): a big level's records then cost few page faults and
  // few address translations when the level is walked.
  static constexpr size_t kBlockBytes = size_t(2) << 20;
  static constexpr size_t kBlockRecords = kBlockBytes / sizeof(T);

  RecordPool() = default;
  RecordPool(const RecordPool&) = delete;
  RecordPool& operator=(const RecordPool&) = delete;
  ~RecordPool() { Clear(); }

  // A record with every field zero (as `new T()` gives).
  T* New() {
    T* p;
    if (!free_.empty()) {
      p = free_.back();
      free_.pop_back();
      POOL_UNPOISON(p, sizeof(T));
      *p = T();
    } else {
      if (blocks_.empty() || used_ == kBlockRecords) {
        // Blocks come zeroed, so a record never handed out needs no clearing.
        T* block = static_cast<T*>(AllocateLargePage());
        if (!block) throw std::bad_alloc();
        blocks_.emplace_back(block);
        POOL_POISON(block, kBlockRecords * sizeof(T));
        used_ = 0;
      }
      p = blocks_.back().get() + used_++;
      POOL_UNPOISON(p, sizeof(T));
    }
    ++live_;
    return p;
  }

  // Takes back one record that came from this pool.
  void Free(T* p) {
    if (!p) return;
    POOL_POISON(p, sizeof(T));
    free_.push_back(p);
    --live_;
  }

  // Releases every block: every record of the pool is gone.
  void Clear() {
    for (auto& block : blocks_) POOL_UNPOISON(block.get(), kBlockRecords * sizeof(T));
    blocks_.clear();
    free_.clear();
    used_ = 0;
    live_ = 0;
  }

  // Records handed out and not given back.
  size_t Live() const { return live_; }

 private:
  struct FreeBlock {
    void operator()(T* block) const { ReleaseLargePage(block); }
  };
  std::vector<std::unique_ptr<T, FreeBlock>> blocks_;
  std::vector<T*> free_;
  size_t used_ = 0;
  size_t live_ = 0;
};

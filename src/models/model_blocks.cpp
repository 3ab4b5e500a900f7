// Model blocks: per block size, large pages filled in turn, a free list of blocks taken back,
// and the pages released when the last block of that size is taken back.
#include "models/model_blocks.h"

#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "world/record_pool.h"

namespace {

constexpr size_t kPageBytes = size_t(2) << 20;
constexpr size_t kLargestPooled = kPageBytes / 4;

struct BlockSize {
  std::vector<void*> pages;
  size_t usedOfLastPage = 0;
  std::vector<void*> taken;  // blocks taken back, handed out again first
  size_t inUse = 0;
};

std::unordered_map<size_t, BlockSize> gBlockSizes;
size_t gBytesInUse = 0;

// Blocks start on cache lines, so records never straddle more lines than they must.
size_t Rounded(size_t size) { return (size + 63) / 64 * 64; }

}  // namespace

void* NewModelBlock(size_t size) {
  if (size == 0) return nullptr;
  size = Rounded(size);
  if (size > kLargestPooled) {
    void* block = std::malloc(size);
    if (block) gBytesInUse += size;
    return block;
  }
  BlockSize& sized = gBlockSizes[size];
  void* block;
  if (!sized.taken.empty()) {
    block = sized.taken.back();
    sized.taken.pop_back();
  } else {
    if (sized.pages.empty() || sized.usedOfLastPage + size > kPageBytes) {
      void* page = AllocateLargePage();
      if (!page) return nullptr;
      POOL_POISON(page, kPageBytes);
      sized.pages.push_back(page);
      sized.usedOfLastPage = 0;
    }
    block = static_cast<char*>(sized.pages.back()) + sized.usedOfLastPage;
    sized.usedOfLastPage += size;
  }
  POOL_UNPOISON(block, size);
  sized.inUse++;
  gBytesInUse += size;
  return block;
}

void FreeModelBlock(void* block, size_t size) {
  if (!block) return;
  size = Rounded(size);
  gBytesInUse -= size;
  if (size > kLargestPooled) {
    std::free(block);
    return;
  }
  auto found = gBlockSizes.find(size);
  if (found == gBlockSizes.end()) return;
  BlockSize& sized = found->second;
  POOL_POISON(block, size);
  if (--sized.inUse > 0) {
    sized.taken.push_back(block);
    return;
  }
  for (void* page : sized.pages) {
    POOL_UNPOISON(page, kPageBytes);
    ReleaseLargePage(page);
  }
  gBlockSizes.erase(found);
}

size_t ModelBlockBytesInUse() { return gBytesInUse; }

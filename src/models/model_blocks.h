// Memory for object models: each object's model copy is one block. Blocks of one size come
// from their own large pages (2 MiB each), handed out in turn and taken back to a free list;
// when no block of a size is in use any more (as after a world reset), its pages go back to
// the system at once, so freeing thousands of objects costs a few page releases and no heap
// work per block. Blocks larger than a quarter page come from the heap.
#pragma once
#include <cstddef>

// A block of `size` bytes (contents undefined), or null when memory runs out.
void* NewModelBlock(size_t size);
// Takes back a block from NewModelBlock with the same size.
void FreeModelBlock(void* block, size_t size);
// Bytes of the blocks handed out and not taken back.
size_t ModelBlockBytesInUse();

// Level records from pools: records come zeroed, a removed record is reused, emptying the level
// gives every record back, and a new vertex still takes the largest index present plus one.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/level_builder.h"
#include "world/level_mesh.h"
#include "world/meshwork_reader.h"
#include "world/record_pool.h"

using wt::V;

namespace {

struct Rec {
  int a[5];
  Rec* next;
};

TEST(RecordPool, RecordsAreZeroedDistinctAndReusedAfterFree) {
  RecordPool<Rec> pool;
  std::set<Rec*> seen;
  // More than one block, so records of several blocks are handed out.
  const size_t n = RecordPool<Rec>::kBlockRecords + 10;
  std::vector<Rec*> recs;
  for (size_t k = 0; k < n; ++k) {
    Rec* r = pool.New();
    for (int x : r->a) ASSERT_EQ(x, 0);
    ASSERT_EQ(r->next, nullptr);
    r->a[0] = static_cast<int>(k) + 1;
    r->next = r;
    ASSERT_TRUE(seen.insert(r).second);
    recs.push_back(r);
  }
  EXPECT_EQ(pool.Live(), n);
  // No record overlaps another: each kept what was written into it.
  for (size_t k = 0; k < n; ++k) EXPECT_EQ(recs[k]->a[0], static_cast<int>(k) + 1);

  pool.Free(recs[3]);
  EXPECT_EQ(pool.Live(), n - 1);
  Rec* again = pool.New();
  EXPECT_EQ(again, recs[3]);
  EXPECT_EQ(again->a[0], 0);  // handed out zeroed, not with its old contents
  EXPECT_EQ(again->next, nullptr);

  pool.Clear();
  EXPECT_EQ(pool.Live(), 0u);
  Rec* fresh = pool.New();
  EXPECT_EQ(fresh->a[0], 0);
}

TEST(RecordPoolDeathTest, ARecordGivenBackCannotBeReadUnnoticed) {
#ifndef ZYNTREL_POOL_ASAN
  GTEST_SKIP() << "only the address sanitizer sees reads of records given back";
#else
  RecordPool<Rec> pool;
  Rec* r = pool.New();
  r->a[2] = 7;
  pool.Free(r);
  volatile int* field = &r->a[2];
  EXPECT_DEATH((void)*field, "use-after-poison");
#endif
}

class LevelRecords : public ::testing::Test {
 protected:
  void SetUp() override { wt::ResetLevel(); }
  void TearDown() override { FreeLevelGeometry(); }
};

int CountVertices() {
  int n = 0;
  for (mesh_vert* v = baseMeshVert.next; v; v = v->next) ++n;
  return n;
}

mesh_vert* LinkAtHead(vector_type p) {
  mesh_vert* v = NewEmptyMeshVert(p);
  v->next = baseMeshVert.next;
  baseMeshVert.next = v;
  return v;
}

TEST_F(LevelRecords, EmptyingTheLevelGivesEveryRecordBack) {
  EXPECT_EQ(LevelRecordsLive(), 0u);
  wt::AddFloor(0, 0, 4, 4, 0);
  mesh_edge* e = NewMeshEdge(baseMeshVert.next, baseMeshVert.next->next);
  baseEdge.next = e;
  EXPECT_EQ(LevelRecordsLive(), 6u + 1u + 2u);
  GenerateLevelFromMesh();

  // Removing the selected vertices gives back them, their triangles and their edges.
  level_triangle* first = baseLT.next;
  first->vertexPtrs[0]->selected = 1;
  DeleteVertices(0);
  EXPECT_EQ(LevelRecordsLive(), 5u + 1u + 1u);  // vertices, edge, triangle

  DeleteVertices(1);
  EXPECT_EQ(LevelRecordsLive(), 0u);
  EXPECT_EQ(baseMeshVert.next, nullptr);
  EXPECT_EQ(baseEdge.next, nullptr);
  EXPECT_EQ(baseLT.next, nullptr);
}

TEST_F(LevelRecords, NewVertexTakesTheLargestIndexPresentPlusOne) {
  // Made one after another: 0, 1, 2.
  mesh_vert* a = LinkAtHead(V(0, 0, 0));
  mesh_vert* b = LinkAtHead(V(1, 0, 0));
  mesh_vert* c = LinkAtHead(V(2, 0, 0));
  EXPECT_EQ(a->index, 0u);
  EXPECT_EQ(b->index, 1u);
  EXPECT_EQ(c->index, 2u);

  // Removing the largest lowers the next index to what is left.
  c->selected = 1;
  DeleteVertices(0);
  EXPECT_EQ(LinkAtHead(V(3, 0, 0))->index, 2u);

  // Removing one in the middle leaves the largest: the next one goes past it.
  a->selected = 1;
  DeleteVertices(0);
  EXPECT_EQ(LinkAtHead(V(4, 0, 0))->index, 3u);

  // A rebuild renumbers the list 0..n-1, so the next index is the count.
  GenerateLevelFromMesh();
  EXPECT_EQ(CountVertices(), 3);
  EXPECT_EQ(LinkAtHead(V(5, 0, 0))->index, 3u);

  // A vertex made and given back unlinked does not count.
  mesh_vert* loose = NewEmptyMeshVert(V(6, 0, 0));
  EXPECT_EQ(loose->index, 4u);
  FreeMeshVert(loose);
  EXPECT_EQ(LinkAtHead(V(7, 0, 0))->index, 4u);

  DeleteVertices(1);
  EXPECT_EQ(LinkAtHead(V(8, 0, 0))->index, 0u);
}

TEST_F(LevelRecords, AVertexMadeRightAfterAReadFileFollowsTheWholeLevel) {
  LinkAtHead(V(0, 0, 0));
  LinkAtHead(V(1, 0, 0));
  LinkAtHead(V(2, 0, 0))->selected = 1;
  GenerateLevelFromMesh();
  DeleteVertices(0);
  // A file whose vertex numbers run 0..3 goes in front of the two old vertices; the level is
  // rebuilt only before the next frame or query, yet a vertex made now already follows all six.
  const std::string file =
      "Mesh\t1\t1\nhand made\n0\t0\t0\t0\n1\t660\t0\t0\n2\t0\t0\t660\n3\t660\t0\t660\nEDGES\n"
      "MATERIAL\t255\t255\t255\t0\t0\t0\t0\t0\t0\t0\t1\t1\t1\t0\n0\t1\t2\n1\t3\t2\nEND\n";
  LoadTrianglesFromMeshworkMemory(file.data(), file.size(), "level.mw", 1.0f, 0);
  EXPECT_EQ(CountVertices(), 6);
  EXPECT_EQ(LinkAtHead(V(9, 0, 0))->index, 6u);
}

// Arrays growing across the size where they move from the heap to large pages (and back, when
// swapped with a small one) keep their contents; the large ones start on a large-page boundary.
TEST(LargePageVector, GrowsAcrossTheLargePageSizeKeepingItsContents) {
  LargePageVector<uint32_t> values;
  const size_t count = 3 * kLargePageBytes / sizeof(uint32_t) + 5;
  for (size_t k = 0; k < count; ++k) {
    values.push_back(static_cast<uint32_t>(k * 2654435761u));
    if (values.size() == values.capacity() && values.capacity() * sizeof(uint32_t) >= 2 * kLargePageBytes) {
      EXPECT_EQ(reinterpret_cast<uintptr_t>(values.data()) % kLargePageBytes, 0u);
    }
  }
  LargePageVector<uint32_t> small(7, 9u);
  values.swap(small);
  ASSERT_EQ(small.size(), count);
  for (size_t k = 0; k < count; k += 4099) EXPECT_EQ(small[k], static_cast<uint32_t>(k * 2654435761u));
  EXPECT_EQ(small.back(), static_cast<uint32_t>((count - 1) * 2654435761u));
  values.resize(count);  // from 7 items on the heap to large pages
  EXPECT_EQ(values[6], 9u);
  EXPECT_EQ(values[count - 1], 0u);
  small.resize(3);
  small.shrink_to_fit();  // from large pages back to the heap
  EXPECT_EQ(small[2], static_cast<uint32_t>(2 * 2654435761u));
}

}  // namespace

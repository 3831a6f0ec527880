// The owner template, the SelectObject restorer and the scope guard.
#include "UniqueAny.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records every value it frees.
struct RecordingDeleter {
  std::vector<int>* freed = nullptr;
  void operator()(int value) const { freed->push_back(value); }
};
using Owner = UniqueAny<int, RecordingDeleter, 0>;

TEST(UniqueAny, FreesOnceAtScopeEndAndNeverAfterRelease) {
  std::vector<int> freed;
  { Owner owner(5, RecordingDeleter{&freed}); }
  EXPECT_EQ(std::vector<int>({5}), freed);

  {
    Owner owner(6, RecordingDeleter{&freed});
    EXPECT_EQ(6, owner.release());
    EXPECT_FALSE(owner);
  }
  EXPECT_EQ(std::vector<int>({5}), freed);
}

TEST(UniqueAny, ResetFreesTheOldValueButNotTheSameOneTwice) {
  std::vector<int> freed;
  Owner owner(1, RecordingDeleter{&freed});
  owner.reset(2);
  EXPECT_EQ(std::vector<int>({1}), freed);
  owner.reset(2);  // the same value: still held, not freed
  EXPECT_EQ(std::vector<int>({1}), freed);
  EXPECT_EQ(2, owner.get());
  owner.reset();
  EXPECT_EQ(std::vector<int>({1, 2}), freed);
  EXPECT_FALSE(owner);
}

TEST(UniqueAny, MoveHandsTheValueOverAndAssignmentFreesTheTargetsOwn) {
  std::vector<int> freed;
  {
    Owner first(3, RecordingDeleter{&freed});
    Owner second(std::move(first));
    EXPECT_EQ(0, first.get());
    EXPECT_EQ(3, second.get());
    EXPECT_TRUE(freed.empty());

    Owner third(4, RecordingDeleter{&freed});
    third = std::move(second);
    EXPECT_EQ(std::vector<int>({4}), freed);
    EXPECT_EQ(3, third.get());
  }
  EXPECT_EQ(std::vector<int>({4, 3}), freed);  // the moved-from owners free nothing
}

TEST(UniqueAny, GdiOwnerDeletesItsObjectAndTheRestorerPutsTheOldOneBack) {
  UniqueMemoryDC dc(CreateCompatibleDC(NULL));
  ASSERT_TRUE(dc);
  const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BRUSH);
  HBRUSH raw = NULL;
  {
    UniqueHBRUSH brush(CreateSolidBrush(RGB(1, 2, 3)));
    raw = brush.get();
    ASSERT_EQ((DWORD)OBJ_BRUSH, GetObjectType(raw));
    SelectObjectRestorer selected(dc.get(), brush.get());
    EXPECT_TRUE(selected.selected());
    EXPECT_EQ((HGDIOBJ)raw, GetCurrentObject(dc.get(), OBJ_BRUSH));
  }
  EXPECT_EQ(original, GetCurrentObject(dc.get(), OBJ_BRUSH));
  EXPECT_EQ(0u, GetObjectType(raw));  // deleted after it was deselected
}

TEST(ScopeExit, RunsOnceUnlessDismissed) {
  int runs = 0;
  {
    auto guard = scope_exit([&] { ++runs; });
  }
  EXPECT_EQ(1, runs);
  {
    auto guard = scope_exit([&] { ++runs; });
    guard.dismiss();
  }
  EXPECT_EQ(1, runs);
}

}  // namespace

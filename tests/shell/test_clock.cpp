// The game clock, the frame-rate sample, the task list order and the zero-elapsed logic
// passes after a mode change or a level switch.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "shell/game_loop.h"
#include "shell/startup.h"
#include "shell/timed_tasks.h"

namespace {
void ResetClock(int64_t startMs) {
  gCurrentTime = 0;
  gOldTime = 0;
  gLastFPSGet = 0;
  gNumFrames = 0;
  fps = 0.0f;
  prevTime = startMs;
  curTime = startMs;
}
}  // namespace

TEST(GameClock, CounterConvertsToWholeMillisecondsTruncated) {
  EXPECT_EQ(CounterTicksToMilliseconds(1999999, 1000000000), 1);
  EXPECT_EQ(CounterTicksToMilliseconds(2000000, 1000000000), 2);
  EXPECT_EQ(CounterTicksToMilliseconds(0, 1000000000), 0);
  EXPECT_EQ(CounterTicksToMilliseconds(12345, 0), 0);  // no frequency: no time, no division
}

TEST(GameClock, PassUnderAMillisecondLeavesTheClockUnchanged) {
  ResetClock(1000);
  AdvanceGameClock(1007);
  EXPECT_EQ(gCurrentTime, 7u);
  // 0.4 ms later the counter still reads the same whole millisecond.
  AdvanceGameClock(CounterTicksToMilliseconds(1007400000LL, 1000000000LL));
  EXPECT_EQ(gCurrentTime, 7u);
  EXPECT_EQ(gCurrentTime - gOldTime, 0u);
}

TEST(GameClock, FrameRateIsSampledOnlyAfterHalfASecond) {
  ResetClock(0);
  AdvanceGameClock(20);  // first pass: the sample reference is taken
  EXPECT_EQ(fps, 0.0f);
  gNumFrames = 10;
  AdvanceGameClock(400);  // 0.38 s since the reference: no sample yet
  EXPECT_EQ(fps, 0.0f);
  EXPECT_EQ(gNumFrames, 10);
  gNumFrames = 30;
  AdvanceGameClock(620);  // 0.6 s since the reference at 20 ms
  EXPECT_FLOAT_EQ(fps, 30.0f / 0.6f);
  EXPECT_EQ(gNumFrames, 0);
  EXPECT_EQ(gLastFPSGet, 620u);
}

namespace {
std::vector<int> gCalls;
int FirstTask() {
  gCalls.push_back(1);
  return 1;
}
int SecondTask() {
  gCalls.push_back(2);
  return 1;
}
}  // namespace

TEST(TimedTasks, EveryTaskRunsOncePerPassInListOrderRegardlessOfInterval) {
  timed_task drawing, logic;
  InstallTimedTask(&drawing, FirstTask, 1, 40);
  InstallTimedTask(&logic, SecondTask, 2, 20);
  drawing.next = &logic;
  timed_task* saved = baseTask.next;
  baseTask.next = &drawing;
  gCalls.clear();
  curTime = 1000;
  RunTimedTasks();
  curTime = 1001;  // far less than either interval
  RunTimedTasks();
  baseTask.next = saved;
  EXPECT_EQ(gCalls, (std::vector<int>{1, 2, 1, 2}));
  // The period phase keeps the remainder: 1 ms into a 40 ms period.
  EXPECT_EQ(drawing.lastCall, 1000);
}

class LogicPass : public ::testing::Test {
 protected:
  void SetUp() override {
    PlatformOptions options;
    options.backend = kPlatformHeadless;
    Plat_Init(options);
    ResetClock(0);
    levelChanged = 0;
    stopClock = 0;
  }
  void TearDown() override { Plat_Shutdown(); }

  // One main-loop pass advancing the clock by `ms`; returns the logic pass's elapsed time.
  uint32_t Pass(int64_t ms) {
    AdvanceGameClock(curTime + ms);
    GameLoop();
    return gCurrentTime - gOldTime;
  }
};

TEST_F(LogicPass, SecondPassAfterStartUpHasZeroElapsedTime) {
  editMode = 4;
  oldEditMode = 1;
  EXPECT_EQ(Pass(20), 20u);
  EXPECT_EQ(Pass(20), 0u);
  EXPECT_EQ(Pass(20), 20u);
}

TEST_F(LogicPass, SecondPassAfterALevelSwitchHasZeroElapsedTime) {
  editMode = oldEditMode = 4;
  EXPECT_EQ(Pass(20), 20u);
  levelChanged = 1;
  EXPECT_EQ(Pass(30), 30u);  // the pass that sees the switch still has its time
  EXPECT_EQ(levelChanged, 0);
  EXPECT_EQ(Pass(30), 0u);
  EXPECT_EQ(Pass(30), 30u);
}

TEST_F(LogicPass, TintIsResetFromTheLevelColoursEveryPass) {
  editMode = oldEditMode = 4;
  baseCol1 = 0.5f;
  baseCol2 = 0.25f;
  baseCol3 = 1.0f;
  tintColor = {0.0f, 0.0f, 0.0f};
  Pass(20);
  EXPECT_FLOAT_EQ(tintColor.x, 0.5f);
  EXPECT_FLOAT_EQ(tintColor.y, 0.25f);
  EXPECT_FLOAT_EQ(tintColor.z, 1.0f);
  baseCol1 = baseCol2 = baseCol3 = 1.0f;
}

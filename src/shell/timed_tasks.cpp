// Clock and timed-task loop: one pass advances the game clock, samples the frame rate and
// calls every task once, whether or not its nominal interval has elapsed.
#include "shell/timed_tasks.h"

#include "platform/platform.h"
#include "shell/input.h"

timed_task baseTask = {0, 0, 0, nullptr, nullptr};
timed_task* taskPtr = nullptr;

int64_t timeFreq = 0;
int64_t curTime = 0, prevTime = 0;
uint32_t gCurrentTime = 0;
uint32_t gOldTime = 0;
int gNumFrames = 0;
uint32_t gLastFPSGet = 0;
float fps = 0.0f;
int stopClock = 0;
int gFixedStepMs = 0;

namespace {
int64_t gFixedCounter = 0;
}

void InstallTimedTask(timed_task* task, int (*handler)(), int id, long interval) {
  task->taskID = id;
  task->taskHandle = handler;
  task->microInterval = static_cast<int32_t>(interval);
  task->lastCall = 0;
  task->next = nullptr;
}

int64_t CounterTicksToMilliseconds(int64_t ticks, int64_t frequency) {
  if (frequency <= 0) return 0;
  return static_cast<int64_t>(static_cast<double>(ticks) / static_cast<double>(frequency) * 1000.0);
}

int64_t ReadCounterMilliseconds() {
  if (gFixedStepMs > 0) {
    int64_t now = gFixedCounter;
    gFixedCounter += gFixedStepMs;
    return now;
  }
  if (timeFreq <= 0) timeFreq = Plat_CounterFrequency();
  return CounterTicksToMilliseconds(Plat_CounterTicks(), timeFreq);
}

void HandleTimedTasks() {
  AdvanceGameClock(ReadCounterMilliseconds());
  RunTimedTasks();
  for (int i = 0; i < 3; i++) gOldMouseButtons[i] = gMouseButtons[i];
}

void AdvanceGameClock(int64_t nowMilliseconds) {
  curTime = nowMilliseconds;
  gOldTime = gCurrentTime;
  if (gLastFPSGet == 0) gLastFPSGet = gCurrentTime;
  gCurrentTime += static_cast<uint32_t>(curTime - prevTime);
  prevTime = curTime;

  float s = static_cast<float>(static_cast<uint32_t>(gCurrentTime - gLastFPSGet)) / 1000.0f;
  if (s > 0.5f) {
    fps = static_cast<float>(gNumFrames) / s;
    gLastFPSGet = gCurrentTime;
    gNumFrames = 0;
  }
}

void RunTimedTasks() {
  int32_t now = static_cast<int32_t>(curTime);
  for (timed_task* t = baseTask.next; t; t = t->next) {
    if (t->lastCall == 0) t->lastCall = now;
    int32_t d = now - t->lastCall;
    int32_t interval = t->microInterval > 0 ? t->microInterval : 1;
    int32_t n = d / interval;
    int32_t r = d - n * interval;
    if (t->taskHandle) t->taskHandle();
    t->lastCall = now - r;
  }
}

void DisposeTimedTasks() {
  timed_task* t = baseTask.next;
  while (t) {
    timed_task* next = t->next;
    delete t;
    t = next;
  }
  baseTask.next = nullptr;
}

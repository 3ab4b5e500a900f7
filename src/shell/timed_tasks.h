// The game clock and the list of timed tasks that the main loop calls once per pass:
// drawing first, then logic.
#pragma once
#include <cstdint>

struct timed_task {
  int32_t microInterval;  // nominal period in ms (40 drawing, 20 logic); never gates a call
  int32_t lastCall;       // low 32 bits of curTime when the period last began; 0 = never
  int taskID;             // 1 drawing, 2 logic
  int (*taskHandle)();
  timed_task* next;
};

extern timed_task baseTask;  // list head; carries no task
extern timed_task* taskPtr;

extern int64_t timeFreq;
extern int64_t curTime, prevTime;
extern uint32_t gCurrentTime;  // game clock in whole milliseconds since start
extern uint32_t gOldTime;      // gCurrentTime of the previous pass
extern int gNumFrames;
extern uint32_t gLastFPSGet;
extern float fps;
extern int stopClock;

// With a fixed step (> 0) the counter reads as if exactly that many milliseconds passed
// in every pass instead of wall time.
extern int gFixedStepMs;

void InstallTimedTask(timed_task* task, int (*handler)(), int id, long interval);

// One pass: advance the clock, call every task once, keep the mouse buttons' states.
void HandleTimedTasks();

// The clock part of a pass, given the counter in milliseconds: gOldTime, gCurrentTime and
// the frame-rate sample.
void AdvanceGameClock(int64_t nowMilliseconds);

// Calls every task of the list once, in list order, and keeps each one's period phase.
void RunTimedTasks();

int64_t CounterTicksToMilliseconds(int64_t ticks, int64_t frequency);

// Reads the counter in milliseconds, or advances it by the fixed step.
int64_t ReadCounterMilliseconds();

// Frees the task records after the main loop ended.
void DisposeTimedTasks();

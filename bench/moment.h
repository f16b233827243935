#pragma once
// Timing on a shared machine: the wall-clock time together with the calling
// thread's CPU time, which leaves out the waits for a core that a busy
// machine adds and keeps the page faults.

#include <time.h>

#include <chrono>

struct TSpan {
  std::chrono::steady_clock::duration Wall;
  std::chrono::nanoseconds Cpu;
};

struct TMoment {
  static TMoment Now() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return {std::chrono::steady_clock::now(),
            std::chrono::seconds(cpu.tv_sec) + std::chrono::nanoseconds(cpu.tv_nsec)};
  }

  TSpan Since(const TMoment& start) const { return {Wall - start.Wall, Cpu - start.Cpu}; }

  std::chrono::steady_clock::time_point Wall;
  std::chrono::nanoseconds Cpu;
};

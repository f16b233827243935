#pragma once
// The process's resident memory as the kernel counts it: what it holds now
// (VmRSS) and its high-water mark (VmHWM), which clearing the reference bits
// resets to what is held.

#include <cstring>
#include <fstream>
#include <string>

// A field of /proc/self/status in kilobytes, -1 when it is missing.
inline long ResidentKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, length, field) == 0) return std::stol(line.substr(length));
  return -1;
}

inline double ResidentMegabytes(const char* field) { return double(ResidentKilobytes(field)) / 1024; }

inline void ResetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

#pragma once

#include <QString>
#include <cstdint>

namespace zizara::core::live {

// The computer as the about window shows it.
struct SystemFacts {
  QString os_name;   // the distribution's pretty name and the kernel version
  int os_major = 0;  // kernel version parts
  int os_minor = 0;
  int os_build = 0;
  QString computer_name;
  QString user_name;
  bool network = false;  // a non-loopback interface is up
  std::int64_t uptime_ms = 0;
  std::uint64_t total_memory = 0;  // bytes
  std::uint64_t available_memory = 0;
};

SystemFacts ReadSystemFacts();
// Uptime and memory only, for the once-a-second refresh.
void RefreshLiveFacts(SystemFacts& facts);

// The processor's time-stamp counter; a steady clock in nanoseconds off x86.
std::uint64_t ReadTimeStampCounter();
// Counter ticks over a measured time as MHz.
double CpuSpeedMhz(std::uint64_t ticks, std::int64_t elapsed_ns);

}  // namespace zizara::core::live

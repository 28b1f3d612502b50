#include "core/live/system_info.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <pwd.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <QSysInfo>
#include <chrono>

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

namespace zizara::core::live {

namespace {

bool NetworkAttached() {
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) {
    return false;
  }
  bool up = false;
  for (const ifaddrs* a = list; a != nullptr && !up; a = a->ifa_next) {
    up = (a->ifa_flags & IFF_UP) != 0 && (a->ifa_flags & IFF_LOOPBACK) == 0 &&
         (a->ifa_flags & IFF_RUNNING) != 0;
  }
  ::freeifaddrs(list);
  return up;
}

QString UserName() {
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_name != nullptr) {
    return QString::fromLocal8Bit(pw->pw_name);
  }
  return qEnvironmentVariable("USER");
}

}  // namespace

void RefreshLiveFacts(SystemFacts& facts) {
  struct sysinfo info {};
  if (::sysinfo(&info) == 0) {
    facts.uptime_ms = static_cast<std::int64_t>(info.uptime) * 1000;
    facts.total_memory = static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
    facts.available_memory =
        (static_cast<std::uint64_t>(info.freeram) + info.bufferram) * info.mem_unit;
  }
  // The kernel's own estimate counts reclaimable caches too; sysinfo() has no such figure.
  QFile meminfo(QStringLiteral("/proc/meminfo"));
  if (meminfo.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
      if (line.startsWith("MemAvailable:")) {
        bool ok = false;
        const qulonglong kb = line.mid(13).trimmed().split(' ').value(0).toULongLong(&ok);
        if (ok) facts.available_memory = static_cast<std::uint64_t>(kb) * 1024;
      }
    }
  }
}

SystemFacts ReadSystemFacts() {
  SystemFacts facts;
  const QString kernel = QSysInfo::kernelVersion();
  facts.os_name = QSysInfo::prettyProductName() + QStringLiteral(" (Kernel: ") + kernel + ')';
  // "6.1.0-18-amd64": major, minor and the number after them.
  const QStringList parts = kernel.split(QLatin1Char('.'));
  const auto number = [](const QString& part) {
    int end = 0;
    while (end < part.size() && part[end].isDigit()) ++end;
    return part.left(end).toInt();
  };
  facts.os_major = parts.size() > 0 ? number(parts[0]) : 0;
  facts.os_minor = parts.size() > 1 ? number(parts[1]) : 0;
  facts.os_build = parts.size() > 2 ? number(parts[2]) : 0;
  facts.computer_name = QSysInfo::machineHostName();
  facts.user_name = UserName();
  facts.network = NetworkAttached();
  RefreshLiveFacts(facts);
  return facts;
}

std::uint64_t ReadTimeStampCounter() {
#if defined(__x86_64__) || defined(__i386__)
  return __rdtsc();
#else
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
#endif
}

double CpuSpeedMhz(std::uint64_t ticks, std::int64_t elapsed_ns) {
  if (elapsed_ns <= 0) {
    return 0.0;
  }
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(elapsed_ns);
}

}  // namespace zizara::core::live

// Runs a fuzz target over its seed corpus (files or folders given as arguments), so that
// builds without libFuzzer still exercise every seed as an ordinary test.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
int RunOne(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
    return 1;
  }
  const QByteArray bytes = f.readAll();
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()));
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  int failures = 0;
  int runs = 0;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (QFileInfo(arg).isDir()) {
      QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
      while (it.hasNext()) {
        failures += RunOne(it.next());
        ++runs;
      }
    } else {
      failures += RunOne(arg);
      ++runs;
    }
  }
  std::printf("replayed %d inputs\n", runs);
  return failures == 0 && runs > 0 ? 0 : 1;
}

#include <QCoreApplication>
#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <memory>

#include "cli/cli.h"
#include "core/i18n/tr.h"

namespace {
// Only drawing a picture needs fonts, so only then is the graphical application made, on the
// offscreen platform unless the user chose another. The matrix picture is drawn by widgets.
bool DrawsPicture(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--png") == 0) {
      return true;
    }
  }
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<QCoreApplication> app;
  if (DrawsPicture(argc, argv)) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    app = std::make_unique<QApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
  }
  zizara::core::i18n::InitTranslations(QCoreApplication::applicationDirPath());
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return zizara::cli::RunCli(args, out, err);
}

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "cli/cli.h"
#include "core/i18n/tr.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  zizara::core::i18n::InitTranslations(QCoreApplication::applicationDirPath());
  QTextStream out(stdout);
  QTextStream err(stderr);
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  return zizara::cli::RunCli(args, out, err);
}

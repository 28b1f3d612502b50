#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "core/i18n/tr.h"
#include "core/link/serial_transport.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_settings.h"
#include "gui/app/app_context.h"
#include "gui/app/command_line.h"
#include "gui/app/main_form.h"
#include "gui/app/program_options_commands.h"
#include "gui/app/single_instance.h"
#include "gui/app/splash_form.h"
#include "gui/common/icons.h"
#include "gui/help/help.h"
#include "gui/help/help_topics.h"
#include "gui/link/link_controller.h"
#include "gui/ui/qt_prompts.h"
#include "sim/control_server.h"
#include "sim/pty_server.h"
#include "sim/qlx_instrument.h"
#include "sim/sim_app.h"

using zizara::core::i18n::Tr;
namespace app = zizara::gui::app;

namespace {

// With VT_ZIZARA_REPORT_SHOWN set, says on stderr when the main window was first painted, so
// that start-up can be timed from outside.
class ShownReporter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      watched->removeEventFilter(this);
      std::fputs("vt-zizara: main window shown\n", stderr);
      std::fflush(stderr);
    }
    return false;
  }
};

// The built-in simulated instrument, served on a pty of its own for this run.
struct BuiltInSimulator {
  std::unique_ptr<zizara::sim::QlxInstrument> instrument;
  std::unique_ptr<zizara::sim::PtyServer> server;
  std::unique_ptr<zizara::sim::ControlServer> control;
};

bool StartSimulator(const QStringList& options, BuiltInSimulator* sim, QString* port,
                    QString* error) {
  zizara::sim::SimAppOptions parsed;
  QStringList args = options;
  if (!args.contains(QStringLiteral("--link"))) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    args << QStringLiteral("--link")
         << QDir(dir.isEmpty() ? QDir::tempPath() : dir)
                .filePath(QStringLiteral("vt-zizara-qlx-%1").arg(QCoreApplication::applicationPid()));
  }
  if (zizara::sim::ParseSimArguments(args, &parsed, error) != zizara::sim::ParseOutcome::kRun) {
    if (error->isEmpty()) {
      *error = zizara::sim::SimUsage();
    }
    return false;
  }
  sim->instrument = zizara::sim::QlxInstrument::Create(parsed.instrument, error);
  if (!sim->instrument) {
    return false;
  }
  sim->server = std::make_unique<zizara::sim::PtyServer>(sim->instrument.get());
  sim->server->SetBaud(parsed.instrument.baud);
  if (!sim->server->Start(parsed.link, error)) {
    return false;
  }
  if (!parsed.control_path.isEmpty()) {
    // Lets a user make changes "at the instrument" while the program runs.
    sim->control = std::make_unique<zizara::sim::ControlServer>(sim->instrument.get());
    if (!sim->control->Listen(parsed.control_path, error)) {
      return false;
    }
  }
  *port = parsed.link;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Help and usage errors need no display, so they are answered before any window exists.
  zizara::core::i18n::InitTranslations(
      QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath());
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  const app::CommandLine cl = app::ParseCommandLine(arguments);
  if (cl.help) {
    QTextStream(stdout) << app::CommandLineHelp();
    return 0;
  }
  if (!cl.error.isEmpty()) {
    QTextStream(stderr) << "vt-zizara: " << cl.error << '\n' << app::CommandLineHelp();
    return 2;
  }

  QApplication application(argc, argv);
  // Qt has just reset the locale from the environment; choose the messages locale again.
  zizara::core::i18n::InitTranslations(
      QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath());
  QApplication::setApplicationName(QStringLiteral("VT-Zizara"));
  // No display name: the window system would add it to every window title.
  zizara::gui::common::InitResources();
  QTextStream err(stderr);

  const QString caption = Tr("VT-Zizara v. 1.2");
  app::SingleInstance instance(caption);
  if (cl.ForwardsToRunningInstance() && instance.SendToRunning(cl.file)) {
    return 0;
  }
  instance.Listen();

  app::AppContext ctx;
  ctx.advanced_mode = cl.advanced_mode;
  ctx.help_file = zizara::gui::help::FindHelpIndex(QCoreApplication::applicationDirPath());
  zizara::gui::help::DesktopHelpBrowser browser;
  zizara::gui::help::Help help(ctx.help_file, &browser);
  ctx.help = &help;
  application.installEventFilter(&help);  // F1 in any window opens its topic
  BuiltInSimulator simulator;
  QString simulated_port;
  if (cl.simulate) {
    QString error;
    if (!StartSimulator(cl.simulator_options, &simulator, &simulated_port, &error)) {
      err << "vt-zizara: " << Tr("the simulated instrument could not start: ") << error << '\n';
      return 1;
    }
    ctx.simulated = true;
  }

  QPointer<app::TSplashForm> splash;
  if (arguments.isEmpty() || cl.simulate) {
    splash = new app::TSplashForm();
    splash->SetBuildText(Tr("Build: ") + QStringLiteral("1.2.0.0"));
    splash->show();
    QCoreApplication::processEvents();
  }

  zizara::gui::ui::QtPrompts prompts;
  zizara::gui::ui::QtFileChooser files;
  ctx.current_port = zizara::core::settings::DefaultPortName(zizara::core::link::AvailablePorts());
  app::TMainForm form(ctx, prompts, files, zizara::core::settings::SettingsFilePath());
  prompts.SetParent(&form);
  files.SetParent(&form);
  QObject::connect(&instance, &app::SingleInstance::PathReceived, &form,
                   &app::TMainForm::HandleForwardedPath);

  form.LoadSettings();
  if (ctx.simulated) {
    ctx.current_port = simulated_port;  // for this run only; the stored port stays
    form.setWindowTitle(caption + Tr(" - simulated QLX"));
  }
  form.BuildInterfaceMenu(zizara::core::link::AvailablePorts(ctx.current_port));

  zizara::gui::link::LinkController controller(
      ctx, prompts,
      [](const QString& port) {
        return std::make_unique<zizara::core::link::SerialTransport>(port);
      },
      &form);
  form.SetLinkController(&controller);
  controller.WaitForm()->SetSplash(splash);  // the splash shows its own progress meanwhile

  // The switches act without windows and end the program; when their conditions fail,
  // start-up goes on as without them.
  if ((cl.download_mode || cl.restart) && !ctx.port_unavailable &&
      ctx.link_mode == zizara::core::link::LinkMode::kCom) {
    if (splash != nullptr) {
      splash->hide();
    }
    const bool done = cl.download_mode ? controller.DownloadModeFromCommandLine()
                                       : controller.RestartFromCommandLine();
    if (done) {
      return 0;
    }
  }
  ShownReporter shown_reporter;
  if (qEnvironmentVariableIsSet("VT_ZIZARA_REPORT_SHOWN")) {
    form.installEventFilter(&shown_reporter);
  }
  if (form.StartMaximized()) {
    form.showMaximized();
  } else {
    form.show();
  }
  if (splash != nullptr && splash->isVisible()) {
    splash->raise();
    form.SetSplashActive(true);
    QObject::connect(splash, &app::TSplashForm::Finished, &form,
                     [&form] { form.SetSplashActive(false); });
  }
  if (!cl.file.isEmpty()) {
    form.HandleCommandLineFile(cl.file);
  }
  QTimer::singleShot(0, &form, [&form] {
    form.ConnectAtStartUp();
    form.ProgramOptions()->CheckAtStartUp();
  });
  return QApplication::exec();
}

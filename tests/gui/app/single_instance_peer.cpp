// A stand-in for a second program start: uses SingleInstance as vt-zizara does and reports on
// stdout what happened, so tests can run several real processes against one socket.
//   single_instance_peer KEY serve      listen and print every path received; "/quit" ends it
//   single_instance_peer KEY start      a start without a path: listen, say whether, and end
//   single_instance_peer KEY send PATH  hand PATH to the running instance

#include <QCoreApplication>
#include <QTextStream>

#include "gui/app/single_instance.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 3) {
    return 2;
  }
  QTextStream out(stdout);
  zizara::gui::app::SingleInstance instance(args[1]);
  const QString mode = args[2];
  if (mode == QLatin1String("send") && args.size() == 4) {
    out << (instance.SendToRunning(args[3]) ? "sent" : "not sent") << Qt::endl;
    return 0;
  }
  const bool listening = instance.Listen();
  out << "listening " << (listening ? 1 : 0) << Qt::endl;
  if (mode != QLatin1String("serve")) {
    return 0;
  }
  QObject::connect(&instance, &zizara::gui::app::SingleInstance::PathReceived, &app,
                   [&out](const QString& path) {
                     out << "got " << path << Qt::endl;
                     if (path == QLatin1String("/quit")) {
                       QCoreApplication::quit();
                     }
                   });
  return QCoreApplication::exec();
}

#include "gui/help/help.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QWidget>

#include "gui/help/help_topics.h"

namespace zizara::gui::help {
namespace {

// Windows are known by object name where they set one, else by their class.
QStringList NamesOf(const QObject* object) {
  QStringList names;
  if (!object->objectName().isEmpty()) {
    names << object->objectName();
  }
  const QString cls = QString::fromLatin1(object->metaObject()->className());
  names << cls.mid(cls.lastIndexOf(QLatin1Char(':')) + 1);
  return names;
}

}  // namespace

bool DesktopHelpBrowser::Open(const QUrl& url) { return QDesktopServices::openUrl(url); }

Help::Help(QString index_file, HelpBrowser* browser, QObject* parent)
    : QObject(parent), index_file_(std::move(index_file)), browser_(browser) {}

bool Help::OpenContents() { return OpenTarget(QString()); }

bool Help::OpenContext(int context) { return OpenTarget(HelpTarget(context)); }

bool Help::OpenTarget(const QString& target) {
  if (index_file_.isEmpty() || browser_ == nullptr) {
    return false;
  }
  return browser_->Open(HelpUrl(index_file_, target));
}

bool Help::OpenForWidget(const QWidget* widget) {
  // The innermost window with a topic wins; a field of it with a topic of its own wins over it.
  QStringList fields;
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    for (const QString& name : NamesOf(w)) {
      for (const QString& field : fields) {
        const QString target = HelpTargetForWindow(name, field);
        if (!target.isEmpty() && target != HelpTargetForWindow(name)) {
          return OpenTarget(target);
        }
      }
      const QString target = HelpTargetForWindow(name);
      if (!target.isEmpty()) {
        return OpenTarget(target);
      }
    }
    if (!w->objectName().isEmpty()) {
      fields << w->objectName();
    }
  }
  return OpenContents();
}

bool Help::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !watched->isWidgetType()) {
    return false;
  }
  const auto* widget = static_cast<QWidget*>(watched);
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    for (const QString& name : NamesOf(w)) {
      if (WindowUsesF1(name)) {
        return false;
      }
    }
  }
  OpenForWidget(widget);
  return true;
}

}  // namespace zizara::gui::help

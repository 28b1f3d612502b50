#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

class QWidget;

namespace zizara::gui::help {

// Shows a page of the manual; the desktop's browser in the program, a recorder in tests.
class HelpBrowser {
 public:
  virtual ~HelpBrowser() = default;
  virtual bool Open(const QUrl& url) = 0;
};

class DesktopHelpBrowser : public HelpBrowser {
 public:
  bool Open(const QUrl& url) override;
};

// The program's one way into the manual: the Help menu, the "Help!" button and F1 in any
// window, which opens that window's topic once installed as an application event filter.
// Without a manual (an empty index file) every request does nothing.
class Help : public QObject {
  Q_OBJECT

 public:
  Help(QString index_file, HelpBrowser* browser, QObject* parent = nullptr);

  const QString& IndexFile() const { return index_file_; }

  bool OpenContents();
  // An unknown context number opens the contents.
  bool OpenContext(int context);
  // The topic of the window that holds `widget`, or the contents.
  bool OpenForWidget(const QWidget* widget);
  // "page.html#anchor"
  bool OpenTarget(const QString& target);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString index_file_;
  HelpBrowser* browser_;
};

}  // namespace zizara::gui::help

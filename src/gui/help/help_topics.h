#pragma once

#include <QString>
#include <QUrl>
#include <vector>

namespace zizara::gui::help {

// One entry of the manual's topic table. A context number of 0 marks a window that has no
// number of its own but still has a topic for F1.
struct HelpTopic {
  int context;
  const char* window;  // object name of the window the topic belongs to, or nullptr
  const char* field;   // object name of a field inside that window with its own topic, or nullptr
  const char* target;  // "page.html#anchor" inside the manual's folder
};

// The whole table, in context order, numbered entries first.
const std::vector<HelpTopic>& HelpTopics();

// "page.html#anchor" for a context number, or an empty text when the number is not known.
QString HelpTarget(int context);

// The topic of a window (and of a field inside it, when the field has one of its own).
QString HelpTargetForWindow(const QString& window, const QString& field = {});

// Windows that use F1 themselves, so F1 there is not a help key.
bool WindowUsesF1(const QString& window);

// The manual's contents page: installed under <prefix>/share/doc/vt-zizara/help beside the
// program's bin folder, or copied into <build>/docs/help when run from a build tree. Empty
// when there is none.
QString FindHelpIndex(const QString& program_dir);

// The address of a target relative to the contents page.
QUrl HelpUrl(const QString& index_file, const QString& target);

}  // namespace zizara::gui::help

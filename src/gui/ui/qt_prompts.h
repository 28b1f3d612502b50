#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::ui {

// Message boxes of the four kinds over the given parent window.
class QtPrompts : public core::ui_port::Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  core::ui_port::Answer Ask(core::ui_port::PromptKind kind, const QString& text,
                            core::ui_port::PromptButtons buttons) override;
  core::ui_port::Answer AskWithLook(core::ui_port::PromptKind kind, const QString& text,
                                    core::ui_port::PromptButtons buttons,
                                    const core::ui_port::PromptLook& look) override;

 private:
  QPointer<QWidget> parent_;
};

class QtFileChooser : public core::ui_port::FileChooser {
 public:
  explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  QString OpenFileName(const QString& title, const QString& filter) override;
  QString SaveFileName(const QString& title, const QString& filter,
                       const QString& suggested) override;
  QString SaveFileNameWithChoice(const QString& title, const QString& filter,
                                 const QString& suggested, QString* selected) override;

 private:
  QPointer<QWidget> parent_;
};

// A scripted chooser for tests: hands out queued names, then "cancelled".
class ScriptedFileChooser : public core::ui_port::FileChooser {
 public:
  QStringList open_names;
  QStringList save_names;
  QString save_choice;  // the filter a save dialog with choices returns; empty: the first
  int asked = 0;
  QString OpenFileName(const QString&, const QString&) override {
    ++asked;
    return open_names.isEmpty() ? QString() : open_names.takeFirst();
  }
  QString SaveFileName(const QString&, const QString&, const QString&) override {
    ++asked;
    return save_names.isEmpty() ? QString() : save_names.takeFirst();
  }
  QString SaveFileNameWithChoice(const QString& title, const QString& filter,
                                 const QString& suggested, QString* selected) override {
    *selected = save_choice.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : save_choice;
    return SaveFileName(title, filter, suggested);
  }
};

}  // namespace zizara::gui::ui

#pragma once

#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <functional>
#include <optional>

#include "core/ui_port/prompts.h"

namespace zizara::gui::matrix {

// What a caller asks of the text-entry dialog. The maximum length tells the uses apart:
// 4 a channel name, 10 a preset name, 25 a macro name.
struct EditRequest {
  QString caption;
  QString group;
  QString text;
  int max_length = 4;
};

inline constexpr int kChannelNameMaxLength = 4;
inline constexpr int kPresetNameMaxLength = 10;
inline constexpr int kMacroNameMaxLength = 25;

// `TEditForm`: the one text-entry dialog. OK refuses text with characters a name cannot hold
// and stays open; the caller stores the accepted text.
class TEditForm : public QDialog {
  Q_OBJECT

 public:
  TEditForm(core::ui_port::Prompts& prompts, QWidget* parent = nullptr);

  void Setup(const EditRequest& request);
  QString Text() const { return edit_->text(); }
  QLineEdit* Edit1() { return edit_; }
  QGroupBox* EditGroup() { return group_; }
  QPushButton* Button1() { return ok_; }
  QPushButton* Button2() { return cancel_; }

  // The accepted text, or nullopt on Cancel.
  static std::optional<QString> Run(core::ui_port::Prompts& prompts, QWidget* parent,
                                    const EditRequest& request);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Button1Click();

  core::ui_port::Prompts& prompts_;
  QGroupBox* group_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

// How the matrix opens the dialog; tests put a scripted one in its place.
using EditDialogRunner = std::function<std::optional<QString>(const EditRequest&)>;

}  // namespace zizara::gui::matrix

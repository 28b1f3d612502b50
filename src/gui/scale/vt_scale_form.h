#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QToolButton>
#include <array>
#include <functional>
#include <optional>

#include "core/scale/scale_image.h"
#include "core/scale/scale_library.h"
#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"

namespace zizara::gui::scale {

// The black panel the scale is drawn on. It keeps its picture, so a drawing that changes
// nothing leaves the previous one in place, and shows the marker hints.
class TScaleViewPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TScaleViewPanel(QWidget* parent = nullptr);
  // Draws the image's preview unless its largest and smallest values are equal.
  void Draw(const core::scale::ScaleImage& image);
  const QImage& picture() const { return picture_; }
  // The hint for a mouse position, as the panel shows it.
  QString HintAt(const QPoint& p) const;

 signals:
  void Painted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  std::optional<int> overload_row_;
  std::optional<int> underload_row_;
};

// What the editor needs from outside: people, files, the settings and the instrument.
struct ScaleFormServices {
  core::ui_port::Prompts* prompts = nullptr;
  core::ui_port::FileChooser* files = nullptr;
  QString last_scale_file;
  std::function<void(const QString&)> last_scale_file_changed;
  std::function<bool()> instrument_connected;
  std::function<void(const core::scale::ScaleImage&, int key_number)> download;
  std::function<void()> connect;
};

// The scale library editor, "ZA-Dizod V.2.40": one scale at a time, its live preview, and the
// download of the current scale into the instrument.
class TVTScaleForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit TVTScaleForm(ScaleFormServices services, QWidget* parent = nullptr);

  // Shows the window and offers to reload the last scale file.
  void ShowEditor();
  bool LoadFile(const QString& name);
  void OpenClick();
  void SaveClick();
  void SaveAsClick();
  void DownloadClick();
  void NextClick();
  void PreviousClick();
  void SelectScale(int number);  // the selector: no store first
  void DrawPreview();

  // Tests and the command class look at these.
  core::scale::ScaleLibrary& library() { return library_; }
  int current_scale() const { return current_; }
  bool modified() const { return modified_; }
  const QString& file_name() const { return file_name_; }
  const QString& last_scale_file() const { return last_scale_file_; }
  const core::scale::ScaleImage& image() const { return image_; }
  QLineEdit* ShortNameEdit() { return short_name_; }
  QComboBox* KeyNoBox() { return key_no_; }
  QLineEdit* ReferenceEdit() { return reference_; }
  QComboBox* DynamicsBox() { return dynamics_; }
  QCheckBox* Scaleflag() { return digital_; }
  QLineEdit* DescriptionEdit() { return description_; }
  QPlainTextEdit* Note() { return note_; }
  QComboBox* ScaleNoEdit() { return selector_; }
  QLineEdit* LevelEdit(int row) { return rows_[static_cast<std::size_t>(row)].level; }
  QComboBox* StyleBox(int row) { return rows_[static_cast<std::size_t>(row)].style; }
  QLineEdit* LabelEdit(int row) { return rows_[static_cast<std::size_t>(row)].label; }
  TScaleViewPanel* ScaleViewPanel() { return panel_; }
  QLabel* StatusPanel() { return status_; }
  QAction* Action(const QString& object_name) const;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Row {
    QLineEdit* level = nullptr;
    QComboBox* style = nullptr;
    QLineEdit* label = nullptr;
    double value = 0.0;
  };

  void CreateActions();
  void CreateFields();
  core::scale::ScaleRecord& Record();
  void FillWindow();
  void StoreWindow();
  void Changed();
  void StyleChanged();
  void NumberLeft(QLineEdit* edit, double* value);
  void ShowNumber(QLineEdit* edit, double value);
  void RefreshSelectorEntry(int number, const QString& short_name);
  void RefreshNavigation();
  void RefreshDownloadEnabled();
  void SetSaveEnabled(bool enabled);
  void BuildImage();

  ScaleFormServices services_;
  core::scale::ScaleLibrary library_;
  core::scale::ScaleImage image_{};
  int current_ = 1;
  QString file_name_;
  QString last_scale_file_;
  bool modified_ = false;
  bool ready_ = false;
  double reference_value_ = 0.0;

  QComboBox* selector_ = nullptr;
  QLineEdit* short_name_ = nullptr;
  QComboBox* key_no_ = nullptr;
  QLineEdit* reference_ = nullptr;
  QComboBox* dynamics_ = nullptr;
  QCheckBox* digital_ = nullptr;
  QLineEdit* description_ = nullptr;
  QPlainTextEdit* note_ = nullptr;
  std::array<Row, core::scale::kLineCount> rows_{};
  TScaleViewPanel* panel_ = nullptr;
  QLabel* status_ = nullptr;
};

// "ZA-Dizod V.2.40"
QString ScaleFormCaption();

}  // namespace zizara::gui::scale

#pragma once

#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "core/config/configuration.h"
#include "core/config/preset_options.h"
#include "core/matrix/grid_geometry.h"
#include "core/matrix/matrix_model.h"
#include "core/matrix/popup_rules.h"
#include "core/matrix/remote_sender.h"
#include "core/settings/program_settings.h"
#include "core/ui_port/file_chooser.h"
#include "core/ui_port/prompts.h"
#include "gui/matrix/channel_label.h"
#include "gui/matrix/edit_form.h"
#include "gui/matrix/matrix_grid.h"
#include "gui/matrix/owner_drawn_menu.h"

namespace zizara::gui::matrix {

// What the matrix reads of the program-wide state; the flags are read at the moment of use.
struct MatrixContext {
  core::config::Configuration& config;
  const bool& connected;
  const bool& macro_running;
  core::ui_port::Prompts& prompts;
  core::ui_port::FileChooser& files;
};

// Windows the popups open. An empty entry says the function is not available yet.
struct MatrixWindows {
  // PPM options at byte offset 2c of PPM channel c's option word.
  std::function<void(int ppm_offset)> ppm_options;
  std::function<void()> phase_options;
  // Gain window for an output (0-based) with the gain text read when it opened.
  std::function<void(int output, const QString& gain)> output_gain;
};

// The routing matrix of the main window: the grid, its channel labels, scroll bars, pan mode,
// trace, popups, rename, clipboard and Save Macro. The logic is the core's; this shows it.
class TMatrixView : public QWidget {
  Q_OBJECT

 public:
  using Axis = core::matrix::Axis;

  TMatrixView(MatrixContext ctx, QWidget* parent = nullptr);
  ~TMatrixView() override;

  // Settings: cell images, click mode, trace; scroll positions (first visible input/output).
  void ApplySettings(const core::settings::ProgramSettings& settings);
  void SetGridPosition(int x, int y);
  // The stored position until the grid has been laid out with it.
  int GridPosX() const { return pending_position_ ? pending_position_->x() : scroll_x_->value(); }
  int GridPosY() const { return pending_position_ ? pending_position_->y() : scroll_y_->value(); }
  // Keys of `window` reach the matrix first, except those for `except` (the preset list).
  void InstallKeyPreview(QWidget* window, QWidget* except);
  void SetRemoteSender(core::matrix::RemoteSender* sender) { sender_ = sender; }
  void SetWindows(MatrixWindows windows) { windows_ = std::move(windows); }
  const MatrixWindows& Windows() const { return windows_; }
  void SetOutputGainWindow(std::function<void(int, const QString&)> window) {
    windows_.output_gain = std::move(window);
  }
  void SetEditDialog(EditDialogRunner runner) { edit_dialog_ = std::move(runner); }

  // After the preset map changed: names, cells, routing texts, labels.
  void RebuildFromImage();
  void ChannelNamesFromImage();

  // Cells (absolute, 0-based).
  void DrawAllXPoints();
  void DrawXPoint(int input, int output);
  void EraseXPoint(int input, int output);
  void FlashXPoint(int input, int output);
  void MatrixGridDblClick(int input, int output);
  void SetReportedXPoint(int output, int input, bool set_by_remote);
  bool IsRoutingLineAllowed(const QByteArray& line) const;

  // Labels.
  void UpdateChannelLabels(Axis axis);
  void HighlightChannelLabels(Axis axis, int current);
  void HandleLabelMouseDown(Axis axis, int label, Qt::MouseButton button,
                            Qt::KeyboardModifiers modifiers);

  // Layout and scrolling.
  void FormCanResize();
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool auto_repeat);
  bool FormKeyUp(int key, bool auto_repeat);
  void ScrollMatrix(QPoint start);
  void StopPan();
  bool Panning() const { return pan_timer_.isActive(); }
  void MouseMoveTimerTimer();
  void PaintTrace(int column, int row, bool clear);
  // The mouse wheel over the matrix: scrolls through the bars as the arrow keys do.
  void MatrixWheel(QPoint angle_delta, Qt::KeyboardModifiers modifiers);

  // Popups and what their items do.
  void PopUpMatrix(int column, int row, QPoint global_position);
  void PopInRenameClick();
  void PopOutRenameClick();
  void PopMatInRenameClick();
  void PopMatOutRenameClick();
  void PopInPPMClick();
  void PopOutPPMClick();
  void PopMatPPMClick();
  void PopOutScopClick();
  void PopOutGainClick();
  void PopMatOutGainClick();
  void PopOutLockClick();
  void PopMatOutLockClick();
  void SumClick(core::config::SumGain gain);

  // Edit and Macro menu commands.
  void MenuCopyClick();
  void MenuPasteClick();
  void MenuCopyXpointClick();
  void MenuPasteXpointClick();
  void MenuMacroSaveClick();
  static bool ClipboardHasLabels();
  static bool ClipboardHasXPoints();

  // What the window and the tests look at.
  core::matrix::MatrixModel& model() { return model_; }
  const core::matrix::MatrixModel& model() const { return model_; }
  const core::matrix::CellImages& CellImages() const { return images_; }
  const core::matrix::GridGeometry& Geometry() const { return geometry_; }
  TMatrixGrid* Grid() { return grid_; }
  QScrollBar* ScrollBarX() { return scroll_x_; }
  QScrollBar* ScrollBarY() { return scroll_y_; }
  QWidget* InputPanel() { return input_panel_; }
  QWidget* OutputPanel() { return output_panel_; }
  TChannelLabel* NameLabel(Axis axis, int i) { return names_[Index(axis)][i]; }
  TChannelLabel* NumberLabel(Axis axis, int i) { return numbers_[Index(axis)][i]; }
  TOwnerDrawnMenu* InputPopup() { return input_popup_; }
  TOwnerDrawnMenu* OutputPopup() { return output_popup_; }
  TOwnerDrawnMenu* MatrixPopup() { return matrix_popup_; }
  QAction* PopupItem(const QString& object_name) const;
  int CurrentInput() const { return current_input_; }
  int CurrentOutput() const { return current_output_; }
  // Whether the popups are shown on screen (tests read their states without showing them).
  void SetShowPopups(bool show) { show_popups_ = show; }

 signals:
  // The image changed and the modified flag is set; the window enters its "Save" state.
  // `step` names the change for the Edit menu's Undo and Redo.
  void Edited(const QString& step);
  void SelectionChanged();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class LabelLook { kNormal, kCurrent, kCurrentSelected, kSelected };
  static int Index(Axis axis) { return static_cast<int>(axis); }
  void CreateChannelLabels();
  void CreatePopups();
  void SetLabelLook(Axis axis, int i, LabelLook look);
  void ResetLabelLooks();
  void ScrollBarXChange();
  void ScrollBarYChange();
  void GridMouseMove(QPoint position);
  void MouseLeftMatrix();
  void GridMousePress(QPoint position, Qt::MouseButton button);
  void GridMouseRelease(QPoint position, Qt::MouseButton button);
  void GridMouseDoubleClick(QPoint position, Qt::MouseButton button);
  bool PanKeysDown() const { return space_down_ || middle_down_; }
  void SetPanCursor(core::matrix::PanCursor cursor);
  void ShowPopup(QMenu* menu, QPoint global_position);
  void Rename(Axis axis, int channel);
  void OpenPpmOptions(Axis axis, int channel, int ppm_channel);
  void OpenGain(int output);
  void LockOutputs(int output);
  void NotAvailableYet();
  void AfterNamesChanged();
  void MarkEdited(const QString& step);
  int FirstVisible(Axis axis) const;
  int VisibleCount(Axis axis) const;

  MatrixContext ctx_;
  core::matrix::MatrixModel model_;
  core::matrix::CellImages images_;
  bool double_click_ = true;
  bool trace_mouse_ = false;
  core::matrix::RemoteSender* sender_ = nullptr;
  MatrixWindows windows_;
  EditDialogRunner edit_dialog_;
  bool show_popups_ = true;

  core::matrix::GridGeometry geometry_;
  TMatrixGrid* grid_ = nullptr;
  QScrollBar* scroll_x_ = nullptr;
  QScrollBar* scroll_y_ = nullptr;
  QWidget* input_panel_ = nullptr;
  QWidget* output_panel_ = nullptr;
  TChannelLabel* input_caption_ = nullptr;
  TChannelLabel* output_caption_ = nullptr;
  std::array<std::array<TChannelLabel*, core::matrix::kOutputs>, 2> names_{};
  std::array<std::array<TChannelLabel*, core::matrix::kOutputs>, 2> numbers_{};
  std::array<std::array<LabelLook, core::matrix::kOutputs>, 2> looks_{};

  int current_input_ = 0;   // visible column last pointed at
  int current_output_ = 0;  // visible row
  std::optional<QPoint> pending_position_;

  // Pan mode.
  QTimer pan_timer_;
  QPoint pan_start_;
  QPoint pan_current_;
  core::matrix::PanCursor pan_cursor_ = core::matrix::PanCursor::kNone;
  bool space_down_ = false;
  bool middle_down_ = false;
  // Wheel movement short of a whole notch (high-resolution wheels and touchpads).
  int wheel_rest_x_ = 0;
  int wheel_rest_y_ = 0;

  // Popups and the channel or cell they were opened on (absolute, 0-based).
  TOwnerDrawnMenu* input_popup_ = nullptr;
  TOwnerDrawnMenu* output_popup_ = nullptr;
  TOwnerDrawnMenu* matrix_popup_ = nullptr;
  TOwnerDrawnMenu* input_sum_menu_ = nullptr;
  TOwnerDrawnMenu* matrix_sum_menu_ = nullptr;
  int popup_input_ = 0;
  int popup_output_ = 0;
  int cell_input_ = 0;
  int cell_output_ = 0;
  core::matrix::SumChecks sum_checks_;

  QPointer<QWidget> preview_window_;
  QPointer<QWidget> preview_except_;
};

}  // namespace zizara::gui::matrix

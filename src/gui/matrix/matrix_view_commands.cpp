// What the matrix popups, the Edit menu's clipboard items and Save Macro do.
#include "gui/matrix/matrix_view.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QWheelEvent>

#include "core/config/preset_options.h"
#include "core/i18n/tr.h"
#include "core/matrix/clipboard_blocks.h"
#include "core/matrix/xpoint_macro.h"
#include "gui/common/icons.h"
#include "gui/common/trace_colour.h"

namespace zizara::gui::matrix {

using core::i18n::Tr;
namespace mx = core::matrix;

// --- Popups -----------------------------------------------------------------------------------

void TMatrixView::ShowPopup(QMenu* menu, QPoint global_position) {
  if (show_popups_) menu->popup(global_position);
}

void TMatrixView::PopUpMatrix(int column, int row, QPoint global_position) {
  const int input = scroll_x_->value() + column;
  const int output = scroll_y_->value() + row;
  if (input >= mx::kInputs || output >= mx::kOutputs) return;
  cell_input_ = input;
  cell_output_ = output;
  const QString gain = ctx_.connected ? mx::ReadOutputGain(sender_, output) : QString();
  const mx::MatrixPopupState s =
      mx::MatrixPopupRules(model_, model_.selection, input, output, ctx_.connected, gain);
  PopupItem(QStringLiteral("PopMatInHeadline"))->setText(s.input_headline);
  PopupItem(QStringLiteral("PopMatOutHeadline"))->setText(s.output_headline);
  PopupItem(QStringLiteral("PopMatInRename"))->setEnabled(s.rename);
  PopupItem(QStringLiteral("PopMatOutRename"))->setEnabled(s.rename);
  matrix_sum_menu_->menuAction()->setEnabled(s.sum);
  PopupItem(QStringLiteral("PopMatOutScop"))->setEnabled(s.phase);
  PopupItem(QStringLiteral("PopMatPPM"))->setEnabled(s.ppm);
  PopupItem(QStringLiteral("PopMatOutGain"))->setEnabled(s.gain);
  PopupItem(QStringLiteral("PopMatOutGain"))->setText(s.gain_caption);
  PopupItem(QStringLiteral("PopMatOutLock"))->setEnabled(s.lock);
  matrix_popup_->SetStatusLinesDark(ctx_.connected);
  sum_checks_ = mx::SumGainChecks(ctx_.config, sum_checks_);
  PopupItem(QStringLiteral("PopMatSumSum3"))->setChecked(sum_checks_.minus3);
  PopupItem(QStringLiteral("PopMatSumSum0"))->setChecked(sum_checks_.plus0);
  ShowPopup(matrix_popup_, global_position);
}

void TMatrixView::NotAvailableYet() {
  ctx_.prompts.Information(Tr("This function is not available in this version yet."));
}

void TMatrixView::Rename(Axis axis, int channel) {
  const bool input = axis == Axis::kInputs;
  mx::WithTemporarySelection(model_.selection, axis, channel, [&] {
    EditRequest request;
    request.caption = (input ? Tr("Input #") : Tr("Output #")) + QString::number(channel + 1);
    request.group = input ? Tr("Input Name") : Tr("Output Name");
    request.text = model_.Name(axis, channel);
    request.max_length = kChannelNameMaxLength;
    const std::optional<QString> text = edit_dialog_(request);
    if (!text) return;
    mx::RenameSelectedChannels(ctx_.config, model_.selection, mx::PadChannelName(*text));
    AfterNamesChanged();
    MarkEdited((input ? Tr("Rename Input %1") : Tr("Rename Output %1")).arg(channel + 1));
  });
  HighlightChannelLabels(Axis::kInputs, -1);
  HighlightChannelLabels(Axis::kOutputs, -1);
  emit SelectionChanged();
}

void TMatrixView::PopInRenameClick() { Rename(Axis::kInputs, popup_input_); }
void TMatrixView::PopOutRenameClick() { Rename(Axis::kOutputs, popup_output_); }
void TMatrixView::PopMatInRenameClick() { Rename(Axis::kInputs, cell_input_); }
void TMatrixView::PopMatOutRenameClick() { Rename(Axis::kOutputs, cell_output_); }

void TMatrixView::OpenPpmOptions(Axis axis, int channel, int ppm_channel) {
  mx::WithTemporarySelection(model_.selection, axis, channel, [&] {
    if (windows_.ppm_options) {
      windows_.ppm_options(2 * ppm_channel);
    } else {
      NotAvailableYet();
    }
  });
}

void TMatrixView::PopInPPMClick() {
  OpenPpmOptions(Axis::kInputs, popup_input_, mx::PpmChannelOfInput(popup_input_));
}

void TMatrixView::PopOutPPMClick() {
  OpenPpmOptions(Axis::kOutputs, popup_output_, mx::PpmChannelOfOutput(popup_output_));
}

void TMatrixView::PopMatPPMClick() {
  const bool on_output = cell_input_ < mx::kPpmFirstInput;
  OpenPpmOptions(on_output ? Axis::kOutputs : Axis::kInputs, on_output ? cell_output_ : cell_input_,
                 mx::MatrixPopupPpmChannel(cell_input_, cell_output_));
}

void TMatrixView::PopOutScopClick() {
  if (windows_.phase_options) {
    windows_.phase_options();
  } else {
    NotAvailableYet();
  }
}

void TMatrixView::OpenGain(int output) {
  if (!ctx_.connected) return;
  mx::WithTemporarySelection(model_.selection, Axis::kOutputs, output, [&] {
    const QString gain = mx::ReadOutputGain(sender_, output);
    if (windows_.output_gain) {
      windows_.output_gain(output, gain);
    } else {
      NotAvailableYet();
    }
  });
}

void TMatrixView::PopOutGainClick() { OpenGain(popup_output_); }
void TMatrixView::PopMatOutGainClick() { OpenGain(cell_output_); }

void TMatrixView::LockOutputs(int output) {
  if (!ctx_.connected) return;
  mx::WithTemporarySelection(model_.selection, Axis::kOutputs, output, [&] {
    for (int o = 0; o < mx::kOutputs; ++o) {
      if (model_.selection.Selected(Axis::kOutputs, o) &&
          mx::ToggleLock(model_.cells, images_, o)) {
        grid_->RepaintRow(o);
      }
    }
  });
}

void TMatrixView::PopOutLockClick() { LockOutputs(popup_output_); }
void TMatrixView::PopMatOutLockClick() { LockOutputs(cell_output_); }

void TMatrixView::SumClick(core::config::SumGain gain) {
  if (ctx_.connected) return;
  core::config::WriteSumGain(ctx_.config.image, ctx_.config.trailer.software_version,
                             ctx_.config.map, gain);
  sum_checks_ = mx::SumGainChecks(ctx_.config, sum_checks_);
  MarkEdited(Tr("SUM Gain"));
}

void TMatrixView::AfterNamesChanged() {
  mx::ChannelNamesFromImage(model_, ctx_.config);
  // Routing texts name the inputs; offline they follow the table, so they follow renames too.
  if (!ctx_.connected) mx::BuildRoutingTexts(model_, ctx_.config);
  UpdateChannelLabels(Axis::kInputs);
  UpdateChannelLabels(Axis::kOutputs);
}

void TMatrixView::MarkEdited(const QString& step) {
  ctx_.config.modified = true;
  emit Edited(step);
}

// --- Clipboard and Save Macro -----------------------------------------------------------------

bool TMatrixView::ClipboardHasLabels() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasFormat(QString::fromLatin1(mx::kLabelsMimeType));
}

bool TMatrixView::ClipboardHasXPoints() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasFormat(QString::fromLatin1(mx::kXPointsMimeType));
}

void TMatrixView::MenuCopyClick() {
  if (ctx_.connected) return;  // the image is not what the matrix shows
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(mx::kLabelsMimeType),
                mx::EncodeLabelBlock(ctx_.config, model_.selection));
  QGuiApplication::clipboard()->setMimeData(data);
}

void TMatrixView::MenuPasteClick() {
  if (ctx_.connected) return;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString format = QString::fromLatin1(mx::kLabelsMimeType);
  if (data == nullptr || !data->hasFormat(format)) return;
  mx::ApplyLabelBlock(data->data(format), ctx_.config);
  AfterNamesChanged();
  MarkEdited(Tr("Paste Labels"));
}

void TMatrixView::MenuCopyXpointClick() {
  if (ctx_.connected) return;  // the image is not what the matrix shows
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(mx::kXPointsMimeType),
                mx::EncodeXPointBlock(ctx_.config, model_.selection));
  QGuiApplication::clipboard()->setMimeData(data);
}

void TMatrixView::MenuPasteXpointClick() {
  if (ctx_.connected) return;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString format = QString::fromLatin1(mx::kXPointsMimeType);
  if (data == nullptr || !data->hasFormat(format)) return;
  mx::ApplyXPointBlock(data->data(format), ctx_.config);
  mx::BuildMatrixFromImage(model_.cells, ctx_.config.image, ctx_.config.map, images_);
  mx::BuildRoutingTexts(model_, ctx_.config);
  DrawAllXPoints();
  UpdateChannelLabels(Axis::kOutputs);
  MarkEdited(Tr("Paste X-Points"));
}

void TMatrixView::MenuMacroSaveClick() {
  if (ctx_.macro_running || !model_.selection.Any(Axis::kOutputs)) return;
  EditRequest request;
  request.caption = Tr("Macro Name");
  request.group = Tr("Enter a name for the macro.");
  request.max_length = kMacroNameMaxLength;
  model_.macro_name = edit_dialog_(request).value_or(QString());
  const QString chosen =
      ctx_.files.SaveFileName(Tr("Save As"), Tr(mx::kMacroFileFilter), QString());
  if (chosen.isEmpty()) return;
  const QString name = mx::MacroFileNameForSave(chosen);
  if (QFileInfo::exists(name) &&
      !ctx_.prompts.Confirm(Tr("The file ") + name + Tr(" allready exists.") +
                            QStringLiteral("\r\r") + Tr("Do you wish to overwrite it?"))) {
    return;
  }
  QString error;
  if (!mx::SaveXPointMacro(name, model_.cells, images_, model_.selection, model_.macro_name,
                           &error)) {
    ctx_.prompts.Error(Tr("The file ") + QLatin1Char('"') + name + QLatin1Char('"') +
                       Tr(" could not be saved: ") + error);
  }
}

}  // namespace zizara::gui::matrix

#include "gui/options/colour_lists.h"

#include <QPixmap>

#include "core/i18n/tr.h"
#include "core/options/ppm_options.h"
#include "core/options/rgb_colours.h"

namespace zizara::gui::options {

namespace {

QIcon Swatch(Qt::GlobalColor colour) {
  QPixmap p(16, 12);
  p.fill(colour);
  return QIcon(p);
}

template <std::size_t N>
void Fill(QComboBox* box, const std::array<const char*, N>& names,
          const std::array<Qt::GlobalColor, N>& colours) {
  box->clear();
  for (std::size_t i = 0; i < N; ++i) {
    box->addItem(Swatch(colours[i]), core::i18n::Tr(names[i]));
  }
}

}  // namespace

void FillPpmColourList(QComboBox* box) {
  // Green shows the lime swatch under the name Green.
  Fill(box, core::options::kPpmColourNames,
       std::array<Qt::GlobalColor, 7>{Qt::black, Qt::green, Qt::yellow, Qt::blue, Qt::magenta,
                                      Qt::cyan, Qt::white});
}

void FillRgbColourList(QComboBox* box) {
  Fill(box, core::options::kRgbColourNames,
       std::array<Qt::GlobalColor, 7>{Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::magenta,
                                      Qt::cyan, Qt::white});
}

}  // namespace zizara::gui::options

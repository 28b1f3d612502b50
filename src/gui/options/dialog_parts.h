#pragma once

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace zizara::gui::options {

// OK (`Button1`, default) and Cancel (`Button2`) at the bottom right, as every option window
// has them.
struct OkCancel {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};
OkCancel AddOkCancel(QDialog* dialog, QBoxLayout* layout);

}  // namespace zizara::gui::options

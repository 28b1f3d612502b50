#include "gui/remote/drop_list_form.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "gui/common/placement.h"

namespace zizara::gui::remote {

using core::i18n::Tr;

namespace {
QString Ending(const QString& path) { return path.right(4).toUpper(); }

QStringList PathsOf(const QMimeData* mime) {
  QStringList paths;
  if (mime != nullptr) {
    for (const QUrl& url : mime->urls()) {
      if (url.isLocalFile()) {
        paths << url.toLocalFile();
      }
    }
  }
  return paths;
}
}  // namespace

void MoveEntry(QStringList& list, int from, int to) {
  if (from < 0 || from >= list.size()) {
    return;
  }
  const QString entry = list.takeAt(from);
  if (to < 0 || to > list.size()) {
    to = static_cast<int>(list.size());
  }
  list.insert(to, entry);
}

DropPlan PlanDrop(const QStringList& paths, const std::function<bool(const QString&)>& exists) {
  DropPlan plan;
  for (const QString& path : paths) {
    if (!exists(path)) {
      continue;
    }
    if (paths.size() == 1) {
      plan.act_on = path;
    }
    if (Ending(path) == QStringLiteral(".PRE")) {
      plan.presets << path;
    } else if (Ending(path) == QStringLiteral(".MCR")) {
      plan.macros << path;
    }
  }
  plan.show_window = paths.size() > 1;
  return plan;
}

TDropListForm::TDropListForm(Actions actions, QWidget* main_window)
    : QWidget(main_window, Qt::Tool | Qt::WindowStaysOnTopHint),
      actions_(std::move(actions)),
      pages_(new QTabWidget(this)),
      list_preset_(MakeList()),
      list_macro_(MakeList()) {
  setObjectName(QStringLiteral("TDropListForm"));
  setWindowTitle(Tr("Files dropped from the explorer."));
  setAcceptDrops(true);
  resize(460, 320);

  auto* macros = new QWidget(pages_);
  auto* macro_buttons = new QHBoxLayout;
  const auto button = [](const char* name, const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
  };
  QPushButton* all = button("Button1", Tr("Execute All"), macros);
  QPushButton* selected = button("Button4", Tr("Execute Selected"), macros);
  QPushButton* clear_macros = button("ClearMCRButton", Tr("Clear List"), macros);
  QPushButton* close_macros = button("Button3", Tr("Close"), macros);
  for (QPushButton* b : {all, selected, clear_macros, close_macros}) macro_buttons->addWidget(b);
  auto* macro_layout = new QVBoxLayout(macros);
  list_macro_->setParent(macros);
  list_macro_->setObjectName(QStringLiteral("CheckListMacro"));
  macro_layout->addWidget(list_macro_);
  macro_layout->addLayout(macro_buttons);

  auto* presets = new QWidget(pages_);
  auto* preset_buttons = new QHBoxLayout;
  QPushButton* clear_presets = button("ClearPREButton", Tr("Clear List"), presets);
  QPushButton* close_presets = button("CloseButton", Tr("Close"), presets);
  preset_buttons->addStretch();
  preset_buttons->addWidget(clear_presets);
  preset_buttons->addWidget(close_presets);
  auto* preset_layout = new QVBoxLayout(presets);
  list_preset_->setParent(presets);
  list_preset_->setObjectName(QStringLiteral("ListPreset"));
  preset_layout->addWidget(list_preset_);
  preset_layout->addLayout(preset_buttons);

  pages_->addTab(presets, Tr("Presets"));
  pages_->addTab(macros, Tr("Macros"));
  pages_->setCurrentWidget(macros);  // macros are shown first
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);

  connect(all, &QPushButton::clicked, this, &TDropListForm::ExecuteAll);
  connect(selected, &QPushButton::clicked, this, &TDropListForm::ExecuteSelected);
  connect(clear_macros, &QPushButton::clicked, list_macro_, &QListWidget::clear);
  connect(clear_presets, &QPushButton::clicked, list_preset_, &QListWidget::clear);
  connect(close_macros, &QPushButton::clicked, this, &QWidget::hide);
  connect(close_presets, &QPushButton::clicked, this, &QWidget::hide);
  connect(list_preset_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (actions_.open_preset) actions_.open_preset(item->text());
  });
  connect(list_macro_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (actions_.run_macro) actions_.run_macro(item->text());
  });

  const auto popup = [this](QListWidget* list, const QString& first, bool preset) {
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list, first, preset](QPoint p) {
      QListWidgetItem* item = list->itemAt(p);
      list->setCurrentItem(item);  // a press on empty space clears the selection
      QMenu menu(list);
      QAction* act = menu.addAction(first);
      QAction* remove = menu.addAction(Tr("Remove Item"));
      act->setEnabled(item != nullptr);
      remove->setEnabled(item != nullptr);
      QAction* chosen = menu.exec(list->viewport()->mapToGlobal(p));
      if (item == nullptr || chosen == nullptr) {
        return;
      }
      if (chosen == remove) {
        delete list->takeItem(list->row(item));
      } else if (preset && actions_.open_preset) {
        actions_.open_preset(item->text());
      } else if (!preset && actions_.run_macro) {
        actions_.run_macro(item->text());
      }
    });
  };
  popup(list_preset_, Tr("Load preset"), true);
  popup(list_macro_, Tr("Execute"), false);
}

ReorderList* TDropListForm::MakeList() { return new ReorderList(this); }

ReorderList::ReorderList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
}

void ReorderList::MoveCurrentTo(int target_row) {
  const int from = currentRow();
  if (from < 0) {
    return;
  }
  QListWidgetItem* item = takeItem(from);
  const int to = target_row < 0 || target_row > count() ? count() : target_row;
  insertItem(to, item);  // the item keeps its check mark
  setCurrentItem(item);
}

void ReorderList::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() == this) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void ReorderList::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() == this) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void ReorderList::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    event->ignore();
    return;
  }
  const QModelIndex target = indexAt(event->position().toPoint());
  MoveCurrentTo(target.isValid() ? target.row() : -1);
  event->setDropAction(Qt::CopyAction);  // the move is done; the view must not remove anything
  event->accept();
}

void TDropListForm::AddFile(const QString& path) {
  if (Ending(path) == QStringLiteral(".PRE")) {
    list_preset_->addItem(path);
  } else if (Ending(path) == QStringLiteral(".MCR")) {
    auto* item = new QListWidgetItem(path, list_macro_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
}

void TDropListForm::HandleDrop(const QStringList& paths) {
  const DropPlan plan =
      PlanDrop(paths, [](const QString& p) { return QFileInfo(p).isFile(); });
  if (!plan.act_on.isEmpty() && actions_.act_on_single && !actions_.act_on_single(plan.act_on)) {
    return;
  }
  for (const QString& p : plan.presets) AddFile(p);
  for (const QString& p : plan.macros) AddFile(p);
  if (plan.show_window) {
    show();
    raise();
  }
}

QStringList TDropListForm::Presets() const {
  QStringList out;
  for (int i = 0; i < list_preset_->count(); ++i) out << list_preset_->item(i)->text();
  return out;
}

QStringList TDropListForm::Macros() const {
  QStringList out;
  for (int i = 0; i < list_macro_->count(); ++i) out << list_macro_->item(i)->text();
  return out;
}

void TDropListForm::ExecuteAll() {
  for (const QString& m : Macros()) {
    if (actions_.run_macro) actions_.run_macro(m);
  }
}

void TDropListForm::ExecuteSelected() {
  QStringList checked;
  for (int i = 0; i < list_macro_->count(); ++i) {
    if (list_macro_->item(i)->checkState() == Qt::Checked) checked << list_macro_->item(i)->text();
  }
  for (const QString& m : checked) {
    if (actions_.run_macro) actions_.run_macro(m);
  }
}

void TDropListForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void TDropListForm::dropEvent(QDropEvent* event) {
  HandleDrop(PathsOf(event->mimeData()));
  event->acceptProposedAction();
}

void TDropListForm::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;  // beside the main window, not over its menu bar; later where the user put it
    common::PlaceBesideWindow(this, parentWidget());
  }
  QWidget::showEvent(event);
}

}  // namespace zizara::gui::remote

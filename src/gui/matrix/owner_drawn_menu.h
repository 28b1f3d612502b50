#pragma once

#include <QMenu>
#include <QStringList>

namespace zizara::gui::matrix {

// A popup menu drawn in the matrix's own look: headline items on a rounded caption-coloured
// bar, rounded hover items, and a caption-coloured strip down the left edge that carries a
// word per part between separators.
class TOwnerDrawnMenu : public QMenu {
  Q_OBJECT

 public:
  enum class ItemKind { kNormal, kHeadline, kStatusLine };

  static constexpr int kItemWidth = 160;
  static constexpr int kSubItemWidth = 60;
  static constexpr int kItemHeight = 20;
  static constexpr int kSeparatorHeight = 5;
  static constexpr int kStripWidth = 22;

  // `strip_words`: the word for each part of the strip, top to bottom; none for a sub-menu
  // (which also uses the narrow sub-item layout).
  TOwnerDrawnMenu(const QString& object_name, int item_width, QStringList strip_words,
                  QWidget* parent);

  QAction* AddHeadline(const char* object_name);
  QAction* AddItem(const char* object_name, const QString& caption);
  // A blank, disabled line that lengthens the strip.
  QAction* AddStatusLine(const char* object_name);
  TOwnerDrawnMenu* AddSubMenu(const char* object_name, const QString& caption,
                              const char* menu_object_name);

  static ItemKind KindOf(const QAction* action);
  // Status lines draw nothing of their own; this only records how they would show text.
  void SetStatusLinesDark(bool dark) { status_lines_dark_ = dark; }
  bool StatusLinesDark() const { return status_lines_dark_; }
  const QStringList& StripWords() const { return strip_words_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DrawHeadline(QPainter& p, const QAction* action, const QRect& r) const;
  void DrawItem(QPainter& p, const QAction* action, const QRect& r) const;
  void DrawStatusLine(QPainter& p, const QAction* action, const QRect& r) const;
  void DrawCheck(QPainter& p, QPoint at) const;
  void DrawStrip(QPainter& p) const;

  int item_width_;
  QStringList strip_words_;
  bool status_lines_dark_ = false;
};

}  // namespace zizara::gui::matrix

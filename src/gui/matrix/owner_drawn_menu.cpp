#include "gui/matrix/owner_drawn_menu.h"

#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>
#include <utility>
#include <vector>

#include "gui/common/icons.h"

namespace zizara::gui::matrix {

namespace {

constexpr char kKindProperty[] = "zizaraItemKind";
constexpr char kWidthProperty[] = "zizaraItemWidth";
constexpr int kHeadlineLeft = 12;
constexpr int kHeadlineRadius = 10;
constexpr int kItemLeft = 24;
constexpr int kItemRadius = 4;
constexpr int kTextLeft = 45;
constexpr int kSubTextLeft = 30;
constexpr int kSubTextLeftNarrow = 34;  // the shorter "0 dB" sits a little further in
constexpr int kCheckImage = 1;
constexpr int kFootPicture = 14;
constexpr int kTextRightMargin = 16;  // room for the sub-menu arrow

// Fixed item sizes for the owner-drawn menus; everything else as the application style has it.
class OwnerDrawStyle : public QProxyStyle {
 public:
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, option, size, widget);
    const int width =
        widget != nullptr ? widget->property(kWidthProperty).toInt() : TOwnerDrawnMenu::kItemWidth;
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item != nullptr && item->menuItemType == QStyleOptionMenuItem::Separator) {
      return {width, TOwnerDrawnMenu::kSeparatorHeight};
    }
    // Items keep their fixed width unless a caption (a gain, a long name) would be cut off.
    const int text_left = width == TOwnerDrawnMenu::kItemWidth ? kTextLeft : kSubTextLeft;
    return {std::max(width, text_left + size.width() + kTextRightMargin),
            TOwnerDrawnMenu::kItemHeight};
  }

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    switch (metric) {
      case PM_MenuHMargin:
      case PM_MenuVMargin:
        return 0;
      case PM_MenuPanelWidth:
        return 1;
      default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
};

QFont CaptionFont(const QFont& base) {
  QFont f = base;
  f.setFamily(QStringLiteral("Arial"));
  f.setBold(true);
  return f;
}

QColor CaptionColor(const QPalette& pal) { return pal.color(QPalette::Highlight).darker(150); }

}  // namespace

TOwnerDrawnMenu::TOwnerDrawnMenu(const QString& object_name, int item_width,
                                 QStringList strip_words, QWidget* parent)
    : QMenu(parent), item_width_(item_width), strip_words_(std::move(strip_words)) {
  setObjectName(object_name);
  setProperty(kWidthProperty, item_width);
  auto* style = new OwnerDrawStyle;
  style->setParent(this);
  setStyle(style);
}

QAction* TOwnerDrawnMenu::AddHeadline(const char* object_name) {
  QAction* a = addAction(QString());
  a->setObjectName(QString::fromLatin1(object_name));
  a->setProperty(kKindProperty, static_cast<int>(ItemKind::kHeadline));
  a->setEnabled(false);  // a caption, not a command
  return a;
}

QAction* TOwnerDrawnMenu::AddItem(const char* object_name, const QString& caption) {
  QAction* a = addAction(caption);
  a->setObjectName(QString::fromLatin1(object_name));
  a->setProperty(kKindProperty, static_cast<int>(ItemKind::kNormal));
  return a;
}

QAction* TOwnerDrawnMenu::AddStatusLine(const char* object_name) {
  QAction* a = addAction(QString());
  a->setObjectName(QString::fromLatin1(object_name));
  a->setProperty(kKindProperty, static_cast<int>(ItemKind::kStatusLine));
  a->setEnabled(false);
  return a;
}

TOwnerDrawnMenu* TOwnerDrawnMenu::AddSubMenu(const char* object_name, const QString& caption,
                                             const char* menu_object_name) {
  auto* sub = new TOwnerDrawnMenu(QString::fromLatin1(menu_object_name), kSubItemWidth, {}, this);
  sub->setTitle(caption);
  QAction* a = addMenu(sub);
  a->setObjectName(QString::fromLatin1(object_name));
  a->setProperty(kKindProperty, static_cast<int>(ItemKind::kNormal));
  return sub;
}

TOwnerDrawnMenu::ItemKind TOwnerDrawnMenu::KindOf(const QAction* action) {
  return static_cast<ItemKind>(action->property(kKindProperty).toInt());
}

void TOwnerDrawnMenu::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Window));
  for (QAction* a : actions()) {
    if (!a->isVisible()) continue;
    const QRect r = actionGeometry(a);
    if (a->isSeparator()) {
      p.setPen(pal.color(QPalette::Mid));
      p.drawLine(r.left() + kItemLeft, r.center().y(), r.right() - 2, r.center().y());
      continue;
    }
    switch (KindOf(a)) {
      case ItemKind::kHeadline:
        DrawHeadline(p, a, r);
        break;
      case ItemKind::kStatusLine:
        DrawStatusLine(p, a, r);
        break;
      case ItemKind::kNormal:
        DrawItem(p, a, r);
        break;
    }
  }
  if (!strip_words_.isEmpty()) DrawStrip(p);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(pal.color(QPalette::Mid));
  p.setBrush(Qt::NoBrush);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TOwnerDrawnMenu::DrawHeadline(QPainter& p, const QAction* action, const QRect& r) const {
  const QRect bar(r.left() + kHeadlineLeft, r.top() + 1, r.width() - kHeadlineLeft - 2,
                  r.height() - 2);
  p.setPen(Qt::NoPen);
  p.setBrush(CaptionColor(palette()));
  p.drawRoundedRect(bar, kHeadlineRadius, kHeadlineRadius);
  p.setFont(CaptionFont(font()));
  p.setPen(palette().color(QPalette::HighlightedText));
  p.drawText(bar, Qt::AlignCenter, action->text());
}

void TOwnerDrawnMenu::DrawItem(QPainter& p, const QAction* action, const QRect& r) const {
  const QPalette& pal = palette();
  const bool sub = strip_words_.isEmpty();
  const bool hot = action == activeAction() && action->isEnabled();
  const int item_left = sub ? 2 : kItemLeft;
  if (hot) {
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Highlight));
    p.drawRoundedRect(
        QRect(r.left() + item_left, r.top() + 1, r.width() - item_left - 2, r.height() - 2),
        kItemRadius, kItemRadius);
  }
  QColor text = pal.color(QPalette::WindowText);
  if (!action->isEnabled()) {
    text = pal.color(QPalette::Disabled, QPalette::WindowText);
  } else if (hot) {
    text = pal.color(QPalette::HighlightedText);
  }
  int text_left = kTextLeft;
  if (sub) {
    text_left = action->text().startsWith(QLatin1Char('0')) ? kSubTextLeftNarrow : kSubTextLeft;
  }
  if (action->isChecked()) DrawCheck(p, QPoint(r.left() + (sub ? 8 : kItemLeft + 1), r.top() + 2));
  p.setFont(font());
  p.setPen(text);
  p.drawText(QRect(r.left() + text_left, r.top(), r.width() - text_left - 12, r.height()),
             Qt::AlignLeft | Qt::AlignVCenter, action->text());
  if (action->menu() != nullptr) {
    // The sub-menu arrow.
    const int x = r.right() - 8;
    const int y = r.center().y();
    QPainterPath arrow;
    arrow.moveTo(x - 3, y - 4);
    arrow.lineTo(x + 1, y);
    arrow.lineTo(x - 3, y + 4);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(text);
    p.drawPath(arrow);
  }
}

void TOwnerDrawnMenu::DrawStatusLine(QPainter& p, const QAction* action, const QRect& r) const {
  p.setFont(font());
  p.setPen(status_lines_dark_ ? QColor(Qt::black)
                              : palette().color(QPalette::Disabled, QPalette::WindowText));
  p.drawText(r.adjusted(kTextLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, action->text());
}

void TOwnerDrawnMenu::DrawCheck(QPainter& p, QPoint at) const {
  p.drawPixmap(at, common::CellImage(kCheckImage));
  // A tick over the picture, so the mark reads as a check whichever picture is in use.
  QPen pen(palette().color(QPalette::Highlight).darker(160), 2);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  QPainterPath tick;
  tick.moveTo(at.x() + 3, at.y() + 8);
  tick.lineTo(at.x() + 6, at.y() + 12);
  tick.lineTo(at.x() + 13, at.y() + 3);
  p.drawPath(tick);
}

void TOwnerDrawnMenu::DrawStrip(QPainter& p) const {
  // Parts of the strip run between separators, each with its own rounded ends.
  std::vector<std::pair<int, int>> parts;
  int top = -1;
  int bottom = -1;
  for (QAction* a : actions()) {
    if (!a->isVisible()) continue;
    const QRect r = actionGeometry(a);
    if (a->isSeparator()) {
      if (top >= 0) parts.emplace_back(top, bottom);
      top = -1;
      continue;
    }
    if (top < 0) top = r.top();
    bottom = r.bottom();
  }
  if (top >= 0) parts.emplace_back(top, bottom);
  const QFont font = CaptionFont(this->font());
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const QRect strip(1, parts[k].first + 1, kStripWidth, parts[k].second - parts[k].first - 1);
    p.setPen(Qt::NoPen);
    p.setBrush(CaptionColor(palette()));
    p.drawRoundedRect(strip, 6, 6);
    QRect words = strip;
    if (k + 1 == parts.size() && strip.height() >= 3 * kFootPicture) {
      const QPixmap picture = common::AppIcon().pixmap(QSize(kFootPicture, kFootPicture));
      const QPoint at(strip.left() + (strip.width() - kFootPicture) / 2,
                      strip.bottom() - kFootPicture - 3);
      p.drawPixmap(at, picture);
      words.setBottom(at.y() - 2);
    }
    const QString word = k < static_cast<std::size_t>(strip_words_.size())
                             ? strip_words_[static_cast<int>(k)]
                             : QString();
    if (word.isEmpty()) continue;
    p.save();
    p.setFont(font);
    p.setPen(palette().color(QPalette::HighlightedText));
    p.translate(words.left(), words.bottom() + 1);
    p.rotate(-90);
    p.drawText(QRect(0, 0, words.height(), words.width()), Qt::AlignCenter, word);
    p.restore();
  }
}

}  // namespace zizara::gui::matrix

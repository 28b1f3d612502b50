#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "core/settings/program_settings.h"

namespace zizara::gui::live {

// One front-panel key of the keypad picture.
class TKeyImage : public QWidget {
  Q_OBJECT

 public:
  TKeyImage(int key, QWidget* parent);
  int key() const { return key_; }

 signals:
  void Clicked(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int key_;
  bool pressed_ = false;
};

// "QLX Keys.": the instrument's eight front-panel keys; a click or F1..F8 presses one.
class TKeyboardForm : public QWidget {
  Q_OBJECT

 public:
  // Presses key 1..8 on the instrument; the result is not shown.
  using PressKey = std::function<bool(int key)>;

  TKeyboardForm(PressKey press, QWidget* parent = nullptr);

  // A clicked key: press it, then take no key input for the instrument's pause.
  void KeyClicked(int key);
  // F1..F8: press without the pause.
  void FunctionKey(int key);
  bool Pausing() const { return pause_.isActive(); }
  TKeyImage* ImageKey(int key) { return keys_[static_cast<std::size_t>(key - 1)]; }
  QTimer* PauseTimer() { return &pause_; }

  // Placement and visibility as the settings file keeps them.
  void ApplySettings(const core::settings::KeyboardWindowSettings& settings,
                     const QRect& main_window);
  core::settings::KeyboardWindowSettings Settings() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Press(int key);

  PressKey press_;
  std::array<TKeyImage*, 8> keys_{};
  QTimer pause_;
};

}  // namespace zizara::gui::live

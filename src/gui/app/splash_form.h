#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>

namespace zizara::gui::app {

// Start-up picture: frameless, on top, cut to the picture's shape; after 50 ticks of 50 ms its
// bar runs up and it goes away.
class TSplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSplashForm(QWidget* parent = nullptr);

  void SetBuildText(const QString& text);
  QProgressBar* SplashProgress() { return progress_; }
  QLabel* Image1() { return image1_; }
  // Steps from outside (connection attempts) move the bar too.
  void Advance(int amount);

 signals:
  void Finished();
  // The corner picture was clicked; the maker's web address is being opened.
  void LinkClicked();

 protected:
  void mousePressEvent(class QMouseEvent* event) override;

 private:
  void OnTick();

  QLabel* picture_;
  QLabel* title_label_;
  QLabel* build_label_;
  QProgressBar* progress_;
  QLabel* image1_;  // the corner picture that links to the maker
  QTimer timer1_;
  int ticks_ = 0;
};

}  // namespace zizara::gui::app

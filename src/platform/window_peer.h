// The Qt side of a framework window. Platform-internal.
#pragma once

#include <QMainWindow>

namespace rt {

class Window;

class WindowPeer : public QMainWindow {
 public:
  explicit WindowPeer(Window* model);
  // The area below the menu bar in which the controls sit, at their own coordinates.
  QWidget* Content() const noexcept { return content_; }
  Window* Model() const noexcept { return model_; }
  void Detach() noexcept { model_ = nullptr; }
  void FocusNext() { focusNextChild(); }
  void FocusPrevious() { focusPreviousChild(); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Window* model_;
  QWidget* content_;
};

}  // namespace rt

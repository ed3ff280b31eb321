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

  // Height the menu bar takes above the content at that width; 0 for none, a hidden one or
  // one the desktop shows outside the window.
  int MenuSpace(int width) const;

  // While one is alive, content resizes are the framework's own and not reported as the
  // user's.
  class Adjusting {
   public:
    explicit Adjusting(WindowPeer& p) : p_(p) { ++p_.adjusting_; }
    ~Adjusting() { --p_.adjusting_; }
    Adjusting(const Adjusting&) = delete;
    Adjusting& operator=(const Adjusting&) = delete;

   private:
    WindowPeer& p_;
  };

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Window* model_;
  QWidget* content_;
  int adjusting_ = 0;
};

}  // namespace rt

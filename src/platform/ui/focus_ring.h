// A frame in the desktop's highlight colour around a widget while it has the focus, for a
// widget whose style shows no focus of its own: a list view shows it only on its current
// row, and not at all while it is empty. Platform-internal.
#pragma once

#include <QWidget>

namespace rt {

class FocusRing : public QWidget {
 public:
  // Made as a child of target, whose size and focus it follows; goes with it.
  explicit FocusRing(QWidget* target);
  // The ring of target, nil when it has none.
  static FocusRing* Of(const QWidget* target);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Follow();
  QWidget* target_;
};

}  // namespace rt

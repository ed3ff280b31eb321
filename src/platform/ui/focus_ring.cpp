#include "platform/ui/focus_ring.h"

#include <QEvent>
#include <QPainter>
#include <QPen>

namespace rt {

FocusRing::FocusRing(QWidget* target) : QWidget(target), target_(target) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  target->installEventFilter(this);
  Follow();
}

FocusRing* FocusRing::Of(const QWidget* target) {
  for (QObject* child : target->children())
    if (auto* ring = dynamic_cast<FocusRing*>(child)) return ring;
  return nullptr;
}

void FocusRing::Follow() {
  setGeometry(target_->rect());
  if (target_->hasFocus()) {
    raise();  // above the viewport and the scroll bars
    show();
  } else {
    hide();
  }
}

bool FocusRing::eventFilter(QObject* watched, QEvent* e) {
  if (watched == target_) {
    switch (e->type()) {
      case QEvent::Resize:
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        Follow();
        break;
      default:
        break;
    }
  }
  return false;
}

void FocusRing::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QPen pen(palette().color(QPalette::Active, QPalette::Highlight), 2);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace rt

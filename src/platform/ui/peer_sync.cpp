#include "platform/ui/peer_sync.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <vector>

#include "platform/core/runtime_state.h"

namespace rt {

namespace {

std::vector<LaggingPeer*>& Lagging() {
  static std::vector<LaggingPeer*> peers;
  return peers;
}

// Whether a catch-up event is on its way. Posted at normal priority, it comes before the
// repaints, which Qt posts at low priority.
bool gPosted = false;

const QEvent::Type kCatchUp = static_cast<QEvent::Type>(QEvent::registerEventType());

class Receiver : public QObject {
 protected:
  bool event(QEvent* e) override {
    if (e->type() != kCatchUp) return QObject::event(e);
    gPosted = false;
    CatchUpPeers();
    return true;
  }
};

// An event posted to a QApplication that then went is lost with it.
void ForgetPosted() { gPosted = false; }

void PostCatchUp() {
  if (gPosted || !QCoreApplication::instance()) return;
  static Receiver* receiver = [] {
    RegisterShutdownHook(&ForgetPosted);
    return new Receiver;  // lives as long as the process
  }();
  gPosted = true;
  QCoreApplication::postEvent(receiver, new QEvent(kCatchUp));
}

}  // namespace

LaggingPeer::~LaggingPeer() {
  if (lagging_) std::erase(Lagging(), this);
}

void LaggingPeer::Lag() {
  if (!lagging_) {
    lagging_ = true;
    Lagging().push_back(this);
  }
  PostCatchUp();
}

void CatchUpPeers() {
  // One at a time off the list, so that a peer that goes meanwhile leaves it safely.
  auto& peers = Lagging();
  while (!peers.empty()) {
    LaggingPeer* p = peers.back();
    peers.pop_back();
    p->lagging_ = false;
    p->CatchUp();
  }
}

}  // namespace rt

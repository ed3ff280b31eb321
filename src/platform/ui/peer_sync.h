// Peers that lag behind their controls. Platform-internal.
//
// A control's model is always exact; showing every change at once would cost the peer far
// more than the change itself (a text area relays its document, a list view its rows), so a
// control may let its peer lag and register here. Every lagging peer catches up before the
// user can see or touch it: when the event loop next runs (before any repaint), at the start
// of a background turn, before a prompt shows, and before input reaches the peer.
#pragma once

namespace rt {

class LaggingPeer {
 public:
  LaggingPeer() = default;
  LaggingPeer(const LaggingPeer&) = delete;
  LaggingPeer& operator=(const LaggingPeer&) = delete;

  // Brings the peer in step with the model. Runs none of the program's code.
  virtual void CatchUp() = 0;

 protected:
  ~LaggingPeer();
  // Registers this peer to catch up soon; cheap when it already lags.
  void Lag();

 private:
  friend void CatchUpPeers();
  bool lagging_ = false;
};

// Lets every lagging peer catch up now.
void CatchUpPeers();

}  // namespace rt

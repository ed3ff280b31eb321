// Conversions and helpers shared by the Qt peers. Platform-internal.
#pragma once

#include <QColor>
#include <QEvent>
#include <QObject>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <functional>

#include "platform/core/property_types.h"
#include "platform/core/text.h"

namespace rt {

inline QString ToQString(const String& s) {
  const std::string_view v = s.View();
  return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}
inline String FromQString(const QString& s) { return String(s.toUtf8().toStdString()); }

// The fourth byte is the transparency: 0 is opaque.
inline QColor ToQColor(Color c) { return QColor(c.red, c.green, c.blue, 255 - c.alpha); }

// Qt keeps a widget's geometry in int and works out its edges as start + length - 1: what
// it is given stays within its widget size limit, so that no such sum overflows.
inline QRect PeerRect(int64_t left, int64_t top, int64_t width, int64_t height) {
  auto limit = [](int64_t v, int64_t low) {
    return static_cast<int>(std::clamp<int64_t>(v, low, QWIDGETSIZE_MAX));
  };
  return QRect(limit(left, -QWIDGETSIZE_MAX), limit(top, -QWIDGETSIZE_MAX), limit(width, 0),
               limit(height, 0));
}

inline void SetPaletteColor(QWidget* w, QPalette::ColorRole role, Color c) {
  QPalette p = w->palette();
  p.setColor(role, ToQColor(c));
  w->setPalette(p);
}

// A colour equal to the control's default is no colour of its own: its role stays the
// desktop's, light or dark, and follows the desktop when that changes. Any other is kept.
// Meant for a palette made fresh for the peer, so that a colour set back to the default
// lets go of its role again.
inline void SetOwnColor(QPalette& p, QPalette::ColorRole role, Color c, Color standard) {
  if (c != standard) p.setColor(role, ToQColor(c));
}

// Carries a peer's signals and events to its framework object. The object deletes it before
// the peer, so the signals a dying widget sends reach nothing.
class PeerBridge : public QObject {
 public:
  std::function<void(QEvent*)> onEvent;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (onEvent) onEvent(e);
    return false;
  }
};

}  // namespace rt

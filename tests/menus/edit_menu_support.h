// The program's menu bar as the Edit menu tests meet it.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <string>

#include "platform/ui/window_peer.h"

namespace menus {

// Keys go where a user's would: to the open menu, else to the focused widget.
void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);

struct Bar {
  rt::WindowPeer* peer = nullptr;
  QMenuBar* bar = nullptr;
  QAction* fileTitle = nullptr;
  QAction* editTitle = nullptr;
  QMenu* file = nullptr;
  QMenu* edit = nullptr;

  // The Edit menu's item of that text.
  QAction* Item(const QString& text) const;
  // Undo Cut Copy Paste Delete SelectAll, as the open menu shows them: 1 on, 0 off, ? missing.
  std::string States() const;
  bool EditOpen() const;
  void CloseMenus() const;
};

// The running program's window, shown and active, and its bar; members left null when the
// bar is not the program's two menus.
Bar ShownBar();

void Select(QPlainTextEdit* text, int from, int to);

}  // namespace menus

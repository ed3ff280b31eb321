#include "menus/edit_menu_support.h"

#include <QApplication>
#include <QTest>

#include "support/harness.h"

namespace menus {

void Key(Qt::Key key, Qt::KeyboardModifiers mods) {
  QTest::keyClick(static_cast<QWidget*>(nullptr), key, mods);
}

QAction* Bar::Item(const QString& text) const {
  for (QAction* a : edit->actions())
    if (!a->isSeparator() && a->text() == text) return a;
  return nullptr;
}

std::string Bar::States() const {
  std::string out;
  for (const char* t : {"&Undo", "Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"}) {
    QAction* a = Item(t);
    out += !a ? '?' : a->isEnabled() ? '1' : '0';
  }
  return out;
}

bool Bar::EditOpen() const { return QApplication::activePopupWidget() == edit; }

void Bar::CloseMenus() const {
  for (int i = 0; i < 3 && QApplication::activePopupWidget(); ++i) Key(Qt::Key_Escape);
  if (QApplication::activePopupWidget()) QApplication::activePopupWidget()->close();
  if (bar->hasFocus()) Key(Qt::Key_Escape);  // leaves the bar's keyboard mode
}

Bar ShownBar() {
  Bar b;
  b.peer = qtest::ShownMainWindow();
  if (!b.peer) return b;
  b.bar = qobject_cast<QMenuBar*>(b.peer->menuWidget());
  if (!b.bar || b.bar->actions().size() != 2) return b;
  b.fileTitle = b.bar->actions()[0];
  b.editTitle = b.bar->actions()[1];
  b.file = b.fileTitle->menu();
  b.edit = b.editTitle->menu();
  return b;
}

void Select(QPlainTextEdit* text, int from, int to) {
  QTextCursor c = text->textCursor();
  c.setPosition(from);
  c.setPosition(to, QTextCursor::KeepAnchor);
  text->setTextCursor(c);
}

}  // namespace menus

// The menus' Qt side: actions linked to items, the menus built from a tree, pop-ups, the
// window's real menu bar, and the key router that lets the bar's shortcuts win.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <utility>

#include "platform/core/runtime.h"
#include "platform/ui/edit_commands.h"
#include "platform/ui/menu_peer.h"
#include "platform/ui/window_peer.h"

namespace rt {

struct MenuItem::Peers {
  std::vector<QPointer<QAction>> actions;
};

namespace {

using Access = MenuItemAccess;

MenuItem* ItemOf(const QAction* action) {
  return action ? static_cast<MenuItem*>(action->data().value<void*>()) : nullptr;
}

WindowPeer* PeerOf(QWidget* w) {
  for (; w; w = w->parentWidget())
    if (auto* peer = dynamic_cast<WindowPeer*>(w)) return peer;
  return nullptr;
}

// A menu bar, a menu, or a part of one (the bar's extension button).
bool InMenus(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    if (qobject_cast<const QMenuBar*>(w) || qobject_cast<const QMenu*>(w)) return true;
    if (w->isWindow()) break;
  }
  return false;
}

// The last control of a framework window that had the focus, the menus aside: when the
// menu bar takes the focus (Alt, a mnemonic, the arrows), the Edit items still act on it.
QPointer<QWidget>& LastFocus() {
  static QPointer<QWidget> last;
  return last;
}

void NoteFocus(QWidget* now) {
  if (now && !InMenus(now) && dynamic_cast<WindowPeer*>(now->window())) LastFocus() = now;
}

// The control the Edit items act on in the window: its focused one, or, while the focus is
// on its menu bar, the one that had it before.
QWidget* EditTarget(WindowPeer* peer) {
  QWidget* focus = peer->focusWidget();
  if (!InMenus(focus)) return focus;
  QWidget* last = LastFocus();
  return last && last->window() == peer && last->isVisible() && last->isEnabled() ? last
                                                                                   : nullptr;
}

// The control the Edit items act on: the edit target of the window that shows the menu.
QWidget* FocusTarget(const QAction* action) {
  if (action)
    if (WindowPeer* peer = PeerOf(qobject_cast<QWidget*>(action->parent())))
      return EditTarget(peer);
  QWidget* focus = QApplication::focusWidget();
  if (WindowPeer* peer = focus ? PeerOf(focus->window()) : nullptr) return EditTarget(peer);
  return focus;
}

QKeySequence ShortcutOf(const String& text) {
  QString rest = QString::fromUtf8(text.View().data(), static_cast<qsizetype>(text.Length()));
  rest = rest.trimmed();
  if (rest.isEmpty()) return {};
  // The framework's shortcut texts name the platform's command key "Cmd": Ctrl on Linux.
  static const std::pair<const char*, const char*> kModifiers[] = {
      {"cmd", "Ctrl"},     {"command", "Ctrl"}, {"ctrl", "Ctrl"},
      {"control", "Ctrl"}, {"shift", "Shift"},  {"alt", "Alt"},
      {"option", "Alt"},   {"opt", "Alt"},      {"meta", "Meta"},
  };
  QString portable;
  for (bool more = true; more;) {
    more = false;
    const qsizetype plus = rest.indexOf('+');
    if (plus <= 0 || plus == rest.size() - 1) break;
    const QString word = rest.left(plus).trimmed().toLower();
    for (const auto& [name, qt] : kModifiers)
      if (word == QLatin1String(name)) {
        portable += QLatin1String(qt) + QLatin1Char('+');
        rest = rest.mid(plus + 1).trimmed();
        more = true;
        break;
      }
  }
  QKeySequence seq = QKeySequence::fromString(portable + rest, QKeySequence::PortableText);
  if (seq.isEmpty() || seq[0].key() == Qt::Key_unknown) return {};
  return seq;
}

// ---- keeping the actions in step with the items ----

EditCommand CommandOf(const MenuItem* item) { return EditCommandNamed(item->Name().View()); }

// The default enabled state, then the item's EnableMenu handler, if any, has its say.
void RefreshEnabled(MenuItem* item, QWidget* focus) {
  bool on = false;
  if (item->AutoEnable()) {
    const EditCommand c = CommandOf(item);
    on = c == EditCommand::None || EditCommandApplies(c, focus);
  }
  Access::Enabled(item) = on;
  RaiseEvent(item, MenuItem::EnableMenu);
}

void ShowProperties(QAction* a, const MenuItem* item) {
  const String& text = item->Text();
  const bool separator = !a->menu() && text.View() == "-";
  a->setSeparator(separator);
  // A styled separator draws its text beside the line.
  a->setText(separator ? QString()
                       : QString::fromUtf8(text.View().data(),
                                           static_cast<qsizetype>(text.Length())));
  a->setShortcut(ShortcutOf(item->KeyboardShortcut()));
  a->setVisible(item->Visible());
  a->setEnabled(item->Enabled());
}

void Link(QAction* a, MenuItem* item) {
  a->setData(QVariant::fromValue(static_cast<void*>(item)));
  auto& peers = Access::PeersOf(item);
  if (!peers) peers.reset(new MenuItem::Peers);
  std::erase_if(peers->actions, [](const QPointer<QAction>& p) { return p.isNull(); });
  peers->actions.emplace_back(a);
  RefreshEnabled(item, FocusTarget(a));
  ShowProperties(a, item);
}

// Leaves the action unable to reach its item or take a key, before Qt deletes it.
void Unlink(QAction* a) {
  a->setData(QVariant());
  a->setShortcut({});
  a->setEnabled(false);
}

void ChooseMenuItem(QAction* action) {
  MenuItem* found = ItemOf(action);
  if (!found) return;
  Ref<MenuItem> item(found);  // a handler may drop the tree
  if (CallLogActive()) LogCall("menu " + item->Name().Std());
  // Quitting is honoured during a running action, as closing the window is: the action
  // then ends at its next background turn. Every other choice waits for it to end.
  if (item->IsA(QuitMenuItem::__Lookup())) {
    RaiseEvent(item.get(), MenuItem::Action);
    return;
  }
  if (RaiseUserAction(item.get(), MenuItem::Action)) return;
  if (EditCommand c = CommandOf(item.get()); c != EditCommand::None)
    PerformEditCommand(c, FocusTarget(action));
}

void RefreshMenu(QMenu* menu) {
  for (QAction* a : menu->actions())
    if (MenuItem* item = ItemOf(a)) {
      RefreshEnabled(item, FocusTarget(a));
      ShowProperties(a, item);
    }
}

void AddEntries(QMenu* menu, MenuItem* parent);

QMenu* NewMenu(QWidget* parent, MenuItem* item) {
  auto* menu = new QMenu(parent);
  QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { RefreshMenu(menu); });
  AddEntries(menu, item);
  Link(menu->menuAction(), item);
  return menu;
}

void AddEntries(QMenu* menu, MenuItem* parent) {
  for (const Ref<MenuItem>& child : parent->Children()) {
    if (!child->Children().empty()) {
      menu->addMenu(NewMenu(menu, child.get()));
      continue;
    }
    auto* action = new QAction(menu);
    QObject::connect(action, &QAction::triggered, action, [action] { ChooseMenuItem(action); });
    menu->addAction(action);
    Link(action, child.get());
  }
}

Ref<MenuItem> RunPopUp(MenuItem* self, const QPoint& where) {
  QMenu menu;
  QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] { RefreshMenu(&menu); });
  AddEntries(&menu, self);
  QPointer<QAction> chosen;
  QObject::connect(&menu, &QMenu::triggered, &menu, [&](QAction* a) {
    chosen = a;
    menu.close();
  });
  menu.exec(where);
  return Ref<MenuItem>(ItemOf(chosen));
}

// Gives the menu bar's items their keys before the focused control: a text control takes
// Ctrl+A, Ctrl+C ... as its own, and a list copies its current row on Ctrl+C, which would
// bypass the Edit items. The key of an enabled item triggers it; that of a disabled Edit
// item does nothing, as the item would.
class MenuKeyRouter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys typed in the window itself: a dialog or an open menu keeps its own.
    auto* peer = widget ? dynamic_cast<WindowPeer*>(widget->window()) : nullptr;
    auto* bar = peer ? qobject_cast<QMenuBar*>(peer->menuWidget()) : nullptr;
    if (!bar) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    bool claimed = false, withheld = false;
    for (QAction* a : bar->findChildren<QAction*>()) {
      MenuItem* item = ItemOf(a);
      if (!item || a->shortcut().isEmpty() || a->shortcut() != pressed) continue;
      RefreshEnabled(item, EditTarget(peer));
      ShowProperties(a, item);
      if (!a->isVisible()) continue;
      if (a->isEnabled())
        claimed = true;
      else if (CommandOf(item) != EditCommand::None)
        withheld = true;
    }
    if (type == QEvent::KeyPress) return !claimed && withheld;  // swallowed
    if (!claimed) return false;
    key->ignore();  // not the control's: the shortcut map then triggers the action
    return true;
  }
};

void EnsureKeyRouter() {
  static QPointer<MenuKeyRouter> router;
  if (router || !qApp) return;
  router = new MenuKeyRouter(qApp);  // goes with the application object
  qApp->installEventFilter(router);
  QObject::connect(qApp, &QApplication::focusChanged, router,
                   [](QWidget*, QWidget* now) { NoteFocus(now); });
  NoteFocus(QApplication::focusWidget());
}

}  // namespace

void MenuItem::PeersDeleter::operator()(Peers* peers) const noexcept {
  for (const QPointer<QAction>& a : peers->actions)
    if (a) Unlink(a);
  delete peers;
}

void ShowOnActions(MenuItem* item) {
  if (const auto& peers = Access::PeersOf(item))
    for (const QPointer<QAction>& a : peers->actions)
      if (a) ShowProperties(a, item);
}

void RefreshEnabledForFocus(MenuItem* item) {
  RefreshEnabled(item, FocusTarget(static_cast<QAction*>(FirstAction(item))));
}

void* FirstAction(MenuItem* item) {
  if (const auto& peers = Access::PeersOf(item))
    for (const QPointer<QAction>& a : peers->actions)
      if (a) return a.data();
  return nullptr;
}

Ref<MenuItem> PopUpAtPointer(MenuItem* self) { return RunPopUp(self, QCursor::pos()); }
Ref<MenuItem> PopUpAt(MenuItem* self, int32_t x, int32_t y) {
  return RunPopUp(self, QPoint(x, y));
}

// ---- the window's real menu bar ----

void InstallMenuBar(WindowPeer* window, MenuItem* bar) {
  if (!window) return;
  EnsureKeyRouter();
  auto* qbar = qobject_cast<QMenuBar*>(window->menuWidget());
  if (!qbar) {
    if (!bar) return;
    qbar = new QMenuBar(window);
    window->setMenuBar(qbar);
  }
  // The old menus go once control is back in the loop: one of their actions may be
  // running right now. Until then they reach no item and take no key.
  for (QAction* top : qbar->actions()) {
    QMenu* menu = top->menu();
    if (!menu || !ItemOf(top)) continue;  // not one of ours
    qbar->removeAction(top);
    Unlink(top);
    for (QAction* a : menu->findChildren<QAction*>()) Unlink(a);
    menu->deleteLater();
  }
  if (!bar) {
    qbar->hide();
    qbar->setProperty("quorvane.noBar", true);
    return;
  }
  if (qbar->property("quorvane.noBar").toBool()) {
    qbar->setProperty("quorvane.noBar", QVariant());
    qbar->show();
  }
  for (const Ref<MenuItem>& menu : bar->Children()) qbar->addMenu(NewMenu(qbar, menu.get()));
  if (CallLogActive()) LogCall("InstallMenuBar " + std::to_string(bar->Children().size()));
}

}  // namespace rt

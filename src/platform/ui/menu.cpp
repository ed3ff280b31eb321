#include "platform/ui/menu.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <algorithm>

#include "platform/core/errors.h"
#include "platform/core/runtime.h"
#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"

namespace rt {

struct MenuItem::Peers {
  std::vector<QPointer<QAction>> actions;
};

// The Qt side reaches the model's private state through here only.
struct MenuItemAccess {
  static bool& Enabled(MenuItem* m) { return m->enabled_; }
  static MenuItem::Peers& PeersOf(MenuItem* m) {
    if (!m->peers_) m->peers_ = std::make_unique<MenuItem::Peers>();
    return *m->peers_;
  }
  static MenuItem::Peers* FindPeers(MenuItem* m) { return m->peers_.get(); }
  static void SetParent(MenuItem* m, MenuItem* parent) { m->parent_ = parent; }
  static std::vector<Ref<MenuItem>>& ChildrenOf(MenuItem* m) { return m->children_; }
  static void CopyProperties(MenuItem* to, const MenuItem* from) {
    to->name_ = from->name_;
    to->text_ = from->text_;
    to->shortcut_ = from->shortcut_;
    to->autoEnable_ = from->autoEnable_;
    to->visible_ = from->visible_;
    to->enabled_ = from->enabled_;
    to->index_ = from->index_;
    to->tag_ = from->tag_;
  }
  static void SwapState(MenuItem* a, MenuItem* b) {
    std::swap(a->name_, b->name_);
    std::swap(a->text_, b->text_);
    std::swap(a->shortcut_, b->shortcut_);
    std::swap(a->autoEnable_, b->autoEnable_);
    std::swap(a->visible_, b->visible_);
    std::swap(a->enabled_, b->enabled_);
    std::swap(a->index_, b->index_);
    std::swap(a->tag_, b->tag_);
    std::swap(a->children_, b->children_);
    for (Ref<MenuItem>& c : a->children_) c->parent_ = a;
    for (Ref<MenuItem>& c : b->children_) c->parent_ = b;
  }
};

namespace {

using Access = MenuItemAccess;

MenuItem* Tested(MenuItem* item) {
  if (!item) RaiseNilObjectException();
  return item;
}

// ---- the Qt side: actions linked to items ----

MenuItem* ItemOf(const QAction* action) {
  return action ? static_cast<MenuItem*>(action->data().value<void*>()) : nullptr;
}

WindowPeer* PeerOf(QWidget* w) {
  for (; w; w = w->parentWidget())
    if (auto* peer = dynamic_cast<WindowPeer*>(w)) return peer;
  return nullptr;
}

// The control the Edit items act on: the focused one of the window that shows the menu.
QWidget* FocusTarget(const QAction* action) {
  if (action)
    if (WindowPeer* peer = PeerOf(qobject_cast<QWidget*>(action->parent())))
      return peer->focusWidget();
  return QApplication::focusWidget();
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

// ---- the standard Edit items ----

enum class EditCommand { None, Undo, Cut, Copy, Paste, Clear, SelectAll };

EditCommand CommandOf(const MenuItem* item) {
  static const std::pair<const char*, EditCommand> kNames[] = {
      {"EditUndo", EditCommand::Undo},   {"EditCut", EditCommand::Cut},
      {"EditCopy", EditCommand::Copy},   {"EditPaste", EditCommand::Paste},
      {"EditClear", EditCommand::Clear}, {"EditSelectAll", EditCommand::SelectAll},
  };
  for (const auto& [name, command] : kNames)
    if (item->Name().View() == name) return command;
  return EditCommand::None;
}

struct TextState {
  bool readOnly, selection, undo, paste, text, reveals;
};

bool Applies(EditCommand c, const TextState& s) {
  switch (c) {
    case EditCommand::Undo:
      return !s.readOnly && s.undo;
    case EditCommand::Cut:
      return !s.readOnly && s.selection && s.reveals;
    case EditCommand::Copy:
      return s.selection && s.reveals;
    case EditCommand::Paste:
      return !s.readOnly && s.paste;
    case EditCommand::Clear:
      return !s.readOnly && s.selection;
    case EditCommand::SelectAll:
      return s.text;
    case EditCommand::None:
      break;
  }
  return false;
}

template <class Edit>  // QPlainTextEdit or QTextEdit
TextState StateOf(Edit* e) {
  return {e->isReadOnly(), e->textCursor().hasSelection(), e->document()->isUndoAvailable(),
          e->canPaste(),   !e->document()->isEmpty(),      true};
}
TextState StateOf(QLineEdit* e) {
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  return {e->isReadOnly(),         e->hasSelectedText(), e->isUndoAvailable(),
          clip && clip->hasText(), !e->text().isEmpty(), e->echoMode() == QLineEdit::Normal};
}

bool MultipleSelection(QAbstractItemView* v) {
  const auto mode = v->selectionMode();
  return mode == QAbstractItemView::MultiSelection ||
         mode == QAbstractItemView::ExtendedSelection ||
         mode == QAbstractItemView::ContiguousSelection;
}

bool Applies(EditCommand c, QWidget* w) {
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return Applies(c, StateOf(e));
  if (auto* e = qobject_cast<QTextEdit*>(w)) return Applies(c, StateOf(e));
  if (auto* e = qobject_cast<QLineEdit*>(w)) return Applies(c, StateOf(e));
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    if (c == EditCommand::Copy) return v->selectionModel() && v->selectionModel()->hasSelection();
    if (c == EditCommand::SelectAll)
      return MultipleSelection(v) && v->model() && v->model()->rowCount(v->rootIndex()) > 0;
  }
  return false;
}

// The selected rows as text: cells by tabs, rows by line ends.
QString SelectedText(QAbstractItemView* v) {
  QModelIndexList cells = v->selectionModel()->selectedIndexes();
  std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
    return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
  });
  QString out;
  int row = -1;
  for (const QModelIndex& cell : cells) {
    if (row >= 0) out += cell.row() == row ? QLatin1Char('\t') : QLatin1Char('\n');
    row = cell.row();
    out += cell.data(Qt::DisplayRole).toString();
  }
  return out;
}

template <class Edit>
void PerformOnText(EditCommand c, Edit* e) {
  switch (c) {
    case EditCommand::Undo:
      e->undo();
      break;
    case EditCommand::Cut:
      e->cut();
      break;
    case EditCommand::Copy:
      e->copy();
      break;
    case EditCommand::Paste:
      e->paste();
      break;
    case EditCommand::Clear: {
      QTextCursor cursor = e->textCursor();
      cursor.removeSelectedText();
      e->setTextCursor(cursor);
      break;
    }
    case EditCommand::SelectAll:
      e->selectAll();
      break;
    case EditCommand::None:
      break;
  }
}

void Perform(EditCommand c, QWidget* w) {
  if (!Applies(c, w)) return;  // the state may have changed since the menu was enabled
  if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return PerformOnText(c, e);
  if (auto* e = qobject_cast<QTextEdit*>(w)) return PerformOnText(c, e);
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    switch (c) {
      case EditCommand::Undo:
        e->undo();
        break;
      case EditCommand::Cut:
        e->cut();
        break;
      case EditCommand::Copy:
        e->copy();
        break;
      case EditCommand::Paste:
        e->paste();
        break;
      case EditCommand::Clear:
        e->del();
        break;  // with a selection: deletes just that
      case EditCommand::SelectAll:
        e->selectAll();
        break;
      case EditCommand::None:
        break;
    }
    return;
  }
  if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
    if (c == EditCommand::Copy) QGuiApplication::clipboard()->setText(SelectedText(v));
    if (c == EditCommand::SelectAll) v->selectAll();
  }
}

// ---- keeping the actions in step with the items ----

// The default enabled state, then the item's EnableMenu handler, if any, has its say.
void RefreshEnabled(MenuItem* item, QWidget* focus) {
  bool on = false;
  if (item->AutoEnable()) {
    const EditCommand c = CommandOf(item);
    on = c == EditCommand::None || Applies(c, focus);
  }
  Access::Enabled(item) = on;
  RaiseEvent(item, MenuItem::EnableMenu);
}

void ShowProperties(QAction* a, const MenuItem* item) {
  const String& text = item->Text();
  a->setSeparator(!a->menu() && text.View() == "-");
  a->setText(QString::fromUtf8(text.View().data(), static_cast<qsizetype>(text.Length())));
  a->setShortcut(ShortcutOf(item->KeyboardShortcut()));
  a->setVisible(item->Visible());
  a->setEnabled(item->Enabled());
}

void ShowOnActions(MenuItem* item) {
  if (MenuItem::Peers* peers = Access::FindPeers(item))
    for (const QPointer<QAction>& a : peers->actions)
      if (a) ShowProperties(a, item);
}

void Link(QAction* a, MenuItem* item) {
  a->setData(QVariant::fromValue(static_cast<void*>(item)));
  auto& actions = Access::PeersOf(item).actions;
  std::erase_if(actions, [](const QPointer<QAction>& p) { return p.isNull(); });
  actions.emplace_back(a);
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
  if (RaiseUserAction(item.get(), MenuItem::Action)) return;
  if (EditCommand c = CommandOf(item.get()); c != EditCommand::None)
    Perform(c, FocusTarget(action));
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

// Lets the menu bar's enabled actions take their keys before the focused control does:
// a text control accepts Ctrl+A, Ctrl+C ... as its own, which would bypass the Edit items.
class MenuKeyRouter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    // Only keys typed in the window itself: a dialog or an open menu keeps its own.
    auto* peer = widget ? dynamic_cast<WindowPeer*>(widget->window()) : nullptr;
    auto* bar = peer ? qobject_cast<QMenuBar*>(peer->menuWidget()) : nullptr;
    if (!bar) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    bool claimed = false;
    for (QAction* a : bar->findChildren<QAction*>()) {
      MenuItem* item = ItemOf(a);
      if (!item || a->shortcut().isEmpty() || a->shortcut() != pressed) continue;
      RefreshEnabled(item, peer->focusWidget());
      ShowProperties(a, item);
      claimed = claimed || (a->isEnabled() && a->isVisible());
    }
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
}

// ---- the model ----

void CheckPlace(MenuItem* self, MenuItem* item) {
  for (MenuItem* p = self; p; p = p->Parent())
    if (p == item)
      RaiseException(RuntimeException::__Lookup(),
                     String("A menu item cannot be placed inside itself."));
}

void TakeOut(MenuItem* item) {
  MenuItem* parent = item->Parent();
  if (!parent) return;
  Ref<MenuItem> hold(item);
  auto& siblings = Access::ChildrenOf(parent);
  auto it = std::find(siblings.begin(), siblings.end(), hold);
  Access::SetParent(item, nullptr);
  if (it != siblings.end()) siblings.erase(it);
}

void Place(MenuItem* self, size_t at, MenuItem* item) {
  CheckPlace(self, item);
  Ref<MenuItem> hold(item);
  TakeOut(item);
  auto& children = Access::ChildrenOf(self);
  children.insert(children.begin() + static_cast<std::ptrdiff_t>(std::min(at, children.size())),
                  hold);
  Access::SetParent(item, self);
}

void CheckIndex(int32_t index, size_t size) {
  if (index < 0 || static_cast<size_t>(index) >= size)
    RaiseException(OutOfBoundsException::__Lookup());
}

void CopyInto(MenuItem* to, MenuItem* from) {
  Access::CopyProperties(to, from);
  for (const Ref<MenuItem>& child : from->Children()) {
    Ref<MenuItem> copy = MenuItem::Clone(child.get());
    Place(to, to->Children().size(), copy.get());
  }
}

Ref<MenuItem> PopUpAt(MenuItem* self, const QPoint& where) {
  _UITrap();
  Tested(self);
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

// ---- class tables ----

template <class Sig>
Invoker Inv() {
  return ErasedInvokerFor<Sig>();
}

// Members taking a text and a Variant: the Variant comes as it is.
Value InvokeTextTag(AnyFn function, Object* target, const ValueList* args) {
  if (!target) RaiseNilObjectException();
  if (!args) RaiseNilObjectException();
  if (args->size() < 2) RaiseException(OutOfBoundsException::__Lookup());
  Ref<MenuItem> self = CheckCast<MenuItem>(target, MenuItem::__Lookup());
  reinterpret_cast<void (*)(MenuItem*, const String&, const Value&)>(function)(
      self.get(), std::get<String>((*args)[0]), (*args)[1]);
  return {};
}

using M = MenuItem;
using S = const String&;
using TextTagFn = void (*)(M*, S, const Value&);

// The menu item's own members, by name (character code).
void AddMenuItemMembers(ClassTable* c) {
  const Invoker textTag = EraseFn(&InvokeTextTag);
  AddMembers(
      c, {
             {"Append", "%%o<MenuItem>", EraseFn(&M::Append), Inv<void(M*, M*)>(), 0},
             {"Child", "%o<MenuItem>%s", EraseFn(&M::Child), Inv<Ref<M>(M*, S)>(), 1},
             {"Clone", "%o<MenuItem>%", EraseFn(&M::Clone), Inv<Ref<M>(M*)>(), 2},
             {"Close", "%%", EraseFn(&M::Close), Inv<void(M*)>(), 3},
             {"Constructor", "%%", EraseFn(static_cast<void (*)(M*)>(&M::Constructor)),
              Inv<void(M*)>(), 4},
             {"Constructor", "%%o<MenuItem>",
              EraseFn(static_cast<void (*)(M*, M*)>(&M::Constructor)), Inv<void(M*, M*)>(), 5},
             {"Constructor", "%%so<Variant>", EraseFn(static_cast<TextTagFn>(&M::Constructor)),
              textTag, 6},
             {"Count", "%i4%", EraseFn(&M::Count), Inv<int32_t(M*)>(), 7},
             {"Enable", "%%", EraseFn(&M::Enable), Inv<void(M*)>(), 8},
             {"Handle", "%p%", EraseFn(&M::Handle), Inv<void*(M*)>(), 9},
             {"Insert", "%%i4o<MenuItem>", EraseFn(&M::Insert), Inv<void(M*, int32_t, M*)>(), 10},
             {"Item", "%o<MenuItem>%i4", EraseFn(&M::Item), Inv<Ref<M>(M*, int32_t)>(), 11},
             {"MenuItem", "%%", EraseFn(static_cast<void (*)(M*)>(&M::MenuItem_)), Inv<void(M*)>(),
              12, MemberKind::ClassConstructor},
             {"MenuItem", "%%so<Variant>", EraseFn(static_cast<TextTagFn>(&M::MenuItem_)), textTag,
              13, MemberKind::ClassConstructor},
             {"PopUp", "%o<MenuItem>%", EraseFn(static_cast<Ref<M> (*)(M*)>(&M::PopUp)),
              Inv<Ref<M>(M*)>(), 14},
             {"PopUp", "%o<MenuItem>%i4i4",
              EraseFn(static_cast<Ref<M> (*)(M*, int32_t, int32_t)>(&M::PopUp)),
              Inv<Ref<M>(M*, int32_t, int32_t)>(), 15},
             {"Remove", "%%i4", EraseFn(static_cast<void (*)(M*, int32_t)>(&M::Remove)),
              Inv<void(M*, int32_t)>(), 16},
             {"Remove", "%%o<MenuItem>", EraseFn(static_cast<void (*)(M*, M*)>(&M::Remove)),
              Inv<void(M*, M*)>(), 17},
             {"Remove", "%%s", EraseFn(static_cast<void (*)(M*, S)>(&M::Remove)),
              Inv<void(M*, S)>(), 18},
             {"_DependencyList", "%%", EraseFn(&M::_DependencyList), Inv<void(M*)>(), 19},
             {"_DisableEntirely", "%%", EraseFn(&M::_DisableEntirely), Inv<void(M*)>(), 20},
             {"_Lookup", "%o<MenuItem>%s", EraseFn(static_cast<Ref<M> (*)(M*, S)>(&M::_Lookup)),
              Inv<Ref<M>(M*, S)>(), 21},
             {"_Lookup", "%o<MenuItem>%si4",
              EraseFn(static_cast<Ref<M> (*)(M*, S, int32_t)>(&M::_Lookup)),
              Inv<Ref<M>(M*, S, int32_t)>(), 22},
             {"_SelfEnable", "%%", EraseFn(&M::_SelfEnable), Inv<void(M*)>(), 23},
             {"_Swap", "%%o<MenuItem>", EraseFn(&M::_Swap), Inv<void(M*, M*)>(), 24},
             {"__Exit", "%%", EraseFn(&M::__Exit), Inv<void(M*)>(), -1, MemberKind::Plain},
             {"__Init", "%%", EraseFn(&M::__Init), Inv<void(M*)>(), -1, MemberKind::Plain},
         });
}

Object* NewMenuItem() {
  auto* item = new MenuItem;
  MenuItem::__Init(item);
  return item;
}
Object* NewMenuBar() {
  auto* bar = new MenuBar;
  MenuItem::__Init(bar);
  MenuBar::__Init(bar);
  return bar;
}
Object* NewQuitMenuItem() {
  auto* item = new QuitMenuItem;
  MenuItem::__Init(item);
  return item;
}

void DestroyMenuItem(Object* self) { MenuItem::__Exit(static_cast<MenuItem*>(self)); }

}  // namespace

ClassTable* MenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<MenuItem>("MenuItem", nullptr, 27, kEventCount, 0);
    c->factory = &NewMenuItem;
    c->destructor = &DestroyMenuItem;
    c->eventNames = {"Action", "EnableMenu"};
    RuntimeNewVtable(c, kSlotCount);
    AddMenuItemMembers(c);
    FillVtableFromMembers(c);
    return c;
  }();
  return cls;
}

ClassTable* MenuBar::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* super = MenuItem::__Lookup();
    ClassTable* c = DefineClass<MenuBar>("MenuBar", super, 29, 0, 0);
    c->factory = &NewMenuBar;
    RuntimeNewVtable(c, kSlotCount);
    // MenuItem's members in name order, with the bar's own in their places.
    for (const MemberDescription& m : super->members) {
      if (m.name == "_Lookup" && m.slot == MenuItem::slot::_Lookup.index)
        AddMembers(c, {{"_InstallClone", "%%", EraseFn(&MenuBar::_InstallClone), Inv<void(M*)>(),
                        slot::_InstallClone.index}});
      c->members.push_back(m);
      if (m.name == "_DependencyList") c->members.back().function = EraseFn(&_DependencyList);
      if (m.name == "__Init")
        AddMembers(c, {{"__Init", "%%", EraseFn(&MenuBar::__Init), Inv<void(M*)>(), -1,
                        MemberKind::Plain}});
    }
    FillVtableFromMembers(c);
    return c;
  }();
  return cls;
}

ClassTable* QuitMenuItem::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<QuitMenuItem>("QuitMenuItem", MenuItem::__Lookup());
    c->factory = &NewQuitMenuItem;
    RuntimeNewVtable(c, kSlotCount);
    c->events[Action] = HandlerOf<&QuitMenuItem::Event_Action>();
    return c;
  }();
  return cls;
}

// ---- hooks ----

void MenuItem::__Init(MenuItem* self) {
  Tested(self);
  self->autoEnable_ = true;
  self->visible_ = true;
  self->enabled_ = true;
  self->index_ = -1;
}

void MenuBar::__Init(MenuItem* self) { Tested(self); }  // an item's defaults serve a bar

void MenuItem::__Exit(MenuItem* self) {
  Tested(self);
  std::vector<Ref<MenuItem>> children = std::move(self->children_);
  self->children_.clear();
  for (Ref<MenuItem>& c : children)
    if (c->parent_ == self) c->parent_ = nullptr;
  children.clear();
  self->name_ = self->text_ = self->shortcut_ = String();
  self->tag_ = Value();
}

MenuItem::~MenuItem() {
  for (Ref<MenuItem>& c : children_)
    if (c->parent_ == this) c->parent_ = nullptr;
  if (peers_)
    for (const QPointer<QAction>& a : peers_->actions)
      if (a) Unlink(a);
}

// ---- virtual operations ----

void MenuItem::Append(MenuItem* self, MenuItem* item) {
  _UITrap();
  if (!self || !item) RaiseNilObjectException();
  MaybeFail("MenuItem.Append");
  if (CallLogActive()) LogCall("MenuItem.Append " + item->name_.Std());
  Place(self, self->children_.size(), item);
}

Ref<MenuItem> MenuItem::Child(MenuItem* self, const String& name) {
  _UITrap();
  Tested(self);
  MaybeFail("MenuItem.Child");
  if (CallLogActive()) LogCall("MenuItem.Child " + name.Std());
  for (const Ref<MenuItem>& c : self->children_)
    if (c->name_ == name) return c;
  return nullptr;
}

Ref<MenuItem> MenuItem::Clone(MenuItem* self) {
  _UITrap();
  Tested(self);
  Ref<Object> made = RuntimeNewObject(self->Class());
  Ref<MenuItem> copy(static_cast<MenuItem*>(made.get()));
  CopyInto(copy.get(), self);
  return copy;
}

void MenuItem::Close(MenuItem* self) {
  _UITrap();
  TakeOut(Tested(self));
}

void MenuItem::Constructor(MenuItem* self) {
  _UITrap();
  Tested(self);
  MaybeFail("MenuItem.Constructor");
}

void MenuItem::Constructor(MenuItem* self, MenuItem* from) {
  Constructor(self);
  if (!from) RaiseNilObjectException();
  if (from != self) CopyInto(self, from);
}

void MenuItem::Constructor(MenuItem* self, const String& text, const Value& tag) {
  Constructor(self);
  self->text_ = text;
  self->tag_ = tag;
}

int32_t MenuItem::Count(MenuItem* self) {
  _UITrap();
  return static_cast<int32_t>(Tested(self)->children_.size());
}

void MenuItem::Enable(MenuItem* self) {
  _UITrap();
  Tested(self)->enabled_ = true;
  ShowOnActions(self);
}

void* MenuItem::Handle(MenuItem* self) {
  _UITrap();
  if (Peers* peers = Tested(self)->peers_.get())
    for (const QPointer<QAction>& a : peers->actions)
      if (a) return a.data();
  return nullptr;
}

void MenuItem::Insert(MenuItem* self, int32_t index, MenuItem* item) {
  _UITrap();
  if (!self || !item) RaiseNilObjectException();
  if (index < 0 || static_cast<size_t>(index) > self->children_.size())
    RaiseException(OutOfBoundsException::__Lookup());
  Place(self, static_cast<size_t>(index), item);
}

Ref<MenuItem> MenuItem::Item(MenuItem* self, int32_t index) {
  _UITrap();
  CheckIndex(index, Tested(self)->children_.size());
  return self->children_[static_cast<size_t>(index)];
}

void MenuItem::MenuItem_(MenuItem* self) { Constructor(self); }
void MenuItem::MenuItem_(MenuItem* self, const String& text, const Value& tag) {
  Constructor(self, text, tag);
}

Ref<MenuItem> MenuItem::PopUp(MenuItem* self) { return PopUpAt(self, QCursor::pos()); }
Ref<MenuItem> MenuItem::PopUp(MenuItem* self, int32_t x, int32_t y) {
  return PopUpAt(self, QPoint(x, y));
}

void MenuItem::Remove(MenuItem* self, int32_t index) {
  _UITrap();
  CheckIndex(index, Tested(self)->children_.size());
  TakeOut(self->children_[static_cast<size_t>(index)].get());
}

void MenuItem::Remove(MenuItem* self, MenuItem* item) {
  _UITrap();
  Tested(self);
  if (item && item->parent_ == self) TakeOut(item);
}

void MenuItem::Remove(MenuItem* self, const String& name) {
  _UITrap();
  for (const Ref<MenuItem>& c : Tested(self)->children_)
    if (c->name_ == name) return TakeOut(c.get());
}

void MenuItem::_DependencyList(MenuItem*) {}
void MenuBar::_DependencyList(MenuItem*) {}

void MenuItem::_DisableEntirely(MenuItem* self) {
  _UITrap();
  Tested(self)->enabled_ = false;
  ShowOnActions(self);
  for (const Ref<MenuItem>& c : self->children_) _DisableEntirely(c.get());
}

Ref<MenuItem> MenuItem::_Lookup(MenuItem* self, const String& name) {
  _UITrap();
  return RuntimeMenuItemLookup(self, name);
}

Ref<MenuItem> MenuItem::_Lookup(MenuItem* self, const String& name, int32_t index) {
  _UITrap();
  return RuntimeMenuItemLookup(self, name, index);
}

void MenuItem::_SelfEnable(MenuItem* self) {
  _UITrap();
  Tested(self);
  RefreshEnabled(self, QApplication::focusWidget());
  ShowOnActions(self);
}

void MenuItem::_Swap(MenuItem* self, MenuItem* other) {
  _UITrap();
  if (!self || !other) RaiseNilObjectException();
  if (self == other) return;
  CheckPlace(self, other);  // neither may end up inside itself
  CheckPlace(other, self);
  Access::SwapState(self, other);
  ShowOnActions(self);
  ShowOnActions(other);
}

void MenuBar::_InstallClone(MenuItem* self) {
  _UITrap();
  Tested(self);
  for (const Ref<Window>& w : RuntimeWindows())
    if (w->Peer() && Window::GetMenuBar(w.get()).get() == self) InstallMenuBar(w->Peer(), self);
}

bool QuitMenuItem::Event_Action(QuitMenuItem* self) { return QuitMenuAction(self); }

bool QuitMenuAction(MenuItem*) {
  LogCall("QuitMenuAction");
  Quit(0);
  return true;
}

Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name) {
  Tested(root);
  for (const Ref<MenuItem>& c : root->Children()) {
    if (c->Name() == name) return c;
    if (Ref<MenuItem> below = RuntimeMenuItemLookup(c.get(), name)) return below;
  }
  return nullptr;
}

Ref<MenuItem> RuntimeMenuItemLookup(MenuItem* root, const String& name, int32_t index) {
  Tested(root);
  for (const Ref<MenuItem>& c : root->Children()) {
    if (c->Name() == name && c->Index() == index) return c;
    if (Ref<MenuItem> below = RuntimeMenuItemLookup(c.get(), name, index)) return below;
  }
  return nullptr;
}

// ---- properties ----

namespace {
void LogSet(const char* property, const std::string& value) {
  if (CallLogActive()) LogCall(std::string("MenuItem.") + property + " set " + value);
}
}  // namespace

void MenuItem::SetName(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->name_ = v;
  LogSet("Name", v.Std());
}
void MenuItem::SetText(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->text_ = v;
  LogSet("Text", v.Std());
  ShowOnActions(self);
}
void MenuItem::SetAutoEnable(MenuItem* self, bool v) {
  _UITrap();
  Tested(self)->autoEnable_ = v;
  LogSet("AutoEnable", v ? "True" : "False");
}
void MenuItem::SetVisible(MenuItem* self, bool v) {
  _UITrap();
  Tested(self)->visible_ = v;
  LogSet("Visible", v ? "True" : "False");
  ShowOnActions(self);
}
void MenuItem::SetKeyboardShortcut(MenuItem* self, const String& v) {
  _UITrap();
  Tested(self)->shortcut_ = v;
  LogSet("KeyboardShortcut", v.Std());
  ShowOnActions(self);
}
void MenuItem::SetIndex(MenuItem* self, int32_t v) {
  _UITrap();
  Tested(self)->index_ = v;
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

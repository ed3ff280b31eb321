#include "platform/ui/text_area.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/core/errors.h"
#include "platform/core/property_setter.h"
#include "platform/core/runtime.h"
#include "platform/ui/widget_support.h"

namespace rt {

// A plain text is all the model holds; a plain-text editor lays out only the lines it
// shows, where a rich-text one would lay out, and keep, every line of a long text.
using TextPeer = QPlainTextEdit;

ClassTable* TextEdit::__Lookup() {
  static ClassTable* cls = [] {
    ClassTable* c = DefineClass<TextEdit>("TextEdit", RectControl::__Lookup(), 0, 0, 1);
    RuntimeNewVtable(c, RectControl::kSlotCount);
    AddField<&TextEdit::AutomaticallyCheckSpelling>(c, "AutomaticallyCheckSpelling");
    return c;
  }();
  return cls;
}

ClassTable* TextArea::__Lookup() {
  static ClassTable* cls = [] {
    using T = TextArea;
    ClassTable* c = DefineClass<T>("TextArea", TextEdit::__Lookup(), 0, 0, 26);
    RuntimeNewVtable(c, RectControl::kSlotCount);
    AddProperty<&T::GetBorder, &T::SetBorder>(c, "Border");
    AddProperty<&T::GetMultiLine, &T::SetMultiLine>(c, "MultiLine");
    AddProperty<&T::GetScrollBarHorizontal, &T::SetScrollBarHorizontal>(c, "ScrollBarHorizontal");
    AddProperty<&T::GetScrollBarVertical, &T::SetScrollBarVertical>(c, "ScrollBarVertical");
    AddProperty<&T::GetStyled, &T::SetStyled>(c, "Styled");
    AddField<&T::UseFocusRing>(c, "UseFocusRing");
    AddProperty<&T::GetTextColor, &T::SetTextColor>(c, "TextColor");
    AddProperty<&T::GetBackColor, &T::SetBackColor>(c, "BackColor");
    AddField<&T::Format>(c, "Format");
    AddProperty<&T::GetHideSelection, &T::SetHideSelection>(c, "HideSelection");
    AddField<&T::LineHeight>(c, "LineHeight");
    AddField<&T::LineSpacing>(c, "LineSpacing");
    RectControl::AddFontProperties(c);
    AddProperty<&TextEdit::GetText, &TextEdit::SetText>(c, "Text");
    AddField<&T::Mask>(c, "Mask");
    AddProperty<&T::GetReadOnly, &T::SetReadOnly>(c, "ReadOnly");
    AddField<&T::LimitText>(c, "LimitText");
    AddProperty<&T::GetAcceptTabs, &T::SetAcceptTabs>(c, "AcceptTabs");
    AddProperty<&T::GetAlignment, &T::SetAlignment>(c, "Alignment");
    AddField<&T::DataSource>(c, "DataSource");
    AddField<&T::DataField>(c, "DataField");
    return c;
  }();
  return cls;
}

// ---- TextEdit ----

namespace {

// The same text, known without comparing: one buffer, one length.
bool Same(const String& a, const String& b) {
  return a.Length() == b.Length() && (a.IsEmpty() || a.SharesBufferWith(b));
}

// True when text is shown followed by more, or equal to it; cheap for texts that share a
// buffer, which is how a text grows by appending.
bool Extends(const String& text, const String& shown) {
  if (text.Length() < shown.Length()) return false;
  return text.SharesBufferWith(shown) || text.View().starts_with(shown.View());
}

// Input that could act on the text waits until the peer shows the exact text.
bool ActsOnText(QEvent::Type t) {
  switch (t) {
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::FocusIn:
      return true;
    default:
      return false;
  }
}

// Qt's word wrap measures a word from each row's start to the word's end, so a word much
// longer than a row costs it the square of its length: minutes for a title of a megabyte.
// Wrapping anywhere costs one pass. Words up to this many bytes wrap between words.
constexpr size_t kLongestWrappedWord = 1000;

}  // namespace

void TextEdit::PrepareWrap(std::string_view added, bool whole) {
  if (whole) {
    endRun_ = 0;
    longWord_ = false;
  }
  for (char c : added) {
    if (c == ' ' || c == '\t' || c == '\n')
      endRun_ = 0;
    else if (++endRun_ > kLongestWrappedWord)
      longWord_ = true;
  }
  if (auto* edit = static_cast<TextPeer*>(Peer()))
    edit->setWordWrapMode(longWord_ ? QTextOption::WrapAnywhere
                                    : QTextOption::WrapAtWordBoundaryOrAnywhere);
}

QWidget* TextEdit::CreatePeer(QWidget* parent) {
  auto* edit = new TextPeer(parent);
  QObject::connect(edit, &TextPeer::textChanged, Bridge(), [this] {
    if (!settingPeer_) UserEdited();
  });
  auto* events = static_cast<PeerBridge*>(Bridge());
  events->onEvent = [](QEvent* e) {
    if (ActsOnText(e->type())) CatchUpPeers();
  };
  edit->installEventFilter(events);
  edit->viewport()->installEventFilter(events);
  return edit;
}

void TextEdit::SyncPeer(QWidget* peer) {
  RectControl::SyncPeer(peer);
  PrepareWrap(text_.View(), true);
  settingPeer_ = true;
  static_cast<TextPeer*>(peer)->setPlainText(ToQString(text_));
  settingPeer_ = false;
  shown_ = text_;
}

String TextEdit::GetText(TextEdit* self) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  return self->text_;
}

void TextEdit::SetText(TextEdit* self, const String& text) {
  _UITrap();
  if (!self) RaiseNilObjectException();
  self->text_ = text;
  if (self->Peer()) self->Lag();
}

void TextEdit::CatchUp() {
  auto* edit = static_cast<TextPeer*>(Peer());
  if (!edit) return;
  const String text = text_;
  settingPeer_ = true;  // the peer's change signal is not the user's edit
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{settingPeer_};
  if (Extends(text, shown_)) {
    if (text.Length() == shown_.Length()) return;
    const std::string_view tail = text.View().substr(shown_.Length());
    PrepareWrap(tail, false);
    QTextCursor end(edit->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QString::fromUtf8(tail.data(), static_cast<qsizetype>(tail.size())));
    // As with a whole new text, what the program wrote is not the user's to undo.
    edit->document()->clearUndoRedoStacks();
  } else {
    PrepareWrap(text.View(), true);
    edit->setPlainText(ToQString(text));
  }
  shown_ = text;
}

// The user changed the text the peer shows. A text set meanwhile that extends what was shown
// keeps its tail after the user's text; a whole new one replaces the user's change.
void TextEdit::UserEdited() {
  auto* edit = static_cast<TextPeer*>(Peer());
  String typed = FromQString(edit->toPlainText());
  if (Same(text_, shown_))
    text_ = typed;
  else if (Extends(text_, shown_))
    text_ = typed + String(text_.View().substr(shown_.Length()));
  shown_ = std::move(typed);
  PrepareWrap(shown_.View(), true);  // for the next layout: this one is done
  if (!Same(text_, shown_)) Lag();
}

// ---- TextArea ----

void TextArea::SyncPeer(QWidget* peer) {
  TextEdit::SyncPeer(peer);
  ApplyLook();
}

void TextArea::ApplyLook() {
  auto* edit = static_cast<TextPeer*>(PeerForUpdate());
  if (!edit) return;
  edit->setFrameShape(border_ ? QFrame::StyledPanel : QFrame::NoFrame);
  edit->setLineWrapMode(multiLine_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  edit->setHorizontalScrollBarPolicy(scrollBarHorizontal_ ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(scrollBarVertical_ ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
  edit->setReadOnly(readOnly_);
  edit->setTabChangesFocus(!acceptTabs_);
  QPalette palette;  // roles not set here follow the desktop
  SetOwnColor(palette, QPalette::Text, textColor_, kDefaultTextColor);
  SetOwnColor(palette, QPalette::Base, backColor_, kDefaultBackColor);
  if (hideSelection_) {
    // Qt paints the selection of a text area without the focus in the inactive colours:
    // no brush there leaves the text as it is, unmarked.
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, Qt::NoBrush);
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText, Qt::NoBrush);
  }
  edit->setPalette(palette);
  QTextOption option = edit->document()->defaultTextOption();
  option.setAlignment(alignment_ == 2   ? Qt::AlignHCenter
                      : alignment_ == 3 ? Qt::AlignRight
                                        : Qt::AlignLeft);
  edit->document()->setDefaultTextOption(option);
}

bool TextArea::GetBorder(TextArea* self) { return self->border_; }
void TextArea::SetBorder(TextArea* self, bool v) {
  _UITrap();
  self->border_ = v;
  self->ApplyLook();
}
bool TextArea::GetMultiLine(TextArea* self) { return self->multiLine_; }
void TextArea::SetMultiLine(TextArea* self, bool v) {
  _UITrap();
  self->multiLine_ = v;
  self->ApplyLook();
}
bool TextArea::GetScrollBarHorizontal(TextArea* self) { return self->scrollBarHorizontal_; }
void TextArea::SetScrollBarHorizontal(TextArea* self, bool v) {
  _UITrap();
  self->scrollBarHorizontal_ = v;
  self->ApplyLook();
}
bool TextArea::GetScrollBarVertical(TextArea* self) { return self->scrollBarVertical_; }
void TextArea::SetScrollBarVertical(TextArea* self, bool v) {
  _UITrap();
  self->scrollBarVertical_ = v;
  self->ApplyLook();
}
bool TextArea::GetStyled(TextArea* self) { return self->styled_; }
void TextArea::SetStyled(TextArea* self, bool v) {
  _UITrap();
  self->styled_ = v;
}
Color TextArea::GetTextColor(TextArea* self) { return self->textColor_; }
void TextArea::SetTextColor(TextArea* self, Color v) {
  _UITrap();
  self->textColor_ = v;
  self->ApplyLook();
}
Color TextArea::GetBackColor(TextArea* self) { return self->backColor_; }
void TextArea::SetBackColor(TextArea* self, Color v) {
  _UITrap();
  self->backColor_ = v;
  self->ApplyLook();
}
bool TextArea::GetReadOnly(TextArea* self) { return self->readOnly_; }
void TextArea::SetReadOnly(TextArea* self, bool v) {
  _UITrap();
  self->readOnly_ = v;
  self->ApplyLook();
}
bool TextArea::GetAcceptTabs(TextArea* self) { return self->acceptTabs_; }
void TextArea::SetAcceptTabs(TextArea* self, bool v) {
  _UITrap();
  self->acceptTabs_ = v;
  self->ApplyLook();
}
bool TextArea::GetHideSelection(TextArea* self) { return self->hideSelection_; }
void TextArea::SetHideSelection(TextArea* self, bool v) {
  _UITrap();
  self->hideSelection_ = v;
  self->ApplyLook();
}
int32_t TextArea::GetAlignment(TextArea* self) { return self->alignment_; }
void TextArea::SetAlignment(TextArea* self, int32_t v) {
  _UITrap();
  self->alignment_ = v;
  self->ApplyLook();
}

}  // namespace rt

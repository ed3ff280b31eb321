// The framework's class builders, in no particular order: the initialiser run sorts them.
#include "platform/application.h"
#include "platform/bevel_button.h"
#include "platform/control.h"
#include "platform/delegate.h"
#include "platform/end_of_line.h"
#include "platform/errors.h"
#include "platform/file_type.h"
#include "platform/folder_item.h"
#include "platform/label.h"
#include "platform/listbox.h"
#include "platform/menu.h"
#include "platform/open_dialog.h"
#include "platform/runtime_state.h"
#include "platform/tag_plugin.h"
#include "platform/text_area.h"
#include "platform/window.h"

namespace rt {

std::span<const StaticRoutine> FrameworkClassBuilders() {
  static const StaticRoutine builders[] = {
      {"Application.__ctblinit", [] { Application::__Lookup(); }},
      {"BevelButton.__ctblinit", [] { BevelButton::__Lookup(); }},
      {"Control.__ctblinit", [] { Control::__Lookup(); }},
      {"Delegate.__ctblinit", [] { Delegate::__Lookup(); }},
      {"EndOfLine.__ctblinit", [] { EndOfLine::__Lookup(); }},
      {"FolderItem.__ctblinit", [] { FolderItem::__Lookup(); }},
      {"FileType.__ctblinit", [] { FileType::__Lookup(); }},
      {"IllegalCastException.__ctblinit", [] { IllegalCastException::__Lookup(); }},
      {"Label.__ctblinit", [] { Label::__Lookup(); }},
      {"Listbox.__ctblinit", [] { Listbox::__Lookup(); }},
      {"MenuBar.__ctblinit", [] { MenuBar::__Lookup(); }},
      {"MenuItem.__ctblinit", [] { MenuItem::__Lookup(); }},
      {"NilObjectException.__ctblinit", [] { NilObjectException::__Lookup(); }},
      {"OpenDialogExt.__ctblinit", [] { OpenDialogExt::__Lookup(); }},
      {"OutOfBoundsException.__ctblinit", [] { OutOfBoundsException::__Lookup(); }},
      {"QuitMenuItem.__ctblinit", [] { QuitMenuItem::__Lookup(); }},
      {"RectControl.__ctblinit", [] { RectControl::__Lookup(); }},
      {"RuntimeException.__ctblinit", [] { RuntimeException::__Lookup(); }},
      {"TagLibFileRefExt.__ctblinit", [] { TagLibFileRefExt::__Lookup(); }},
      {"TagLibTagExt.__ctblinit", [] { TagLibTagExt::__Lookup(); }},
      {"TextArea.__ctblinit", [] { TextArea::__Lookup(); }},
      {"TextEdit.__ctblinit", [] { TextEdit::__Lookup(); }},
      {"ThreadAccessingUIException.__ctblinit", [] { ThreadAccessingUIException::__Lookup(); }},
      {"Window.__ctblinit", [] { Window::__Lookup(); }},
  };
  return builders;
}

}  // namespace rt

// Where the framework's layers meet: a run's start and end, the framework's classes and the
// plugins built into the program.
#include "platform/framework.h"

#include "platform/core/delegate.h"
#include "platform/core/end_of_line.h"
#include "platform/core/errors.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/runtime_state.h"
#include "platform/files/file_type.h"
#include "platform/files/folder_item.h"
#include "platform/plugins/appearance/bevel_button.h"
#include "platform/plugins/folder_chooser/open_dialog.h"
#include "platform/plugins/tags/tag_plugin.h"
#include "platform/ui/application.h"
#include "platform/ui/control.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/label.h"
#include "platform/ui/listbox.h"
#include "platform/ui/menu.h"
#include "platform/ui/text_area.h"
#include "platform/ui/window.h"

namespace rt {

namespace {

// In no particular order: the initialiser run sorts them.
const StaticRoutine kClassBuilders[] = {
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

PluginLibrary (*const kBuiltInPlugins[])() = {&AppearancePluginLibrary, &DialogPluginLibrary,
                                              &TagPluginLibrary};

}  // namespace

void RuntimeInit() {
  BeginRun(kClassBuilders);
  StartEventLoop();
  LogCall("RuntimeInit");
}

bool RuntimeLoadPlugin(const String& fileName) {
  LogCall("RuntimeLoadPlugin " + fileName.Std());
  for (PluginLibrary (*library)() : kBuiltInPlugins) {
    PluginLibrary lib = library();
    if (fileName.View() != lib.fileName) continue;
    AddLoadedPlugin(std::move(lib));
    return true;
  }
  return false;
}

int32_t RuntimeExit() {
  LogCall("RuntimeExit");
  const int32_t status = RunExitStatus();
  ReleaseWindows();
  EndRun();
  EndEventLoop();
  return status;
}

}  // namespace rt

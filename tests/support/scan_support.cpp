#include "support/scan_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>

#include "app/startup.h"
#include "platform/core/class_table.h"
#include "platform/core/errors.h"
#include "platform/core/runtime_state.h"
#include "platform/files/folder_item.h"
#include "window/window1.h"

namespace qtest {

namespace {

rt::Ref<rt::Listbox> FoundListbox(rt::Window* w) {
  return rt::CheckCast<rt::Listbox>(rt::Window::_ControlByName(w, "Listbox1"),
                                    rt::Listbox::__Lookup());
}
rt::Ref<rt::TextArea> FoundTextArea(rt::Window* w) {
  return rt::CheckCast<rt::TextArea>(rt::Window::_ControlByName(w, "TextArea1"),
                                     rt::TextArea::__Lookup());
}
void NoControls(rt::Window*) {}

rt::ClassTable* ScanWindowClass() {
  static rt::ClassTable* cls = [] {
    namespace W1 = quorvane::Window1;
    rt::ClassTable* super = W1::__Lookup();
    rt::ClassTable* c = rt::RuntimeNewClass(super, 0, 0, 0);
    c->name = "ScanTestWindow";
    rt::RuntimeNewVtable(c, W1::slot::kCount);
    rt::SetSlot(c, W1::slot::Listbox1, &FoundListbox);
    rt::SetSlot(c, W1::slot::TextArea1, &FoundTextArea);
    c->events[rt::Window::CreateControls] = rt::HandlerOf<&NoControls>();
    c->events[rt::Window::Layout] = rt::HandlerOf<&NoControls>();
    return c;
  }();
  return cls;
}

template <class T>
void AddControl(rt::Window* w, const char* name) {
  rt::Ref<rt::Object> made = rt::Window::__New(w, T::__Lookup());
  rt::RectControl::Constructor(static_cast<rt::RectControl*>(made.get()));
  rt::Window::_AddControl(w, name, made.get());
}

}  // namespace

void BindProgramPlugins() { quorvane::_InitPluginEntrypoints(); }

rt::Ref<rt::Window> MakeScanWindow(bool withListbox, bool withTextArea) {
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(ScanWindowClass());
  rt::Ref<rt::Window> w(static_cast<rt::Window*>(made.get()));
  if (withListbox) AddControl<rt::Listbox>(w.get(), "Listbox1");
  if (withTextArea) AddControl<rt::TextArea>(w.get(), "TextArea1");
  return w;
}

std::vector<std::string> Rows(rt::Window* window) {
  std::vector<std::string> rows;
  rt::Ref<rt::Listbox> list = FoundListbox(window);
  for (int32_t i = 0; list && i < list->ListCount(); ++i) rows.push_back(list->Cell(i, 0).Std());
  return rows;
}

std::string Text(rt::Window* window) {
  rt::Ref<rt::TextArea> area = FoundTextArea(window);
  return area ? rt::TextEdit::GetText(area.get()).Std() : std::string("<no text area>");
}

void SetText(rt::Window* window, const std::string& text) {
  rt::TextEdit::SetText(FoundTextArea(window).get(), rt::String(text));
}

rt::Ref<rt::TagLibTagExt> ReadTag(const std::string& path) {
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::TagLibFileRefExt::__Lookup());
  rt::Ref<rt::TagLibFileRefExt> ref(static_cast<rt::TagLibFileRefExt*>(made.get()));
  rt::Ref<rt::FolderItem> file = rt::FolderItem::FromPath(path);
  rt::TagLibFileRefExt::Constructor(ref.get(), file.get());
  return rt::TagLibFileRefExt::tags(ref.get());
}

std::string TagLine(const std::string& path) {
  rt::Ref<rt::TagLibTagExt> tag = ReadTag(path);
  if (!tag) return "nil";
  return rt::TagLibTagExt::Title(tag.get()).Std() + " - " +
         rt::TagLibTagExt::Artist(tag.get()).Std();
}

void ScanWindowTest::SetUp() {
  EnsureQtApplication();
  BindProgramPlugins();
  window = MakeScanWindow();
}

void ScanWindowTest::TearDown() {
  rt::SetCallLog(nullptr);
  ForgetQuitRequest();
}

void ScanWindowTest::Press(std::optional<std::string> folder) {
  if (folder) prompter.folderAnswers.push_back({*folder});
  rt::Invoke(quorvane::Window1::slot::BevelButton1_Action, window, nullptr);
}

void ForgetQuitRequest() {
  rt::State().quitRequested = false;
  rt::State().quitCode = 0;
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& log,
                                           const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& l : log)
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  return out;
}

int OpenDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

FifoWatch::FifoWatch(std::string path)
    : thread_([this, path = std::move(path)] {
        while (!stop_) {
          const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
          if (fd >= 0) opened_ = true, close(fd);
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
      }) {}

FifoWatch::~FifoWatch() {
  stop_ = true;
  thread_.join();
}

}  // namespace qtest

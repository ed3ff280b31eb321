#include "platform/plugins/folder_chooser/open_dialog.h"

#include "platform/core/errors.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/runtime.h"

namespace rt {

namespace {

template <class Fn>
Fn Entry(const char* name) {
  return reinterpret_cast<Fn>(RequireEntrypoint(name));
}

OpenDialogExt* Checked(OpenDialogExt* self, const char* member, std::string_view value = {}) {
  if (!self) RaiseNilObjectException();
  if (CallLogActive()) {
    std::string line = std::string("OpenDialogExt.") + member;
    if (!value.empty()) line.append(" ").append(value);
    LogCall(std::move(line));
  }
  return self;
}

const char* Bool(bool v) { return v ? "True" : "False"; }

}  // namespace

ClassTable* OpenDialogExt::__Lookup() {
  static ClassTable* cls = DefineClass<OpenDialogExt>("OpenDialogExt", nullptr);
  return cls;
}

void OpenDialogExt::SetShowHiddenFiles(OpenDialogExt* self, bool value) {
  Checked(self, "ShowHiddenFiles", Bool(value))->settings.showHiddenFiles = value;
}
void OpenDialogExt::SetPromptText(OpenDialogExt* self, const String& value) {
  Checked(self, "PromptText", value.View())->settings.promptText = value.Std();
}
void OpenDialogExt::SetMultipleSelection(OpenDialogExt* self, bool value) {
  Checked(self, "MultipleSelection", Bool(value))->settings.multipleSelection = value;
}
void OpenDialogExt::SetActionButtonLabel(OpenDialogExt* self, const String& value) {
  Checked(self, "ActionButtonLabel", value.View())->settings.actionButtonLabel = value.Std();
}
void OpenDialogExt::SetCancelButtonLabel(OpenDialogExt* self, const String& value) {
  Checked(self, "CancelButtonLabel", value.View())->settings.cancelButtonLabel = value.Std();
}
void OpenDialogExt::SetWindowTitle(OpenDialogExt* self, const String& value) {
  Checked(self, "WindowTitle", value.View())->settings.windowTitle = value.Std();
}
void OpenDialogExt::SetClientName(OpenDialogExt* self, const String& value) {
  Checked(self, "ClientName", value.View())->settings.clientName = value.Std();
}
void OpenDialogExt::SetAllowFolderSelection(OpenDialogExt* self, bool value) {
  Checked(self, "AllowFolderSelection", Bool(value))->settings.allowFolderSelection = value;
}

void OpenDialogExt::ShowDialog(OpenDialogExt* self) {
  Entry<void (*)(OpenDialogExt*)>("OpenDialogExt.ShowDialog")(Checked(self, "ShowDialog"));
}

int32_t OpenDialogExt::FileCount(OpenDialogExt* self) {
  return Entry<int32_t (*)(OpenDialogExt*)>("OpenDialogExt.FileCount.Get")(
      Checked(self, "FileCount"));
}

Ref<FolderItem> OpenDialogExt::Files(OpenDialogExt* self, int32_t index) {
  return Entry<Ref<FolderItem> (*)(OpenDialogExt*, int32_t)>(
      "OpenDialogExt.Files(index as integer) as folderitem")(
      Checked(self, "Files", std::to_string(index)), index);
}

}  // namespace rt

// The dialog plugin: the folder chooser behind OpenDialogExt, shown through the prompter.
#include <climits>

#include "platform/core/plugin_registry.h"
#include "platform/core/runtime.h"
#include "platform/plugins/folder_chooser/open_dialog.h"

namespace rt {

namespace {

void ShowDialog(OpenDialogExt* self) {
  _UITrap();
  FolderRequest request = self->settings;
  request.allowFileSelection = !request.allowFolderSelection;
  self->chosen = CurrentPrompter().ChooseItems(request);
  if (!request.multipleSelection && self->chosen.size() > 1) self->chosen.resize(1);
}

int32_t FileCount(OpenDialogExt* self) {
  const size_t n = self->chosen.size();
  return n > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(n);
}

Ref<FolderItem> Files(OpenDialogExt* self, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= self->chosen.size()) return nullptr;
  return FolderItem::FromPath(self->chosen[static_cast<size_t>(index)]);
}

}  // namespace

PluginLibrary DialogPluginLibrary() {
  return {"Ext_Util_OpenDialog_Plugin_19503.dylib",
          {
              {"OpenDialogExt.ShowDialog", EraseFn(&ShowDialog)},
              {"OpenDialogExt.FileCount.Get", EraseFn(&FileCount)},
              {"OpenDialogExt.Files(index as integer) as folderitem", EraseFn(&Files)},
          }};
}

}  // namespace rt

// The dialog plugin's folder chooser. Settings are stored in the object and take effect
// when ShowDialog shows it; the plugin's functions are reached through bound entry points.
#pragma once

#include <string>
#include <vector>

#include "platform/core/class_table.h"
#include "platform/core/plugin_registry.h"
#include "platform/core/text.h"
#include "platform/files/folder_item.h"
#include "platform/ui/prompter.h"

namespace rt {

class OpenDialogExt : public Object {
 public:
  static ClassTable* __Lookup();

  // Every member raises NilObjectException on a nil chooser.
  static void SetShowHiddenFiles(OpenDialogExt* self, bool value);
  static void SetPromptText(OpenDialogExt* self, const String& value);
  static void SetMultipleSelection(OpenDialogExt* self, bool value);
  static void SetActionButtonLabel(OpenDialogExt* self, const String& value);
  static void SetCancelButtonLabel(OpenDialogExt* self, const String& value);
  static void SetWindowTitle(OpenDialogExt* self, const String& value);
  static void SetClientName(OpenDialogExt* self, const String& value);
  static void SetAllowFolderSelection(OpenDialogExt* self, bool value);

  // Shows the chooser modally; returns once the user has closed it. Main thread only.
  static void ShowDialog(OpenDialogExt* self);
  // Items chosen when the chooser was last closed: 0 when closed without a choice.
  static int32_t FileCount(OpenDialogExt* self);
  // The chosen item at a 0-based index; nil outside the choice or for a path that names
  // no entry.
  static Ref<FolderItem> Files(OpenDialogExt* self, int32_t index);

  // The plugin's side: what the chooser will show, and the paths it gave back.
  FolderRequest settings;
  std::vector<std::string> chosen;
};

// The folder chooser's library, found under its file name.
PluginLibrary DialogPluginLibrary();

}  // namespace rt

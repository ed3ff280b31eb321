#include "platform/ui/open_file_dialog.h"

#include <optional>
#include <string>

#include "platform/core/runtime.h"
#include "platform/files/file_type.h"
#include "platform/ui/prompter.h"

namespace rt {

Ref<FolderItem> GetOpenFolderItem(const String& filter) {
  _UITrap();
  LogCall("GetOpenFolderItem " + filter.Std());
  OpenFileRequest request;
  request.filter = filter.Std();
  request.extensions = RuntimeFileTypeExtensions(filter);
  std::optional<std::string> chosen = CurrentPrompter().ChooseOpenFile(request);
  if (!chosen) return nullptr;
  return FolderItem::FromPath(std::move(*chosen));
}

}  // namespace rt

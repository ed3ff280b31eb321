// The open-file dialog, which gives a file-system entry.
#pragma once

#include "platform/core/text.h"
#include "platform/files/folder_item.h"

namespace rt {

// The modal open-file dialog, listing only files of the registered file types whose Names
// the filter text holds. The chosen file, nil when the user cancels. Main thread only.
Ref<FolderItem> GetOpenFolderItem(const String& filter);

}  // namespace rt

// The real folder chooser and open-file dialog behind the Qt prompter. Platform-internal.
#pragma once

#include "platform/ui/prompter.h"

namespace rt {

std::vector<std::string> RunFolderChooser(const FolderRequest& request);
std::optional<std::string> RunOpenFileDialog(const OpenFileRequest& request);

}  // namespace rt

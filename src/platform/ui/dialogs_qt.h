// The real folder chooser and open-file dialog behind the Qt prompter. Platform-internal.
#pragma once

#include "platform/ui/prompter.h"

class QWidget;

namespace rt {

class Window;

// The window every modal prompt belongs to, whatever has the focus: the oldest shown window
// the framework holds; nil while none is shown.
Window* MainWindowShown();
QWidget* ModalParent();

std::vector<std::string> RunFolderChooser(const FolderRequest& request);
std::optional<std::string> RunOpenFileDialog(const OpenFileRequest& request);

}  // namespace rt

// The one seam for user prompts: every modal question the framework asks goes through
// the current prompter. The default shows Qt dialogs; tests install a scripted one.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rt {

struct FolderRequest {
  std::string windowTitle;
  std::string promptText;
  std::string actionButtonLabel;
  std::string cancelButtonLabel;
  std::string clientName;
  bool showHiddenFiles = false;
  bool multipleSelection = false;
  bool allowFolderSelection = true;
  bool allowFileSelection = false;
};

struct OpenFileRequest {
  std::string filter;                   // the filter text as the program gave it
  std::vector<std::string> extensions;  // the registered extensions it names, with their dots
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A modal message box; returns when the user dismisses it.
  virtual void Message(const std::string& text) = 0;
  // The report of an error that ends the program.
  virtual void UnhandledError(const std::string& text) = 0;
  // The folder chooser: the chosen paths, none when closed without a choice.
  virtual std::vector<std::string> ChooseItems(const FolderRequest& request) = 0;
  // The open-file dialog: the chosen path, nothing when cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) = 0;
};

// Qt's dialogs, modal and belonging to the main window while one is shown.
Prompter& QtPrompter();
Prompter& CurrentPrompter();
// Installs p (nil restores Qt's dialogs); the caller keeps ownership.
void SetPrompter(Prompter* p);

}  // namespace rt

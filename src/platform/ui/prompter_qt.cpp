#include <QApplication>
#include <QMessageBox>

#include "platform/ui/dialogs_qt.h"
#include "platform/ui/peer_sync.h"
#include "platform/ui/prompter.h"

namespace rt {

namespace {

class QtDialogs final : public Prompter {
 public:
  void Message(const std::string& text) override {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setIcon(QMessageBox::NoIcon);
    box.exec();
  }
  void UnhandledError(const std::string& text) override {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QApplication::applicationName());
    box.setIcon(QMessageBox::Critical);
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.exec();
  }
  std::vector<std::string> ChooseItems(const FolderRequest& request) override {
    return RunFolderChooser(request);
  }
  std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) override {
    return RunOpenFileDialog(request);
  }
};

Prompter* gCurrent = nullptr;

}  // namespace

Prompter& QtPrompter() {
  static QtDialogs dialogs;
  return dialogs;
}

Prompter& CurrentPrompter() {
  CatchUpPeers();  // a prompt lets the user see the window
  return gCurrent ? *gCurrent : QtPrompter();
}
void SetPrompter(Prompter* p) { gCurrent = p; }

}  // namespace rt

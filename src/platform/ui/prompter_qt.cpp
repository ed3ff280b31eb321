#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QMessageBox>
#include <algorithm>

#include "platform/ui/dialogs_qt.h"
#include "platform/ui/listbox.h"
#include "platform/ui/peer_sync.h"
#include "platform/ui/prompter.h"
#include "platform/ui/window.h"

namespace rt {

namespace {

// Qt sizes a box for its text and leaves the title little room; a window manager then cuts
// the title short beside its buttons. Reserves room for the title and a title bar's buttons.
void FitTitle(QMessageBox& box) {
  const QFontMetrics fm(box.font());
  const int wanted = fm.horizontalAdvance(box.windowTitle()) + 8 * fm.height();
  if (auto* buttons = box.findChild<QDialogButtonBox*>())
    buttons->setMinimumWidth(std::max(buttons->minimumWidth(), wanted));
}

void ShowBox(QMessageBox::Icon icon, const std::string& text) {
  QMessageBox box(ModalParent());
  box.setWindowTitle(QApplication::applicationName());
  box.setIcon(icon);
  box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  FitTitle(box);
  box.exec();
}

class QtDialogs final : public Prompter {
 public:
  void Message(const std::string& text) override { ShowBox(QMessageBox::NoIcon, text); }
  void UnhandledError(const std::string& text) override { ShowBox(QMessageBox::Critical, text); }
  std::vector<std::string> ChooseItems(const FolderRequest& request) override {
    return RunFolderChooser(request);
  }
  std::optional<std::string> ChooseOpenFile(const OpenFileRequest& request) override {
    return RunOpenFileDialog(request);
  }
};

Prompter* gCurrent = nullptr;

// A prompt is about what the window shows last: the program adds an entry's row, then asks
// about the entry. Every list box of the window scrolls, if it must, to its last row.
void ShowLastRows() {
  Window* main = MainWindowShown();
  if (!main) return;
  for (const auto& [name, control] : main->Controls())
    if (auto* list = dynamic_cast<Listbox*>(control.get())) list->ShowLastRow();
}

}  // namespace

Prompter& QtPrompter() {
  static QtDialogs dialogs;
  return dialogs;
}

Prompter& CurrentPrompter() {
  CatchUpPeers();  // a prompt lets the user see the window
  ShowLastRows();
  return gCurrent ? *gCurrent : QtPrompter();
}
void SetPrompter(Prompter* p) { gCurrent = p; }

}  // namespace rt

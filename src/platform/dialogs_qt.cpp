#include "platform/dialogs_qt.h"

#include <QApplication>
#include <QFileDialog>

namespace rt {

std::vector<std::string> RunFolderChooser(const FolderRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(request.windowTitle));
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::string> chosen;
  for (const QString& f : dialog.selectedFiles()) chosen.push_back(f.toStdString());
  return chosen;
}

std::optional<std::string> RunOpenFileDialog(const OpenFileRequest&) {
  QString f = QFileDialog::getOpenFileName(QApplication::activeWindow());
  if (f.isEmpty()) return std::nullopt;
  return f.toStdString();
}

}  // namespace rt

#include "platform/ui/dialogs_qt.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <algorithm>

namespace rt {

namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// File names go back as the file system's bytes, not as display text.
std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Puts the prompt above everything else in the dialog: its own layout is a grid, so every
// item moves one row down to make room.
void AddPrompt(QFileDialog& dialog, const QString& text) {
  auto* label = new QLabel(text, &dialog);
  label->setObjectName(QStringLiteral("promptLabel"));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  if (!grid) {
    if (dialog.layout()) dialog.layout()->addWidget(label);
    return;
  }
  struct Placed {
    QLayoutItem* item;
    int row, column, rowSpan, columnSpan;
  };
  std::vector<Placed> placed;
  for (int i = grid->count() - 1; i >= 0; --i) {
    Placed p{nullptr, 0, 0, 0, 0};
    grid->getItemPosition(i, &p.row, &p.column, &p.rowSpan, &p.columnSpan);
    p.item = grid->takeAt(i);
    placed.push_back(p);
  }
  const int columns = std::max(1, grid->columnCount());
  for (const Placed& p : placed)
    grid->addItem(p.item, p.row + 1, p.column, p.rowSpan, p.columnSpan);
  grid->addWidget(label, 0, 0, 1, columns);
}

}  // namespace

std::vector<std::string> RunFolderChooser(const FolderRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setWindowTitle(Q(request.windowTitle));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (request.allowFolderSelection) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, !request.allowFileSelection);
  } else {
    dialog.setFileMode(request.multipleSelection ? QFileDialog::ExistingFiles
                                                 : QFileDialog::ExistingFile);
  }
  QDir::Filters filter = dialog.filter();
  if (request.showHiddenFiles)
    filter |= QDir::Hidden;
  else
    filter &= ~QDir::Hidden;
  dialog.setFilter(filter);
  if (!request.actionButtonLabel.empty())
    dialog.setLabelText(QFileDialog::Accept, Q(request.actionButtonLabel));
  if (!request.cancelButtonLabel.empty())
    dialog.setLabelText(QFileDialog::Reject, Q(request.cancelButtonLabel));
  if (!request.promptText.empty()) AddPrompt(dialog, Q(request.promptText));
  // Directory mode picks one folder; the views allow more only when asked to.
  if (request.allowFolderSelection && request.multipleSelection)
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
      view->setSelectionMode(QAbstractItemView::ExtendedSelection);

  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::string> chosen;
  for (const QString& f : dialog.selectedFiles()) chosen.push_back(Native(f));
  return chosen;
}

std::optional<std::string> RunOpenFileDialog(const OpenFileRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);

  // The filter's type names describe the choice; their extensions select the files.
  QStringList names;
  for (const QString& n : Q(request.filter).split(u';', Qt::SkipEmptyParts))
    if (!names.contains(n)) names << n;
  QStringList patterns;
  for (const std::string& ext : request.extensions) {
    const QString p = QStringLiteral("*") + Q(ext);
    if (!patterns.contains(p, Qt::CaseInsensitive)) patterns << p;
  }
  // No registered type named: a pattern no file name can match ("/" is never in a name).
  if (patterns.isEmpty()) patterns << QStringLiteral("/");
  dialog.setNameFilter(names.join(QStringLiteral(", ")) + QStringLiteral(" (") +
                       patterns.join(u' ') + QStringLiteral(")"));

  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return Native(files.first());
}

}  // namespace rt

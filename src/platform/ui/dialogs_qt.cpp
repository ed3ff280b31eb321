#include "platform/ui/dialogs_qt.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <algorithm>

#include "platform/ui/window.h"
#include "platform/ui/window_peer.h"

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

// Qt's file dialog saves its history, with the folders visited, in the user's settings as it
// goes; the program stores no state, so that scope points where no file can be made.
void KeepNoSettings() {
  static const bool pointed = [] {
    for (QSettings::Format f : {QSettings::NativeFormat, QSettings::IniFormat})
      QSettings::setPath(f, QSettings::UserScope, QStringLiteral("/dev/null"));
    return true;
  }();
  (void)pointed;
}

// The folder the chooser starts in: the last one chosen in this run, kept in memory only.
QString& LastChosenFolder() {
  static QString folder;
  return folder;
}

QString ChooserStart() {
  const QString& last = LastChosenFolder();
  return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

}  // namespace

Window* MainWindowShown() {
  for (const Ref<Window>& w : RuntimeWindows())
    if (w->Peer() && w->Peer()->isVisible()) return w.get();
  return nullptr;
}

QWidget* ModalParent() {
  Window* w = MainWindowShown();
  return w ? w->Peer() : nullptr;
}

std::vector<std::string> RunFolderChooser(const FolderRequest& request) {
  KeepNoSettings();
  QFileDialog dialog(ModalParent());
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setDirectory(ChooserStart());
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
  const QStringList files = dialog.selectedFiles();
  std::vector<std::string> chosen;
  for (const QString& f : files) chosen.push_back(Native(f));
  if (!files.isEmpty()) {
    const QFileInfo first(files.first());
    LastChosenFolder() = first.isDir() ? first.absoluteFilePath() : first.absolutePath();
  }
  return chosen;
}

std::optional<std::string> RunOpenFileDialog(const OpenFileRequest& request) {
  KeepNoSettings();
  QFileDialog dialog(ModalParent());
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

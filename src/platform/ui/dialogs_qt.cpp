#include "platform/ui/dialogs_qt.h"

#include <fcntl.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <algorithm>
#include <cerrno>
#include <functional>

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

// A folder there that the user may not list: scanned, it would show as empty.
bool Unlistable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) ::close(fd);
  return fd < 0 && (errno == EACCES || errno == EPERM);
}

// Runs a check whenever the dialog enables its button on its own.
class OnEnabled final : public QObject {
 public:
  OnEnabled(QWidget* button, std::function<void()> check)
      : QObject(button), check_(std::move(check)) {
    button->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::EnabledChange && static_cast<QWidget*>(watched)->isEnabled())
      check_();
    return false;
  }

 private:
  std::function<void()> check_;
};

// A file dialog that will not close on a choice it refuses: Return in the name field accepts
// whatever the button's state.
class ChooserDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  std::function<bool()> refused = [] { return false; };
  void accept() override {
    if (!refused()) QFileDialog::accept();
  }
};

// Keeps the confirm button off while the choice is a folder the user cannot list, with a
// line under the rest that says why.
void RefuseUnlistableFolders(ChooserDialog& dialog) {
  auto* box = dialog.findChild<QDialogButtonBox*>();
  QPushButton* confirm = box ? box->button(QDialogButtonBox::Open) : nullptr;
  auto* why = new QLabel(
      QStringLiteral("This folder cannot be chosen: you are not allowed to see what is in it."),
      &dialog);
  why->setObjectName(QStringLiteral("unlistableLabel"));
  why->setWordWrap(true);
  why->hide();
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
    grid->addWidget(why, grid->rowCount(), 0, 1, std::max(1, grid->columnCount()));
  else if (dialog.layout())
    dialog.layout()->addWidget(why);
  dialog.refused = [&dialog] {
    for (const QString& f : dialog.selectedFiles())
      if (Unlistable(Native(f))) return true;
    return false;
  };
  auto check = [&dialog, confirm, why] {
    const bool refused = dialog.refused();
    why->setVisible(refused);
    if (refused && confirm && confirm->isEnabled()) confirm->setEnabled(false);
  };
  if (confirm) new OnEnabled(confirm, check);
  QObject::connect(&dialog, &QFileDialog::currentChanged, why, check);
  QObject::connect(&dialog, &QFileDialog::directoryEntered, why, check);
  if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    QObject::connect(name, &QLineEdit::textChanged, why, check);
  check();
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
  ChooserDialog dialog(ModalParent());
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
  if (request.allowFolderSelection) RefuseUnlistableFolders(dialog);
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

// The folder chooser, the open-file dialog and the message box: the plugin's object over
// the prompter seam, and the real Qt dialogs behind the default prompter.
#include "support/dialogs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/plugins/folder_chooser/open_dialog.h"
#include "platform/ui/prompter.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"

namespace {

using Lines = std::vector<std::string>;
using qtest::ScratchFolder;

rt::Ref<rt::OpenDialogExt> NewChooser() {
  rt::Ref<rt::Object> made = rt::RuntimeNewObject(rt::OpenDialogExt::__Lookup());
  return rt::Ref<rt::OpenDialogExt>(static_cast<rt::OpenDialogExt*>(made.get()));
}

TEST(OpenDialogExt, GivesBackWhatTheChooserGaveOneItemUnlessMoreAreAllowed) {
  qtest::BindProgramPlugins();
  qtest::ScriptedPrompter prompter;
  for (bool multiple : {false, true}) {
    SCOPED_TRACE(multiple);
    rt::Ref<rt::OpenDialogExt> chooser = NewChooser();
    rt::OpenDialogExt::SetMultipleSelection(chooser.get(), multiple);
    prompter.folderAnswers.push_back({"/tmp", "/usr"});
    rt::OpenDialogExt::ShowDialog(chooser.get());
    EXPECT_EQ(rt::OpenDialogExt::FileCount(chooser.get()), multiple ? 2 : 1);
    rt::Ref<rt::FolderItem> first = rt::OpenDialogExt::Files(chooser.get(), 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->NativePath(), "/tmp");
    EXPECT_EQ(static_cast<bool>(rt::OpenDialogExt::Files(chooser.get(), 1)), multiple);
    EXPECT_FALSE(rt::OpenDialogExt::Files(chooser.get(), -1));
    EXPECT_FALSE(rt::OpenDialogExt::Files(chooser.get(), 2));
  }
  rt::Ref<rt::OpenDialogExt> closed = NewChooser();
  rt::OpenDialogExt::ShowDialog(closed.get());  // no answer: closed without a choice
  EXPECT_EQ(rt::OpenDialogExt::FileCount(closed.get()), 0);
  EXPECT_FALSE(rt::OpenDialogExt::Files(closed.get(), 0));
}

TEST(OpenDialogExt, ANilChooserRaisesOnEveryMember) {
  qtest::BindProgramPlugins();
  const std::vector<std::function<void()>> members = {
      [] { rt::OpenDialogExt::SetShowHiddenFiles(nullptr, false); },
      [] { rt::OpenDialogExt::SetPromptText(nullptr, "p"); },
      [] { rt::OpenDialogExt::SetWindowTitle(nullptr, "t"); },
      [] { rt::OpenDialogExt::SetAllowFolderSelection(nullptr, true); },
      [] { rt::OpenDialogExt::ShowDialog(nullptr); },
      [] { rt::OpenDialogExt::FileCount(nullptr); },
      [] { rt::OpenDialogExt::Files(nullptr, 0); },
  };
  for (const auto& m : members) EXPECT_EQ(qtest::RaisedClass(m), "NilObjectException");
}

// The names the dialog lists in folder, once its model has read the folder.
Lines Listed(QFileDialog* d, const QString& folder) {
  auto* model = d->findChild<QFileSystemModel*>();
  if (!model) return {"<no model>"};
  QModelIndex parent = model->index(folder);
  if (model->rowCount(parent) == 0 && model->canFetchMore(parent)) model->fetchMore(parent);
  QEventLoop wait;
  QObject::connect(model, &QFileSystemModel::directoryLoaded, &wait, &QEventLoop::quit);
  QTimer::singleShot(3000, &wait, &QEventLoop::quit);
  if (model->rowCount(parent) == 0) wait.exec();
  QTimer::singleShot(100, &wait, &QEventLoop::quit);  // let late rows in
  wait.exec();
  Lines names;
  for (int i = 0; i < model->rowCount(parent); ++i)
    names.push_back(model->index(i, 0, parent).data().toString().toStdString());
  std::sort(names.begin(), names.end());
  return names;
}

rt::FolderRequest ScanRequest() {
  rt::FolderRequest r;
  r.windowTitle = "This is a window title.";
  r.promptText = "Select one folder:";
  r.actionButtonLabel = "Open folders";
  r.cancelButtonLabel = "no, thanks.";
  r.clientName = "Client Name?";
  r.showHiddenFiles = false;
  r.multipleSelection = false;
  r.allowFolderSelection = true;
  r.allowFileSelection = false;
  return r;
}

TEST(QtFolderChooser, ShowsEverySettingAndGivesTheFolderTypedIn) {
  qtest::EnsureQtApplication();
  ScratchFolder dir;
  ASSERT_EQ(mkdir((dir / "Music").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / ".hidden").c_str(), 0755), 0);
  qtest::WriteText(dir / "song.mp3", "x");
  const QString folder = QString::fromStdString(dir.Path());
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    EXPECT_EQ(d->windowTitle().toStdString(), "This is a window title.");
    EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(d->fileMode(), QFileDialog::Directory);
    EXPECT_EQ(d->labelText(QFileDialog::Accept).toStdString(), "Open folders");
    EXPECT_EQ(d->labelText(QFileDialog::Reject).toStdString(), "no, thanks.");
    auto* box = d->findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text().toStdString(), "no, thanks.");
    auto* prompt = d->findChild<QLabel*>("promptLabel");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text().toStdString(), "Select one folder:");
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_FALSE(d->filter() & QDir::Hidden);
    for (QAbstractItemView* view : d->findChildren<QAbstractItemView*>())
      if (view->objectName() == "listView" || view->objectName() == "treeView") {
        EXPECT_EQ(view->selectionMode(), QAbstractItemView::SingleSelection);
      }
    d->setDirectory(folder);
    EXPECT_EQ(Listed(d, folder), Lines{"Music"});
    qtest::TypeAndPressReturn(d, folder + "/Music");
  });
  EXPECT_EQ(rt::QtPrompter().ChooseItems(ScanRequest()), Lines{dir / "Music"});
}

TEST(QtFolderChooser, CancelGivesNothingAndHiddenEntriesShowWhenAsked) {
  qtest::EnsureQtApplication();
  ScratchFolder dir;
  ASSERT_EQ(mkdir((dir / ".hidden").c_str(), 0755), 0);
  rt::FolderRequest r = ScanRequest();
  r.showHiddenFiles = true;
  const QString folder = QString::fromStdString(dir.Path());
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    d->setDirectory(folder);
    EXPECT_EQ(Listed(d, folder), Lines{".hidden"});
    d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
  });
  EXPECT_TRUE(rt::QtPrompter().ChooseItems(r).empty());
}

TEST(QtOpenFileDialog, ListsOnlyFilesOfTheNamedTypes) {
  qtest::EnsureQtApplication();
  ScratchFolder dir;
  for (const char* name : {"a.mp3", "b.M4A", "c.txt", "d.wav"}) qtest::WriteText(dir / name, "x");
  const QString folder = QString::fromStdString(dir.Path());
  rt::OpenFileRequest request{"audio/mp3;audio/x-m4a;audio/x-m4a;", {".mp3", ".m4a"}};
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(d->nameFilters(), QStringList{"audio/mp3, audio/x-m4a (*.mp3 *.m4a)"});
    d->setDirectory(folder);
    EXPECT_EQ(Listed(d, folder), (Lines{"a.mp3", "b.M4A"}));
    qtest::TypeAndPressReturn(d, folder + "/a.mp3");
  });
  EXPECT_EQ(rt::QtPrompter().ChooseOpenFile(request), std::optional<std::string>(dir / "a.mp3"));

  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    d->setDirectory(folder);
    EXPECT_TRUE(Listed(d, folder).empty());  // no registered type: no file to pick
    d->reject();
  });
  EXPECT_EQ(rt::QtPrompter().ChooseOpenFile({"audio/none;", {}}), std::nullopt);
}

TEST(QtMessageBox, ShowsTheTextModallyUntilDismissed) {
  qtest::EnsureQtApplication();
  std::string shown;
  qtest::WhenShown<QMessageBox>([&](QMessageBox* box) {
    shown = box->text().toStdString();
    box->accept();
  });
  rt::QtPrompter().Message("Failed to read file.");
  EXPECT_EQ(shown, "Failed to read file.");
}

}  // namespace

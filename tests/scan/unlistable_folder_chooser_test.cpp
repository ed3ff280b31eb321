// The real folder chooser refuses a folder that the user may not list: it would scan as an
// empty one.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/prompter.h"
#include "support/audio_fixtures.h"
#include "support/dialogs.h"
#include "support/harness.h"
#include "support/hostile_corpus.h"

namespace {

using qtest::ScratchFolder;

TEST(QtFolderChooser, KeepsItsConfirmButtonOffForAFolderThatCannotBeListedAndSaysWhy) {
  qtest::EnsureQtApplication();
  ScratchFolder dir;
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "open").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((dir / "locked").c_str(), 0755), 0);
  ASSERT_EQ(chmod((dir / "locked").c_str(), 0), 0);
  qtest::UnprivilegedFileAccess unprivileged;  // root may list anything
  if (qtest::CanOpen(dir / "locked")) GTEST_SKIP() << "permissions not enforced";

  bool refused = false, saidWhy = false, stayedOpen = false, allowedAgain = false;
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    auto* name = d->findChild<QLineEdit*>("fileNameEdit");
    auto* box = d->findChild<QDialogButtonBox*>();
    auto* why = d->findChild<QLabel*>("unlistableLabel");
    ASSERT_TRUE(name && box && why);
    QPushButton* confirm = box->button(QDialogButtonBox::Open);
    // As a click on each in the list would.
    d->setDirectory(QString::fromStdString(dir.Path()));
    d->selectFile("locked");
    refused = !confirm->isEnabled();
    saidWhy = why->isVisible() && why->text().contains("not allowed");
    qtest::PressReturn(name);
    stayedOpen = d->isVisible();
    d->selectFile("open");
    allowedAgain = confirm->isEnabled() && !why->isVisible();
    qtest::PressReturn(name);
  });
  rt::FolderRequest request;
  request.allowFolderSelection = true;
  request.actionButtonLabel = "Open folders";
  const std::vector<std::string> chosen = rt::QtPrompter().ChooseItems(request);
  chmod((dir / "locked").c_str(), 0755);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(saidWhy);
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(allowedAgain);
  EXPECT_EQ(chosen, std::vector<std::string>{dir / "open"});
}

}  // namespace

// The real folder chooser writes nothing of its own anywhere and starts where the user last
// chose. Its own test program: Qt reads where the user's settings go once per process, so
// the folders are set before anything of Qt runs.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "platform/ui/prompter.h"
#include "support/audio_fixtures.h"
#include "support/dialogs.h"
#include "support/harness.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Contents(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& e : fs::recursive_directory_iterator(folder)) found.push_back(e.path());
  return found;
}

// When the real home's settings file last changed; nullopt while there is none.
std::optional<struct timespec> Changed(const std::string& path) {
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mtim;
}

TEST(QtFolderChooser, LeavesNoSettingsAndStartsWhereTheUserLastChose) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr) << "Qt ran before the folders were set";
  const passwd* user = getpwuid(getuid());
  ASSERT_NE(user, nullptr);
  const std::string realSettings = std::string(user->pw_dir) + "/.config/QtProject.conf";
  const auto realBefore = Changed(realSettings);

  qtest::ScratchFolder home, music;
  for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
    ASSERT_EQ(setenv(var, home.Path().c_str(), 1), 0);
  ASSERT_EQ(mkdir((music / "Albums").c_str(), 0755), 0);
  qtest::EnsureQtApplication();

  rt::FolderRequest request;
  request.allowFolderSelection = true;
  QString firstStart, nextStart;
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    firstStart = d->directory().absolutePath();
    qtest::TypeAndPressReturn(d, QString::fromStdString(music / "Albums"));
  });
  EXPECT_EQ(rt::QtPrompter().ChooseItems(request), std::vector<std::string>{music / "Albums"});
  qtest::WhenShown<QFileDialog>([&](QFileDialog* d) {
    nextStart = d->directory().absolutePath();
    d->reject();
  });
  EXPECT_TRUE(rt::QtPrompter().ChooseItems(request).empty());
  QCoreApplication::processEvents();

  EXPECT_EQ(firstStart.toStdString(), fs::canonical(home.Path()).string());
  EXPECT_EQ(nextStart.toStdString(), music / "Albums");
  EXPECT_EQ(Contents(home.Path()), std::vector<std::string>{});
  const auto realAfter = Changed(realSettings);
  ASSERT_EQ(realAfter.has_value(), realBefore.has_value()) << realSettings;
  if (realAfter) {
    EXPECT_TRUE(realAfter->tv_sec == realBefore->tv_sec && realAfter->tv_nsec == realBefore->tv_nsec)
        << realSettings << " changed";
  }
}

}  // namespace

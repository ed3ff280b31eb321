// FolderItem's listing while the folder changes: one pass's Item calls answer from the
// listing its Count read, and what re-reading costs stays bounded whatever the folder's
// times say and however often it changes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/files/folder_item.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"

namespace {

using qtest::ScratchFolder;
using rt::FolderItem;
using rt::Ref;

std::string NameOf(FolderItem* folder, int32_t index) {
  Ref<FolderItem> e = FolderItem::Item(folder, index);
  return e ? FolderItem::Name(e.get()).Std() : "<nil>";
}

void Fill(const ScratchFolder& dir, int n) {
  for (int i = 0; i < n; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "f%05d.txt", i);
    const int fd = open((dir / name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
  }
}

void SetModified(const std::string& path, time_t when, long nsec = 0) {
  const timespec times[2] = {{when, nsec}, {when, nsec}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The calls one scan makes per entry: Count, Item for visibility, name and reading, Exists.
// Every Item within the count must be there.
int ScanLikeTheProgram(FolderItem* folder) {
  int nils = 0;
  for (int32_t i = 1; i <= FolderItem::Count(folder); ++i)
    for (int k = 0; k < 3; ++k) {
      Ref<FolderItem> e = FolderItem::Item(folder, i);
      if (!e) {
        ++nils;
        continue;
      }
      if (k == 2) FolderItem::Exists(e.get());
    }
  return nils;
}

TEST(FolderListing, ItemAnswersFromTheListingOfTheLastCount) {
  ScratchFolder dir;
  for (const char* n : {"a", "b", "c"}) qtest::WriteText(dir / n, n);
  Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
  ASSERT_EQ(FolderItem::Count(folder.get()), 3);
  ASSERT_EQ(unlink((dir / "b").c_str()), 0);
  ASSERT_EQ(unlink((dir / "c").c_str()), 0);
  qtest::WriteText(dir / "0", "new");
  // The pass goes on with the entries it counted; the one that went is a question for Exists.
  EXPECT_EQ(NameOf(folder.get(), 3), "c");
  Ref<FolderItem> gone = FolderItem::Item(folder.get(), 2);
  ASSERT_TRUE(gone);
  EXPECT_FALSE(FolderItem::Exists(gone.get()));
  EXPECT_TRUE(FolderItem::Exists(FolderItem::Item(folder.get(), 1).get()));
  // The next pass sees the change.
  ASSERT_EQ(FolderItem::Count(folder.get()), 2);
  EXPECT_EQ(NameOf(folder.get(), 1), "0");
  EXPECT_EQ(NameOf(folder.get(), 3), "<nil>");
}

TEST(FolderListing, TheChosenFolderRenamedRemovedOrReplacedKeepsItsListingForThePass) {
  struct Case {
    const char* what;
    void (*change)(const std::string& path, const std::string& aside);
    int countAfter;  // the folder keeps being the one opened, wherever it went
    bool entriesThere;
  };
  const Case cases[] = {
      {"renamed",
       [](const std::string& p, const std::string& aside) {
         ASSERT_EQ(rename(p.c_str(), aside.c_str()), 0);
       },
       4, true},
      {"removed",
       [](const std::string& p, const std::string&) {
         std::error_code ignored;
         std::filesystem::remove_all(p, ignored);
       },
       0, false},
      {"replaced by a file",
       [](const std::string& p, const std::string& aside) {
         ASSERT_EQ(rename(p.c_str(), aside.c_str()), 0);
         qtest::WriteText(p, "a file now");
       },
       4, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder parent;
    const std::string path = parent / "music", aside = parent / "moved";
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    for (const char* n : {"a", "b", "c", "d"}) qtest::WriteText(path + "/" + n, n);
    Ref<FolderItem> folder = FolderItem::FromPath(path);
    ASSERT_EQ(FolderItem::Count(folder.get()), 4);
    EXPECT_EQ(NameOf(folder.get(), 1), "a");
    c.change(path, aside);
    for (int32_t i = 1; i <= 4; ++i) {
      Ref<FolderItem> e = FolderItem::Item(folder.get(), i);
      ASSERT_TRUE(e) << i;
      EXPECT_EQ(FolderItem::Exists(e.get()), c.entriesThere) << i;
    }
    EXPECT_EQ(FolderItem::Count(folder.get()), c.countAfter);
  }
}

TEST(FolderListing, AScanReadsTheListingABoundedNumberOfTimesWhateverTheFoldersTime) {
  constexpr int kEntries = 2000;
  const time_t now = time(nullptr);
  const struct {
    const char* what;
    time_t when;
    long nsec;
    int64_t atMost;
  } cases[] = {
      {"an hour ago", now - 3600, 123456789, 1},
      {"a day ahead", now + 86400, 987654321, 1},
      {"two hours ahead in whole seconds, as FAT keeps it", now + 7200, 0, 1},
      // Changed just now: read again until a change could no longer share its stamp, a few
      // milliseconds at most, within the re-reading budget.
      {"just now", -1, 0, 40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder dir;
    Fill(dir, kEntries);
    if (c.when >= 0) SetModified(dir.Path(), c.when, c.nsec);
    Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
    const int64_t before = FolderItem::ListingReads();
    EXPECT_EQ(ScanLikeTheProgram(folder.get()), 0);
    EXPECT_LE(FolderItem::ListingReads() - before, c.atMost);
    EXPECT_GE(FolderItem::ListingReads() - before, 1);
  }
}

TEST(FolderListing, AFolderThatKeepsChangingIsReadABoundedNumberOfTimesASecond) {
  constexpr int kEntries = 2000;
  for (bool hidden : {true, false}) {
    SCOPED_TRACE(hidden ? "a hidden file toggled" : "a visible file created and deleted");
    ScratchFolder dir;
    Fill(dir, kEntries);
    const std::string churn = dir / (hidden ? ".partial" : "zz-temp");
    std::atomic<bool> stop{false};
    std::atomic<int> changes{0};
    std::thread changer([&] {
      while (!stop) {
        const int fd = open(churn.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) close(fd);
        unlink(churn.c_str());
        changes += 2;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
      }
    });
    Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
    const auto start = std::chrono::steady_clock::now();
    const int64_t before = FolderItem::ListingReads();
    int nils = 0;
    for (int round = 0; round < 3; ++round) nils += ScanLikeTheProgram(folder.get());
    const int64_t reads = FolderItem::ListingReads() - before;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stop = true;
    changer.join();
    EXPECT_EQ(nils, 0);
    EXPECT_GT(changes, 20) << "the folder hardly changed";
    // Re-reading on every Count would be 3 x 2,000 reads; the budget allows a burst, then at
    // most 500 a second.
    EXPECT_LE(reads, 60 + static_cast<int64_t>(600 * seconds)) << seconds << " s";
  }
}

}  // namespace

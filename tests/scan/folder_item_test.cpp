// FolderItem on real folders: names, visibility, existence, the entries in order.
#include "platform/files/folder_item.h"
#include "platform/ui/open_file_dialog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/runtime.h"
#include "platform/files/file_type.h"
#include "support/audio_fixtures.h"
#include "support/harness.h"
#include "support/scan_support.h"

namespace {

using qtest::ScratchFolder;
using rt::FolderItem;
using rt::Ref;

struct Seen {
  std::string name;
  bool visible, exists;
  bool operator==(const Seen&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Seen& s) {
  return o << s.name << (s.visible ? " visible" : " hidden") << (s.exists ? " exists" : " gone");
}

std::vector<Seen> Entries(FolderItem* folder) {
  std::vector<Seen> seen;
  for (int32_t i = 1; i <= FolderItem::Count(folder); ++i) {
    Ref<FolderItem> e = FolderItem::Item(folder, i);
    if (!e) return {{"<nil>", false, false}};
    seen.push_back({FolderItem::Name(e.get()).Std(), FolderItem::Visible(e.get()),
                    FolderItem::Exists(e.get())});
  }
  return seen;
}

TEST(FolderItem, ListsEveryEntryInByteOrderOfTheNames) {
  ScratchFolder dir;
  qtest::WriteText(dir / "b.wav", "b");
  qtest::WriteText(dir / "a.txt", "a");
  qtest::WriteText(dir / ".hidden", "h");
  ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
  ASSERT_EQ(symlink("nowhere", (dir / "dangling").c_str()), 0);
  qtest::WriteText(dir / "\xC3\x28 bad", "not UTF-8");
  qtest::WriteText(dir / "Ünï", "u");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);

  Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
  EXPECT_EQ(Entries(folder.get()), (std::vector<Seen>{{".hidden", false, true},
                                                      {"a.txt", true, true},
                                                      {"b.wav", true, true},
                                                      {"dangling", true, false},
                                                      {"pipe", true, true},
                                                      {"sub", true, true},
                                                      {"\uFFFD( bad", true, true},
                                                      {"Ünï", true, true}}));
  for (int32_t outside : {0, -1, 9, INT32_MAX})
    EXPECT_FALSE(FolderItem::Item(folder.get(), outside));
}

TEST(FolderItem, WhatIsNoFolderHasNoEntries) {
  ScratchFolder dir;
  qtest::WriteText(dir / "file", "f");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);  // must not block
  for (const char* name : {"file", "pipe", "missing"}) {
    SCOPED_TRACE(name);
    Ref<FolderItem> item = FolderItem::FromPath(dir / name);
    EXPECT_EQ(FolderItem::Count(item.get()), 0);
    EXPECT_FALSE(FolderItem::Item(item.get(), 1));
  }
  EXPECT_FALSE(FolderItem::FromPath(""));
  EXPECT_FALSE(FolderItem::FromPath(std::string("a\0b", 3)));
}

TEST(FolderItem, AChangedFolderIsReadAgain) {
  ScratchFolder dir;
  qtest::WriteText(dir / "b", "b");
  Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
  // An old timestamp lets the listing be kept until the folder changes.
  const timespec old[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, dir.Path().c_str(), old, 0), 0);
  EXPECT_EQ(FolderItem::Count(folder.get()), 1);
  qtest::WriteText(dir / "a", "a");
  EXPECT_EQ(FolderItem::Count(folder.get()), 2);
  EXPECT_EQ(FolderItem::Name(FolderItem::Item(folder.get(), 1).get()).Std(), "a");
  ASSERT_EQ(utimensat(AT_FDCWD, dir.Path().c_str(), old, 0), 0);
  EXPECT_EQ(FolderItem::Count(folder.get()), 2);
  ASSERT_EQ(rename((dir / "a").c_str(), (dir / "c").c_str()), 0);
  // Until the next Count, Item answers from the listing that Count read.
  EXPECT_EQ(FolderItem::Name(FolderItem::Item(folder.get(), 1).get()).Std(), "a");
  EXPECT_FALSE(FolderItem::Exists(FolderItem::Item(folder.get(), 1).get()));
  EXPECT_EQ(FolderItem::Count(folder.get()), 2);
  EXPECT_EQ(FolderItem::Name(FolderItem::Item(folder.get(), 2).get()).Std(), "c");
}

TEST(FolderItem, NamesShowBytesThatAreNotUtf8AsReplacementCharacters) {
  const struct {
    const char* bytes;
    const char* shown;
  } cases[] = {
      {"plain", "plain"},
      {"Gr\xC3\xBC\xC3\x9F"
       "e",
       "Grüße"},
      {"\xF0\x9F\x8E\xB5", "🎵"},
      {"\xFF", "\uFFFD"},
      {"\xC0\xAF", "\uFFFD\uFFFD"},                      // overlong
      {"\xE0\x80\x80", "\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"\xE2\x82", "\uFFFD"},                            // cut short
      {"\xE2\x82x", "\uFFFDx"},
      {"a\xF0\x9F\x8E", "a\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    Ref<FolderItem> item = FolderItem::FromPath(std::string("/some/folder/") + c.bytes);
    EXPECT_EQ(FolderItem::Name(item.get()).Std(), c.shown);
  }
  EXPECT_EQ(FolderItem::Name(FolderItem::FromPath("/music/album/").get()).Std(), "album");
  EXPECT_EQ(FolderItem::Name(FolderItem::FromPath("/").get()).Std(), "/");
  EXPECT_FALSE(FolderItem::Visible(FolderItem::FromPath("/music/.cache").get()));
}

TEST(FolderItem, ANilItemRaises) {
  for (auto f : {+[] { FolderItem::Exists(nullptr); }, +[] { FolderItem::Visible(nullptr); },
                 +[] { FolderItem::Name(nullptr); }, +[] { FolderItem::Count(nullptr); },
                 +[] { FolderItem::Item(nullptr, 1); }})
    EXPECT_EQ(qtest::RaisedClass(f), "NilObjectException");
}

TEST(FolderItem, CountItemAndExistsAreLoggedWhenTheCallLogIsOn) {
  ScratchFolder dir;
  qtest::WriteText(dir / "a", "a");
  Ref<FolderItem> folder = FolderItem::FromPath(dir.Path());
  std::vector<std::string> log;
  rt::SetCallLog(&log);
  FolderItem::Count(folder.get());
  Ref<FolderItem> e = FolderItem::Item(folder.get(), 1);
  FolderItem::Exists(e.get());
  FolderItem::Item(folder.get(), 7);
  rt::SetCallLog(nullptr);
  FolderItem::Count(folder.get());
  EXPECT_EQ(log, (std::vector<std::string>{"FolderItem.Count", "FolderItem.Item 1",
                                           "FolderItem.Exists", "FolderItem.Item 7"}));
}

TEST(GetOpenFolderItem, AsksThePrompterWithTheFilterAndItsExtensions) {
  qtest::EnsureQtApplication();
  qtest::ScriptedPrompter prompter;
  prompter.openFileAnswers = {std::nullopt, std::string("/music/picked.mp3")};
  const rt::String filter = "audio/mp3;audio/wav;";
  EXPECT_FALSE(rt::GetOpenFolderItem(filter));
  Ref<FolderItem> picked = rt::GetOpenFolderItem(filter);
  ASSERT_TRUE(picked);
  EXPECT_EQ(picked->NativePath(), "/music/picked.mp3");
  ASSERT_EQ(prompter.openFileRequests.size(), 2u);
  EXPECT_EQ(prompter.openFileRequests[0].filter, "audio/mp3;audio/wav;");
  EXPECT_EQ(prompter.openFileRequests[0].extensions, rt::RuntimeFileTypeExtensions(filter));
}

}  // namespace

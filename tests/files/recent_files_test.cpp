#include "files/recent_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace slm {
namespace {

using Paths = std::vector<std::string>;

// An absolute path written as on Unix ("/data/a.dlgr"), in the form the
// system gives it: on Windows on the working folder's drive, with backslashes.
std::string Native(const std::string& path) {
  std::filesystem::path native = std::filesystem::path(path).make_preferred();
  if (native.is_relative()) native = std::filesystem::current_path().root_name() / native;
  return native.string();
}
Paths Native(const Paths& paths) {
  Paths native;
  for (const std::string& path : paths) native.push_back(Native(path));
  return native;
}

std::string Numbered(int n) { return "/data/f" + std::to_string(n) + ".dlgr"; }

// Numbered files from `newest` down to `oldest`, as the list holds them.
Paths Newest(int newest, int oldest) {
  Paths paths;
  for (int n = newest; n >= oldest; --n) paths.push_back(Numbered(n));
  return paths;
}

TEST(RecentFiles, OpeningPutsTheFileFirstOnceAndKeepsTheNewestEight) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    const char* what;
    Paths before;
    std::string opened;
    Paths after;
  } cases[] = {
      {"first file", {}, "/data/a.dlgr", {"/data/a.dlgr"}},
      {"newest first", {"/data/a.dlgr"}, "/data/b.dlgr", {"/data/b.dlgr", "/data/a.dlgr"}},
      {"opened again moves up",
       {"/data/a.dlgr", "/data/b.dlgr", "/data/c.dlgr"},
       "/data/c.dlgr",
       {"/data/c.dlgr", "/data/a.dlgr", "/data/b.dlgr"}},
      {"the newest opened again",
       {"/data/a.dlgr", "/data/b.dlgr"},
       "/data/a.dlgr",
       {"/data/a.dlgr", "/data/b.dlgr"}},
      {"the same file by another path",
       {"/data/a.dlgr", "/data/b.dlgr"},
       "/data/x/../b.dlgr",
       {"/data/b.dlgr", "/data/a.dlgr"}},
      {"the same file with dots", {"/data/a.dlgr"}, "/data/./a.dlgr", {"/data/a.dlgr"}},
      {"a relative path is in the working folder", {}, "sub/../f.dlgr", {here + "/f.dlgr"}},
      {"the ninth pushes out the oldest", Newest(8, 1), Numbered(9), Newest(9, 2)},
      {"the oldest of eight again loses nothing", Newest(8, 1), Numbered(1),
       [] {
         Paths p = Newest(8, 2);
         p.insert(p.begin(), Numbered(1));
         return p;
       }()},
  };
  for (const auto& c : cases) {
    RecentFiles recent(c.before);
    recent.Add(c.opened);
    EXPECT_EQ(recent.paths(), Native(c.after)) << c.what;
    EXPECT_LE(recent.paths().size(), kMaxRecentFiles) << c.what;
  }
}

TEST(RecentFiles, AKeptListIsReadNewestFirstWithoutBlanksRepeatsOrExcess) {
  const std::string here = std::filesystem::current_path().string();
  const struct {
    const char* what;
    Paths kept;
    Paths read;
  } cases[] = {
      {"nothing", {}, {}},
      {"as kept", {"/a", "/b", "/c"}, {"/a", "/b", "/c"}},
      {"blanks", {"", "/a", "", "/b", ""}, {"/a", "/b"}},
      {"a repeat keeps its newer place", {"/a", "/b", "/a", "/c", "/b"}, {"/a", "/b", "/c"}},
      {"repeats by another path", {"/d/a", "/d/./a", "/e/../d/a"}, {"/d/a"}},
      {"a relative entry", {"rel.dlgr", "/a"}, {here + "/rel.dlgr", "/a"}},
      {"ten kept, the newest eight read", Newest(10, 1), Newest(10, 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(RecentFiles(c.kept).paths(), Native(c.read)) << c.what;
}

TEST(RecentFiles, RemovingAndClearing) {
  RecentFiles recent({"/d/a", "/d/b", "/d/c"});
  EXPECT_TRUE(recent.Remove("/d/x/../b"));
  EXPECT_EQ(recent.paths(), Native(Paths{"/d/a", "/d/c"}));
  EXPECT_FALSE(recent.Remove("/d/b"));
  EXPECT_FALSE(recent.Remove("/d/A"));
  EXPECT_EQ(recent.paths(), Native(Paths{"/d/a", "/d/c"}));
  recent.Clear();
  EXPECT_TRUE(recent.empty());
  recent.Add("/d/a");
  EXPECT_EQ(recent.paths(), Native(Paths{"/d/a"}));
}

TEST(RecentFiles, OnlyAFileThatIsGoneIsDroppedAndSaidByItsAbsolutePath) {
  test::TempDir dir;
  const std::string there = dir.File("there.dlgr");
  const std::string gone = dir.File("gone.dlgr");
  const std::string folder = dir.File("folder");
  test::WriteBytes(there, "1\t01/05/2024 10:00:00\t66.6\r\n");
  test::WriteBytes(gone, "x");
  std::filesystem::create_directory(folder);
  RecentFiles recent({gone, there, folder});
  std::filesystem::remove(gone);

  EXPECT_FALSE(recent.DropIfMissing(there));
  // A folder is something: opening it says why it is no list.
  EXPECT_FALSE(recent.DropIfMissing(folder));
  EXPECT_EQ(recent.paths(), (Paths{gone, there, folder}));
  EXPECT_TRUE(recent.DropIfMissing(gone));
  EXPECT_EQ(recent.paths(), (Paths{there, folder}));
  // Gone and already off the list: still gone.
  EXPECT_TRUE(recent.DropIfMissing(gone));
  EXPECT_EQ(recent.paths(), (Paths{there, folder}));
  // The message names the file by its absolute path.
  const std::string here = std::filesystem::current_path().string();
  const std::string message = MissingRecentFileMessage("old/../gone.dlgr");
  EXPECT_NE(message.find(Native(here + "/gone.dlgr") + " no longer exists"), std::string::npos)
      << message;
}

TEST(RecentFiles, MenuLabelsNumberTheNameAndShowAmpersandsAsThemselves) {
  const struct {
    std::size_t position;
    const char* path;
    const char* label;
  } cases[] = {
      {1, "/data/site a.dlgr", "&1 site a.dlgr"},
      {8, "/data/R&D.dlgr", "&8 R&&D.dlgr"},
      {2, "/a&b/&&x", "&2 &&&&x"},
      {3, "/data/no_suffix", "&3 no_suffix"},
  };
  for (const auto& c : cases) EXPECT_EQ(RecentFileLabel(c.position, c.path), c.label) << c.path;
}

}  // namespace
}  // namespace slm

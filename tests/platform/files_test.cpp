#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/fault_os.h"
#include "platform/temp_dir.h"

namespace kx {
namespace {

using testing::TempDir;

TEST(FilesPath, Helpers) {
  struct Case {
    std::string (*fn)(std::string_view);
    const char* name;
    const char* in;
    const char* out;
  } cases[] = {
      {BAR_DIR, "BAR_DIR", "/dados/2013", "/dados/2013/"},
      {BAR_DIR, "BAR_DIR", "/dados/2013/", "/dados/2013/"},
      {BAR_DIR, "BAR_DIR", "/", "/"},
      {BAR_DIR, "BAR_DIR", "", ""},
      {BAR_FORA, "BAR_FORA", "/dados/2013/", "/dados/2013"},
      {BAR_FORA, "BAR_FORA", "/dados/2013", "/dados/2013"},
      {BAR_FORA, "BAR_FORA", "/dados//", "/dados/"},  // one only
      {BAR_FORA, "BAR_FORA", "/", "/"},
      {BAR_FORA, "BAR_FORA", "", ""},
      {BAR_ESQ, "BAR_ESQ", "KORVEL", "/KORVEL"},
      {BAR_ESQ, "BAR_ESQ", "/KORVEL", "/KORVEL"},
      {BAR_ESQ, "BAR_ESQ", "", "/"},
      {TIRA_DIR, "TIRA_DIR", "/dados/2013/IMP0113.DBF", "IMP0113.DBF"},
      {TIRA_DIR, "TIRA_DIR", "IMP0113.DBF", "IMP0113.DBF"},
      {TIRA_DIR, "TIRA_DIR", "/dados/", ""},
      {folder_of, "folder_of", "/dados/2013/IMP0113.DBF", "/dados/2013"},
      {folder_of, "folder_of", "/IMP0113.DBF", "/"},
      {folder_of, "folder_of", "IMP0113.DBF", ""},
      {forward_slashes, "forward_slashes", "KORVEL\\2013\\X.DBF", "KORVEL/2013/X.DBF"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << c.name << "(\"" << c.in << "\")";
  EXPECT_EQ(join_path("/d", "x"), "/d/x");
  EXPECT_EQ(join_path("/d/", "/x"), "/d/x");
  EXPECT_EQ(join_path("", "x"), "x");
}

TEST(FilesWildcard, MatchesLikeDosWithCaseFolding) {
  struct Case {
    std::string pattern, name;
    bool match;
  } cases[] = {
      {"imp??13.dbf", "IMP0113.DBF", true},
      {"imp??13.dbf", "IMP113.DBF", false},
      {"imp??13.dbf", "IMP01130.DBF", false},
      {"*.cdx", "imp0113.CDX", true},
      {"*.cdx", "imp0113.cdx.bak", false},
      {"tmp_*.*", "TMP_01.TXT", true},
      {"tmp_*.*", "tmp_01", true},
      {"tmp_*.*", "xtmp_01.txt", false},
      {"*.*", "README", true},
      {"*.*", "a.b.c", true},
      {"*", "a.b", true},
      {"*.", "README", true},
      {"*.", "README.TXT", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*", "", true},
      {"?", "", false},
      {std::string("ação*"_cp), std::string("AÇÃO2013.DBF"_cp), true},
      {std::string("*ÇÃO.TXT"_cp), std::string("declaração.txt"_cp), true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match)
        << "pattern \"" << cp850::to_utf8(c.pattern) << "\" name \"" << cp850::to_utf8(c.name) << "\"";
}

TEST(FilesFind, ExactNameFirstThenAnyCase) {
  TempDir dir;
  Os& os = posix_os();
  dir.put("imp0113.dbf", "lower");
  dir.put("Imp0213.dbf", "mixed");
  dir.put("IMP0213.DBF", "upper");
  const std::string accented(std::string("declaração.txt"_cp));
  dir.put(accented, "acc");
  struct Case {
    std::string asked, found;
  } cases[] = {
      {"IMP0113.DBF", "imp0113.dbf"},
      {"imp0113.dbf", "imp0113.dbf"},
      {"Imp0213.dbf", "Imp0213.dbf"},  // exact, though another case exists
      {"imp0213.DBF", "IMP0213.DBF"},  // first in byte order
      {std::string("DECLARAÇÃO.TXT"_cp), accented},
  };
  for (const auto& c : cases) {
    auto r = find_in_folder(os, dir.path(), c.asked);
    ASSERT_TRUE(r.ok()) << cp850::to_utf8(c.asked) << ": " << r.status();
    EXPECT_EQ(*r, dir.file(c.found)) << cp850::to_utf8(c.asked);
  }
  auto none = find_in_folder(os, dir.path(), "IMP9913.DBF");
  EXPECT_EQ(none.status().code(), StatusCode::NotFound);
  EXPECT_NE(none.status().message().find("IMP9913.DBF"), std::string::npos) << none.status();
}

TEST(FilesFind, EveryLevelOfAPath) {
  TempDir dir;
  Os& os = posix_os();
  dir.put("korvel/2013/imp0113.dbf", "x");
  auto r = find_path(os, dir.file("KORVEL/2013/IMP0113.DBF"));
  ASSERT_TRUE(r.ok()) << r.status();
  EXPECT_EQ(*r, dir.file("korvel/2013/imp0113.dbf"));
  EXPECT_TRUE(file_exists(os, dir.file("Korvel/2013/Imp0113.Dbf")));
  EXPECT_FALSE(file_exists(os, dir.file("KORVEL/2013")));
  EXPECT_TRUE(folder_exists(os, dir.file("KORVEL/2013")));
  EXPECT_FALSE(folder_exists(os, dir.file("KORVEL/2013/IMP0113.DBF")));
  EXPECT_FALSE(file_exists(os, dir.file("KORVEL/2012/IMP0113.DBF")));
  EXPECT_EQ(find_path(os, dir.file("KORVEL/2012/IMP0113.DBF")).status().code(), StatusCode::NotFound);
}

TEST(FilesList, WildcardsFoldCaseAndSkipFolders) {
  TempDir dir;
  Os& os = posix_os();
  for (const char* n : {"imp0113.dbf", "IMP0213.DBF", "imp0113.cdx", "tmp_1", "TMP_2.TXT", "leia"})
    dir.put(n, "");
  dir.mkdir("IMP9913.DBF");  // a folder that matches the pattern
  struct Case {
    const char* pattern;
    Entries entries;
    std::vector<std::string> names;
  } cases[] = {
      {"imp??13.dbf", Entries::Files, {"IMP0213.DBF", "imp0113.dbf"}},
      {"imp??13.dbf", Entries::Folders, {"IMP9913.DBF"}},
      {"imp??13.dbf", Entries::Both, {"IMP0213.DBF", "IMP9913.DBF", "imp0113.dbf"}},
      {"*.CDX", Entries::Files, {"imp0113.cdx"}},
      {"tmp_*.*", Entries::Files, {"TMP_2.TXT", "tmp_1"}},
      {"*.", Entries::Files, {"leia", "tmp_1"}},
      {"*.xyz", Entries::Files, {}},
  };
  for (const auto& c : cases) {
    auto r = list_matching(os, dir.path(), c.pattern, c.entries);
    ASSERT_TRUE(r.ok()) << c.pattern << ": " << r.status();
    EXPECT_EQ(*r, c.names) << c.pattern << " entries " << int(c.entries);
  }
  EXPECT_EQ(list_matching(os, dir.file("none"), "*.*").status().code(), StatusCode::NotFound);
}

TEST(FilesFolders, MakesEveryLevel) {
  TempDir dir;
  Os& os = posix_os();
  ASSERT_TRUE(make_folders(os, dir.file("a/b/c")).ok());
  EXPECT_TRUE(folder_exists(os, dir.file("a/b/c")));
  EXPECT_TRUE(make_folders(os, dir.file("a/b/c/")).ok());  // already there
  // An existing level in another case is used, not doubled.
  ASSERT_TRUE(make_folders(os, dir.file("A/B/d")).ok());
  EXPECT_EQ(dir.names("a/b"), (std::vector<std::string>{"c", "d"}));
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"a"}));

  dir.put("a/file", "");
  Status s = make_folders(os, dir.file("a/file/x"));
  EXPECT_EQ(s.code(), StatusCode::Exists) << s;
  EXPECT_NE(s.message().find("a/file"), std::string::npos) << s;
}

TEST(FilesReplace, WritesNewContentsAndLeavesNoTemporaryFile) {
  TempDir dir;
  Os& os = posix_os();
  dir.put("cfg.txt", "old");
  ASSERT_TRUE(replace_file(os, dir.file("CFG.TXT"), "new contents").ok());  // the existing case is replaced
  EXPECT_EQ(dir.get("cfg.txt"), "new contents");
  ASSERT_TRUE(replace_file(os, dir.file("novo.txt"), "").ok());
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"cfg.txt", "novo.txt"}));
  EXPECT_EQ(replace_file(os, dir.file("none/x.txt"), "x").code(), StatusCode::NotFound);
}

// A crash at every point of a replacement leaves the old contents or the new,
// whole, under the target's name.
TEST(FilesReplace, CrashAtAnyPointLeavesOldOrNew) {
  const std::string old_text(5000, 'o'), new_text(7000, 'n');
  bool reached_end = false;
  for (std::uint64_t k = 0; !reached_end && k < 50; ++k) {
    TempDir dir;
    dir.put("IMP0113.DBF", old_text);
    FaultOs os(posix_os());
    os.crash_after(k, FaultOs::CrashCount::Mutations);
    ASSERT_TRUE(replace_file(os, dir.file("IMP0113.DBF"), new_text).ok()) << "k=" << k;
    reached_end = !os.crashed();
    const std::string now = dir.get("IMP0113.DBF");
    EXPECT_TRUE(now == old_text || now == new_text) << "k=" << k << " size " << now.size();
    if (reached_end) {
      EXPECT_EQ(now, new_text);
      EXPECT_EQ(dir.names(), std::vector<std::string>{"IMP0113.DBF"});
    }
  }
  EXPECT_TRUE(reached_end);
}

TEST(FilesReplace, CrashBeforeTheRenameKeepsTheOldFile) {
  TempDir dir;
  dir.put("a.txt", "old");
  FaultOs os(posix_os());
  os.crash_after(1);  // the one write lands; the sync and the rename do not
  ASSERT_TRUE(replace_file(os, dir.file("a.txt"), "new").ok());
  EXPECT_TRUE(os.crashed());
  EXPECT_EQ(os.count(FaultOs::Op::Rename), 1u);
  EXPECT_EQ(dir.get("a.txt"), "old");
}

TEST(FilesReplace, WriteFailureIsReportedAndCleansUp) {
  struct Case {
    int err;
    StatusCode code;
    bool short_write;
  } cases[] = {{EIO, StatusCode::IoError, false},
               {ENOSPC, StatusCode::NoSpace, true},
               {EACCES, StatusCode::Denied, false}};
  for (const auto& c : cases) {
    TempDir dir;
    dir.put("a.txt", "old");
    FaultOs os(posix_os());
    os.inject({FaultOs::Op::Write, 1, c.err, false, c.short_write});
    Status s = replace_file(os, dir.file("a.txt"), "new contents");
    EXPECT_EQ(s.code(), c.code) << "errno " << c.err << ": " << s;
    EXPECT_EQ(dir.get("a.txt"), "old") << "errno " << c.err;
    EXPECT_EQ(dir.names(), std::vector<std::string>{"a.txt"}) << "errno " << c.err;
  }
}

TEST(FilesCopy, CopiesContentsAcrossChunks) {
  TempDir dir;
  Os& os = posix_os();
  std::string big(200'003, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  dir.put("src/dados.dbf", big);
  dir.put("dst/DADOS.DBF", "old");
  ASSERT_TRUE(copy_file(os, dir.file("SRC/DADOS.DBF"), dir.file("dst/dados.dbf")).ok());
  EXPECT_EQ(dir.get("dst/DADOS.DBF"), big);
  EXPECT_EQ(dir.names("dst"), std::vector<std::string>{"DADOS.DBF"});
  ASSERT_TRUE(copy_file(os, dir.file("src/dados.dbf"), dir.file("dst/vazio.dbf")).ok());
  EXPECT_EQ(dir.get("dst/vazio.dbf"), big);
  EXPECT_EQ(copy_file(os, dir.file("src/none.dbf"), dir.file("dst/x")).code(), StatusCode::NotFound);
  EXPECT_FALSE(dir.has("dst/x"));
}

TEST(FilesOps, DeleteRenameAndDiskQueries) {
  TempDir dir;
  Os& os = posix_os();
  dir.put("a.txt", "a");
  dir.put("b.txt", "b");
  EXPECT_EQ(rename_file(os, dir.file("A.TXT"), dir.file("B.TXT")).code(), StatusCode::Exists);
  ASSERT_TRUE(rename_file(os, dir.file("a.txt"), dir.file("A.TXT")).ok());  // case only
  ASSERT_TRUE(rename_file(os, dir.file("A.TXT"), dir.file("c.txt")).ok());
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"b.txt", "c.txt"}));
  ASSERT_TRUE(delete_file(os, dir.file("B.TXT")).ok());
  EXPECT_EQ(delete_file(os, dir.file("B.TXT")).code(), StatusCode::NotFound);
  EXPECT_EQ(rename_file(os, dir.file("none"), dir.file("x")).code(), StatusCode::NotFound);

  auto free = free_disk_space(os, dir.file("not-yet.txt"));
  ASSERT_TRUE(free.ok()) << free.status();
  EXPECT_GT(*free, 0u);
  EXPECT_TRUE(is_network_drive(os, dir.file("c.txt")).ok());
  EXPECT_FALSE(is_network_drive(os, "/nonexistent/folder/x").ok());
}

}  // namespace
}  // namespace kx

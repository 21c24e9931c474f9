#include "platform/drives.h"

#include <gtest/gtest.h>

#include "platform/fault_os.h"
#include "platform/temp_dir.h"

namespace kx {
namespace {

using testing::TempDir;

TEST(DrivesResolve, ReplacesTheLetterByItsFolder) {
  DriveMap map;
  ASSERT_TRUE(map.set('C', "/srv/c/").ok());
  ASSERT_TRUE(map.set('a', "/mnt/floppy").ok());
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\KORVEL\\2013", "/srv/c/KORVEL/2013"},
      {"c:\\KORVEL\\2013\\", "/srv/c/KORVEL/2013/"},
      {"C:", "/srv/c"},
      {"C:\\", "/srv/c"},
      {"C:KORVEL", "/srv/c/KORVEL"},
      {"A:\\IMPZIP13.ZIP", "/mnt/floppy/IMPZIP13.ZIP"},
      {"\\KORVEL\\X.DBF", "/KORVEL/X.DBF"},
      {"dados\\2013", "dados/2013"},
      {"/já/unix", "/já/unix"},
  };
  for (const auto& c : cases) {
    auto r = map.resolve(c.in);
    ASSERT_TRUE(r.ok()) << c.in << ": " << r.status();
    EXPECT_EQ(*r, c.out) << c.in;
  }
}

TEST(DrivesResolve, UnmappedLetterIsAnErrorNeverARelativePath) {
  DriveMap map;
  ASSERT_TRUE(map.set('C', "/srv/c").ok());
  for (const char* p : {"D:\\KORVEL", "d:", "D:x"}) {
    auto r = map.resolve(p);
    ASSERT_FALSE(r.ok()) << p;
    EXPECT_EQ(r.status().code(), StatusCode::Invalid) << p;
    EXPECT_EQ(r.status().message(), "Drive D: não está mapeado"_cp) << p;
  }
  EXPECT_EQ(map.set('E', "relative/dir").code(), StatusCode::Invalid);
  EXPECT_EQ(map.set('1', "/x").code(), StatusCode::Invalid);
}

// A FaultOs whose environment holds no drive variables but the ones a test sets.
struct CleanEnv {
  FaultOs os{posix_os()};
  CleanEnv() {
    for (char l = 'A'; l <= 'Z'; ++l) os.unset_env(std::string("KORVEX_DRIVE_") + l);
  }
};

TEST(DrivesLoad, ReadsTheFileInAnyCase) {
  TempDir dir;
  CleanEnv env;
  // Written in UTF-8 with CRLF lines, as an editor may leave it.
  dir.put("drives.txt",
          "# drives of this office\r\n"
          "\r\n"
          "A=/mnt/floppy\r\n"
          "  c = /srv/declarações/  \r\n"
          "F:=/mnt/f # not a comment: part of the folder\n");
  auto map = DriveMap::load(env.os, dir.path());
  ASSERT_TRUE(map.ok()) << map.status();
  EXPECT_EQ(*map->folder('A'), "/mnt/floppy");
  EXPECT_EQ(*map->folder('c'), "/srv/declarações"_cp);
  EXPECT_EQ(*map->folder('F'), "/mnt/f # not a comment: part of the folder");
  EXPECT_FALSE(map->folder('B').ok());
}

TEST(DrivesLoad, EnvironmentWinsOverTheFile) {
  TempDir dir;
  CleanEnv env;
  dir.put("DRIVES.TXT", "A=/from/file\nC=/srv/c\n");
  env.os.set_env("KORVEX_DRIVE_A", "/mnt/floppy");
  env.os.set_env("KORVEX_DRIVE_Z", "/mnt/z");
  auto map = DriveMap::load(env.os, dir.path());
  ASSERT_TRUE(map.ok()) << map.status();
  EXPECT_EQ(*map->folder('A'), "/mnt/floppy");
  EXPECT_EQ(*map->folder('C'), "/srv/c");
  EXPECT_EQ(*map->resolve("Z:\\X"), "/mnt/z/X");
}

TEST(DrivesLoad, MissingFileGivesAnEmptyMap) {
  TempDir dir;
  CleanEnv env;
  auto map = DriveMap::load(env.os, dir.path());
  ASSERT_TRUE(map.ok()) << map.status();
  EXPECT_FALSE(map->resolve("C:").ok());
}

TEST(DrivesLoad, BadSettingsAreReportedWithTheirPlace) {
  struct Case {
    const char* file;
    const char* env_a;
    const char* where;
  } cases[] = {
      {"A=/ok\nbroken line\n", nullptr, "linha 2"},
      {"AB=/x\n", nullptr, "linha 1"},
      {"A=relative\n", nullptr, "linha 1"},
      {"", "relative", "KORVEX_DRIVE_A"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    CleanEnv env;
    dir.put("DRIVES.TXT", c.file);
    if (c.env_a) env.os.set_env("KORVEX_DRIVE_A", c.env_a);
    auto map = DriveMap::load(env.os, dir.path());
    ASSERT_FALSE(map.ok()) << c.file;
    EXPECT_EQ(map.status().code(), StatusCode::Invalid) << c.file;
    EXPECT_NE(map.status().message().find(c.where), std::string::npos) << map.status();
  }
}

}  // namespace
}  // namespace kx

// Every table the program creates, read back by Debian's python3-dbfread:
// the same fields, types, widths and decimals as declared, and the default
// record of DEFINE with its values.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/files.h"
#include "store/catalog_fields.h"
#include "store/opening.h"
#include "store_fixture.h"

namespace kx {
namespace {

constexpr const char* kPython = "/usr/bin/python3";

bool have_dbfread() {
  testing::TempDir dir;
  dir.put("probe.py", "import dbfread\n");
  auto st = posix_os().run(SpawnRequest(kPython, {dir.file("probe.py")}, dir.path(), dir.file("out.txt")));
  return st.ok() && st->success();
}

TEST(CatalogReaders, DbfreadReadsEveryTableWeCreateWithItsDeclaredFields) {
  if (!have_dbfread()) GTEST_SKIP() << "python3-dbfread is not installed (scripts/deps.sh)";
  testing::StoreFixture f;
  std::ostringstream expected;
  std::vector<std::string> files;
  for (int n = 1; n <= kLastTable; ++n) {
    const TableDecl* t = table_decl(n);
    if (!t) continue;
    const std::string base = f.dir.file("out/T" + nn(n));
    if (n == 1) f.dir.mkdir("out");
    ASSERT_TRUE(cria(f.s(), n, base)) << n;
    files.push_back(base + ".DBF");
    expected << "T" << nn(n) << ":";
    for (const auto& fd : t->fields)
      expected << " " << fd.name << "/" << fd.type << "/" << fd.width << "/" << fd.decimals;
    expected << "\n";
    if (n == 43) expected << "DEFINE 2013-04-30 2013-11-29 2.0429 N 15\n";
  }
  std::string script =
      "import dbfread, sys\n"
      "out = open('fields.txt', 'w')\n"
      "for path in sys.argv[1:]:\n"
      "    t = dbfread.DBF(path, load=True)\n"
      "    name = path.rsplit('/', 1)[1][:-4]\n"
      "    out.write(name + ':' + ''.join(' %s/%s/%d/%d' % (f.name, f.type, f.length, f.decimal_count)"
      " for f in t.fields) + '\\n')\n"
      "    if name == 'T43':\n"
      "        r = t.records[0]\n"
      "        out.write('DEFINE %s %s %s %s %s\\n' % (r['VCTO1'], r['VCTO8'], r['VAL_DOLAR'], r['PROCESSA'],"
      " r['TEMP_SAL']))\n";
  f.dir.put("read.py", script);
  std::vector<std::string> args{f.dir.file("read.py")};
  args.insert(args.end(), files.begin(), files.end());
  auto st = posix_os().run(SpawnRequest(kPython, args, f.dir.path(), f.dir.file("err.txt")));
  ASSERT_TRUE(st.ok() && st->success()) << f.dir.get("err.txt");
  EXPECT_EQ(f.dir.get("fields.txt"), expected.str());
}

}  // namespace
}  // namespace kx

// The help viewer over table 45 and its memo file.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "platform/keys.h"
#include "platform/text.h"
#include "platform/temp_dir.h"
#include "shell/help.h"
#include "shell/windows.h"
#include "shell_fixture.h"
#include "store/area.h"

namespace kx {
namespace {

struct HelpFixture : test::ShellSession {
  testing::TempDir dir;
  HelpFixture() {
    s.vars().set("ARQDEF", dir.path() + "/");
    auto a = Area::create(posix_os(), dir.file("HELPTXT.DBF"), {{"NOME", 'C', 10, 0}, {"TEXTO", 'M', 10, 0}},
                          Share::Exclusive);
    EXPECT_TRUE(a.ok()) << a.status();
    std::string longer;
    for (int i = 1; i <= 20; ++i) longer += "Linha " + std::to_string(i) + "\n";
    for (auto [name, text] : {std::pair<std::string, std::string>{"GERAL", "Ajuda geral do programa."},
                              {"TELA03", longer}}) {
      EXPECT_TRUE((*a)->append_blank().ok());
      EXPECT_TRUE((*a)->replace({{"NOME", Value(name)}, {"TEXTO", Value(text, Type::M)}}).ok());
    }
    EXPECT_TRUE((*a)->close().ok());
  }
};

TEST(Help, ShowsTheTextInItsWindowAndRestoresTheScreenOnEsc) {
  HelpFixture t;
  const std::string before = t.row(2);
  t.keys().key(key::Esc);
  txt_help(t.s, "geral");
  ASSERT_FALSE(t.con().log().empty());
  EXPECT_EQ(t.con().log().back().kind, "HELP");
  EXPECT_EQ(t.con().log().back().lines, (std::vector<std::string>{"Ajuda geral do programa."}));
  EXPECT_EQ(t.row(2), before);
  EXPECT_FALSE(t.s.part<Windows>().is_open(8));
}

TEST(Help, LongTextsScrollThirteenRowsAtATime) {
  HelpFixture t;
  t.s.vars().set("TELA", 3);
  // What the terminal is shown on the first text row at each refresh.
  struct FirstRow final : Display {
    std::vector<std::string> rows;
    void present(const Screen& scr) override { rows.push_back(rtrim(scr.row_text(2))); }
    void bell() override {}
  } shown;
  t.con().attach(t.keys(), &shown);
  t.keys().key(key::Down).key(key::PgDn).key(key::PgUp).key(key::Esc);
  mostra_help(t.s, 2);
  t.con().detach();
  std::vector<std::string> text_rows;
  for (const auto& r : shown.rows) {
    const std::size_t at = r.find("Linha ");
    if (at == std::string::npos) continue;
    std::size_t end = at + 6;
    while (end < r.size() && std::isdigit(static_cast<unsigned char>(r[end]))) ++end;
    const std::string line = r.substr(at, end - at);
    if (text_rows.empty() || text_rows.back() != line) text_rows.push_back(line);
  }
  // 20 lines in 13 rows: Down shows from line 2, PgDn stops at line 8.
  EXPECT_EQ(text_rows, (std::vector<std::string>{"Linha 1", "Linha 2", "Linha 8", "Linha 1"}));
}

TEST(Help, NothingWithoutTheMemoFileOrTheNameAndANoticeForNoName) {
  HelpFixture t;
  const std::size_t logged = t.con().log().size();
  txt_help(t.s, "NENHUMA");
  EXPECT_EQ(t.con().log().size(), logged);
  t.keys().key(key::Enter);
  txt_help(t.s, "");
  EXPECT_EQ(t.con().log().back().kind.rfind("MENS", 0), 0u);
  std::remove(t.dir.file("HELPTXT.DBT").c_str());
  const std::size_t now = t.con().log().size();
  txt_help(t.s, "GERAL");
  EXPECT_EQ(t.con().log().size(), now);
}

}  // namespace
}  // namespace kx

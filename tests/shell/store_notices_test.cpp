// The store's notices through the window layer: the lock wait's notice on
// the bottom row, Esc from the keyboard ending it, the kept window and a
// question answered with the buttons.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/temp_dir.h"
#include "platform/text.h"
#include "shell/shell_notices.h"
#include "shell/windows.h"
#include "shell_fixture.h"
#include "store/area.h"
#include "store/lock_waits.h"
#include "store/notices.h"

namespace kx {
namespace {

TEST(StoreNotices, LockWaitShowsItsNoticeAndEndsOnEsc) {
  test::ShellSession t;
  install_shell_notices(t.s);
  testing::TempDir dir;
  const std::string path = dir.file("T.DBF");
  auto mine = Area::create(posix_os(), path, {{"CPF", 'C', 11, 0}}, Share::Shared);
  ASSERT_TRUE(mine.ok());
  ASSERT_TRUE((*mine)->append_blank().ok());
  ASSERT_TRUE((*mine)->unlock().ok());
  auto other = Area::open(posix_os(), path, Share::Shared, {});
  ASSERT_TRUE(other.ok());
  ASSERT_TRUE((*other)->go_top().ok() && (*other)->lock_record().ok());

  t.keys().pause().pause().key(key::Esc);
  EXPECT_FALSE(rec_lock_in(t.s, mine->get(), 30));
  EXPECT_EQ(t.keys().remaining(), 0u);
  // Centred on the bottom row.
  const std::string_view given_up = "ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp;
  EXPECT_EQ(t.row(24).find(given_up), static_cast<std::size_t>(CENTER(given_up))) << t.row(24);
  std::vector<std::string> notices;
  for (const auto& e : t.con().log())
    if (e.kind == "MENS0") notices.push_back(e.lines.at(0));
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], "Aguardando registro ficar disponível no arquivo T"_cp);
}

TEST(StoreNotices, KeptWindowAndQuestion) {
  test::ShellSession t;
  install_shell_notices(t.s);
  Notices& n = store_notices(t.s);
  n.kept("Criando IMP01.DBF");
  EXPECT_EQ(t.con().log().back().kind, "MENS3");
  n.close_kept();
  EXPECT_FALSE(t.s.part<Windows>().is_open(10));
  t.keys().key('N');
  EXPECT_FALSE(n.ask({std::string("Diretório novo para KORVEX? Cria-o ?"_cp)}));
  t.keys().key('S');
  EXPECT_TRUE(n.ask({"Outra?"}));
}

}  // namespace
}  // namespace kx

#include "shell/session_vars.h"

#include <gtest/gtest.h>

#include "platform/cp850.h"
#include "platform/os.h"

namespace kx {
namespace {

struct SessionVarsTest : ::testing::Test {
  FixedClock clock{*Date::from_ymd(2013, 3, 10)};
  Session session{posix_os(), clock};
};

TEST_F(SessionVarsTest, ProgramVariablesStartWithTheirValues) {
  declare_program_variables(session);
  const Vars& v = session.vars();
  EXPECT_EQ(v.c("NUSU"), "00");
  EXPECT_EQ(v.n("BOL_BANCO"), 341);
  EXPECT_EQ(v.c("LIN72"), "&l74P");
  EXPECT_EQ(v.c("NOMECONTR").size(), 53u);
  EXPECT_EQ(v.c("CEMAIL_ENV").size(), 41u);
  EXPECT_TRUE(v.l("CAL_AUTO"));
  EXPECT_FALSE(v.l("MOS_MENS"));
  EXPECT_EQ(v.d("HOJE"), clock.today());
  EXPECT_EQ(v.c("CARMES"), "03");
  EXPECT_EQ(v.c("CARANO"), "2013");
  EXPECT_EQ(v.n("COR_ESCOL"), 79);
  EXPECT_EQ(v.c("COR_SAY"), "N/W+");
  EXPECT_EQ(v.list("ALJ").size(), 23u);
  EXPECT_EQ(v.list("ACJB").size(), 12u);
  EXPECT_EQ(v.list("DAT_VENC").size(), 8u);
  EXPECT_EQ(v.list("ALISTIMP").size(), 15u);
  EXPECT_EQ(v.list("NOMEPAGR").size(), 11u);
  EXPECT_EQ(v.list("NOMEPAGS").size(), 13u);
  EXPECT_EQ(v.at("ALISTIMP", 7).text(), "Renda variável     "_cp);
  EXPECT_EQ(v.at("AQUEIT2", 14).number(), 4);
  EXPECT_TRUE(v.has("STRING0"));
  EXPECT_TRUE(v.has("SEQUA4"));
}

TEST_F(SessionVarsTest, DeclarationVariablesComeAndGoWithTheSession) {
  declare_program_variables(session);
  declare_declaration_variables(session);
  const Vars& v = session.vars();
  EXPECT_EQ(v.n("NBASEAN1"), *Decimal::parse("19645.32"));
  EXPECT_EQ(v.n("NMAXINSS"), *Decimal::parse("985.96"));
  EXPECT_EQ(v.at("TAB_DOLAR", 12).number(), *Decimal::parse("2.067"));
  EXPECT_EQ(v.d("DF_PAGTO"), *Date::from_ymd(2013, 3, 31));
  EXPECT_EQ(v.c("INI"), "N");

  release_declaration_variables(session);
  EXPECT_FALSE(v.has("NBASEAN1"));
  EXPECT_FALSE(v.has("TAB_DOLAR"));
  EXPECT_TRUE(v.has("NUSU"));
}

}  // namespace
}  // namespace kx

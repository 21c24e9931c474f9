#include "platform/vars.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kx {
namespace {

TEST(Vars, NamesFoldCaseAndTheMemoryPrefix) {
  Vars v;
  v.declare("XDRIVE", "A");
  EXPECT_EQ(v.c("m->xdrive"), "A");
  EXPECT_EQ(v.c(" M->XDrive "), "A");
  v.set("xdrive", "C");
  EXPECT_EQ(v.c("XDRIVE"), "C");
  EXPECT_EQ(Vars::normalize("m->cpfdepen"), "CPFDEPEN");
}

TEST(Vars, TypesAreKept) {
  Vars v;
  v.declare("QUEIMP", 1);
  v.declare("NOMEAG", "");
  v.declare("ULTBACK", Date::empty());
  EXPECT_THROW(v.set("QUEIMP", "1"), std::logic_error);
  EXPECT_THROW(v.set("ULTBACK", 3), std::logic_error);
  EXPECT_THROW(v.c("QUEIMP"), std::logic_error);
  EXPECT_THROW(v.get("NO_SUCH"), std::logic_error);
  v.set("NOMEAG", Value("memo text", Type::M));  // text and memo mix
  EXPECT_EQ(v.c("NOMEAG"), "memo text");
  v.declare("QUEIMP", "now a text");  // declaring again may change the type
  EXPECT_EQ(v.c("QUEIMP"), "now a text");
}

TEST(Vars, ListsAreIndexedFromOne) {
  Vars v;
  v.declare_list("DAT_VENC", {Value(Date::empty()), Value(Date::empty())});
  v.set_at("DAT_VENC", 2, *Date::from_ymd(2013, 5, 31));
  EXPECT_EQ(v.at("DAT_VENC", 2).date(), *Date::from_ymd(2013, 5, 31));
  EXPECT_THROW(v.at("DAT_VENC", 0), std::logic_error);
  EXPECT_THROW(v.at("DAT_VENC", 3), std::logic_error);
  EXPECT_THROW(v.set_at("DAT_VENC", 1, 5), std::logic_error);
  EXPECT_THROW(v.get("DAT_VENC"), std::logic_error);
  EXPECT_TRUE(v.is_list("dat_venc"));
  v.list("DAT_VENC").push_back(Value(Date::empty()));
  EXPECT_EQ(v.list("DAT_VENC").size(), 3u);
}

}  // namespace
}  // namespace kx

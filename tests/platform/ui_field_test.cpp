#include "platform/ui_field.h"

#include <gtest/gtest.h>

#include "platform/console.h"
#include "platform/keys.h"
#include "platform/ui_hotkeys.h"
#include "platform/vars.h"

namespace kx {
namespace {

struct Form {
  Console con;
  Vars vars;
  HotKeys hot;
  std::vector<GetField> fields;
  ReadOptions opts;
  Form() {
    vars.declare("NOME", Value("          "));
    vars.declare("UF", Value("  "));
    vars.declare("VALOR", Value(Decimal(0)));
    fields.push_back(var_field(vars, "NOME", 2, 10));
    fields.push_back(var_field(vars, "UF", 3, 10, "@!"));
    fields.push_back(var_field(vars, "VALOR", 4, 10, "@E 999,999.99"));
    opts.hot_keys = &hot;
    opts.edit_colour = Attr(0x07);
    opts.shown_colour = Attr(0xF0);
  }
  ReadResult read() { return read_fields(con, fields, opts); }
};

TEST(Read, EnterThroughEveryFieldStoresTheValues) {
  Form f;
  f.con.script().text("Ana").key(key::Enter).text("sp").text("1234,5").key(key::Enter);
  const ReadResult r = f.read();
  EXPECT_EQ(r.last_key, key::Enter);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(f.vars.c("NOME"), "Ana       ");
  EXPECT_EQ(f.vars.c("UF"), "SP");  // filling the field moved on by itself
  EXPECT_EQ(f.vars.n("VALOR"), Decimal::parse("1234.50").value());
  EXPECT_EQ(f.con.screen().text(4, 10, 10), "  1.234,50");
  EXPECT_EQ(f.con.screen().attr(4, 10), Attr(0xF0));
}

TEST(Read, KeysThatEndTheRead) {
  const struct {
    int key;
    bool stores;
  } cases[] = {{key::Esc, false},  {key::PgDn, true}, {key::PgUp, true},
               {key::CtrlW, true}, {key::Tab, true},  {key::ShiftTab, true}};
  for (const auto& c : cases) {
    Form f;
    f.con.script().text("Bia").key(c.key);
    const ReadResult r = f.read();
    EXPECT_EQ(r.last_key, c.key) << key::key_name(c.key);
    EXPECT_EQ(f.vars.c("NOME") == "Bia       ", c.stores) << key::key_name(c.key);
    EXPECT_EQ(r.field, 0);
  }
}

TEST(Read, UpAndDownMoveBetweenFieldsAndWhenSkips) {
  Form f;
  bool uf_open = false;
  f.fields[1].when = [&] { return uf_open; };
  // Down skips UF, Up from VALOR comes back past it to NOME, Up there stays.
  f.con.script().keys({key::Down, key::Up, key::Up}).text("x").key(key::PgDn);
  const ReadResult r = f.read();
  EXPECT_EQ(r.field, 0);
  EXPECT_EQ(f.vars.c("NOME"), "x         ");
  uf_open = true;
  f.con.script().keys({key::Down}).text("r").key(key::Down).key(key::Down);
  EXPECT_EQ(f.read().last_key, key::Down);  // Down past the last field ends it
  EXPECT_EQ(f.vars.c("UF"), "R ");
}

TEST(Read, ValidRefusesOrReplaces) {
  Form f;
  int checks = 0;
  f.fields[1].valid = [&](const Value& v) {
    ++checks;
    if (v.text() == "XX") return ValidResult::refuse();
    if (v.text() == "EX") return ValidResult::replace(Value("ZZ"));
    return ValidResult::accept();
  };
  // "XX" is refused (the cursor stays), then "EX" is typed and replaced.
  f.con.script().key(key::Enter).text("xx").text("ex").key(key::PgDn);
  const ReadResult r = f.read();
  EXPECT_EQ(checks, 2);
  EXPECT_EQ(f.vars.c("UF"), "ZZ");
  EXPECT_EQ(r.field, 2);  // UF was left by filling it; PgDn ended the read on VALOR
  EXPECT_EQ(r.last_key, key::PgDn);
}

TEST(Read, HotKeysPutValuesAndEndReadsInnermostFirst) {
  Form f;
  auto program = f.hot.push("program");
  program.bind(key::AltS, [](HotKeyContext& c) { c.put = Value(Decimal(42)); });
  program.bind(key::F5, [](HotKeyContext& c) { c.end_read = true; });
  {
    auto screen = f.hot.push("screen");
    std::string seen_field;
    screen.bind(key::AltS, [&](HotKeyContext& c) {
      seen_field = c.field;
      c.put = Value(Decimal(7));
    });
    f.con.script().keys({key::Enter, key::Enter, key::AltS, key::Enter});
    f.read();
    EXPECT_EQ(f.vars.n("VALOR"), Decimal(7));
    EXPECT_EQ(seen_field, "VALOR");
    EXPECT_EQ(f.hot.scopes(), (std::vector<std::string>{"program", "screen"}));
  }
  EXPECT_EQ(f.hot.scopes(), (std::vector<std::string>{"program"}));
  f.con.script().keys({key::Enter, key::Enter, key::AltS, key::Enter});
  f.read();
  EXPECT_EQ(f.vars.n("VALOR"), Decimal(42));
  // A key blocked by an inner scope is just a key there.
  {
    auto list = f.hot.push("list");
    list.block(key::F5);
    EXPECT_EQ(f.hot.find(key::F5), nullptr);
  }
  f.con.script().text("Zé").key(key::F5);
  const ReadResult r = f.read();
  EXPECT_TRUE(r.hot_key_ended);
  EXPECT_EQ(r.last_key, key::F5);
  EXPECT_EQ(f.vars.c("NOME"), "          ");  // the field being typed is not stored
}

TEST(Read, InvalidDateIsReportedAndKept) {
  Console con;
  Vars vars;
  vars.declare("QUANDO", Value(Date::empty()));
  std::vector<GetField> fields{var_field(vars, "QUANDO", 5, 5, "@D")};
  con.script().text("31022012").key(key::Home).text("29022012");
  ReadOptions opts;
  read_fields(con, fields, opts);
  EXPECT_EQ(vars.d("QUANDO"), *Date::from_ymd(2012, 2, 29));
  ASSERT_FALSE(con.log().empty());
  EXPECT_EQ(con.log()[0].kind, "notice");
  EXPECT_EQ(con.tones().size(), 1u);
}

TEST(Read, OneCellOfAGrid) {
  // Started by a typed character, left with Up: as a list cell is edited.
  Form f;
  f.fields.resize(1);
  f.opts.up_exits = true;
  f.opts.first_key = 'J';
  f.con.script().text("oe").key(key::Up);
  const ReadResult r = f.read();
  EXPECT_EQ(r.last_key, key::Up);
  EXPECT_EQ(f.vars.c("NOME"), "Joe       ");
}

TEST(Read, OnAcceptRunsForNewValuesOnly) {
  Form f;
  std::vector<std::string> totals;
  f.fields[2].on_accept = [&](const Value& v) { totals.push_back(v.number().to_string()); };
  // VALOR typed and left with Up, then entered and left again unchanged.
  f.con.script().keys({key::Enter, key::Enter}).text("5").keys({key::Up, key::Down, key::Down});
  f.read();
  EXPECT_EQ(totals, (std::vector<std::string>{"5.00"}));
}

}  // namespace
}  // namespace kx

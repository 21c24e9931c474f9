#include "shell/demo.h"

#include <gtest/gtest.h>

#include "platform/keys.h"
#include "shell_fixture.h"

namespace kx {
namespace {

using namespace kx::literals;

// The demo end to end on the virtual screen: the same path the tmux test
// drives in a terminal, asserted through the message log.
TEST(WindowDemo, RunsHeadlessFromAKeyScript) {
  test::ShellSession t;
  t.keys()
      .key(key::Enter)
      .key('x')  // message box
      .keys({key::Down, key::Down, key::Enter})
      .text("Ana")
      .key(key::Enter)  // prompt
      .keys({key::Up, key::Enter})
      .key(key::Esc)  // question, Esc answers N
      .keys({key::Right, key::Down, key::Enter})
      .text("a")  // option bar, hot letter
      .key(key::AltR);
  window_demo(t.s);
  const auto& log = t.con().log();
  std::vector<std::string> kinds;
  for (const auto& e : log) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<std::string>{"MENS11", "MENS14", "AVISO", "AVISOSN2", "AVISO", "AVISO"}));
  EXPECT_EQ(log[1].answer, "Ana");
  EXPECT_EQ(log[3].answer, "Esc");
  EXPECT_EQ(log[4].lines[0], " Resposta: N");
  EXPECT_EQ(log[5].lines[0], std::string(" Opção escolhida: 2"_cp));
  EXPECT_EQ(t.keys().remaining(), 0u);
}

}  // namespace
}  // namespace kx

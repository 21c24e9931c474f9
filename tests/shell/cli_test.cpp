#include "shell/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace kx {
namespace {

struct Outcome {
  int status;
  std::string out, err, started;
};

Outcome run(std::vector<std::string> args) {
  std::vector<Command> commands = {
      {"echo", "prints its arguments", "Usage: korvex echo WORD...",
       [](CommandIo& io, std::span<const std::string> a) {
         if (a.empty()) throw CommandError{"a word is required"};
         for (const auto& w : a) io.out << w << ';';
         return 0;
       }},
      {"fail", "always fails", "Usage: korvex fail",
       [](CommandIo& io, std::span<const std::string>) {
         return command_failed(io, "fail", "cannot open IMP0913.DBF");
       }}};
  std::ostringstream out, err;
  std::string started = "<not started>";
  int status = run_cli(args, commands,
                       [&](CommandIo&, const std::string& t) {
                         started = t;
                         return 0;
                       },
                       CommandIo{out, err});
  return {status, out.str(), err.str(), started};
}

TEST(Cli, StartsTheProgramWithOrWithoutATerminalNumber) {
  EXPECT_EQ(run({}).started, "");
  EXPECT_EQ(run({"3"}).started, "3");
  Outcome extra = run({"3", "4"});
  EXPECT_EQ(extra.status, 2);
  EXPECT_EQ(extra.started, "<not started>");
}

TEST(Cli, HelpAndVersionGoToStdoutWithStatusZero) {
  Outcome help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("echo"), std::string::npos);
  EXPECT_NE(help.out.find("prints its arguments"), std::string::npos);
  EXPECT_TRUE(help.err.empty());
  Outcome version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("korvex ", 0), 0u);
}

TEST(Cli, CommandsRunWithTheirOwnHelpAndOneLineErrors) {
  EXPECT_EQ(run({"echo", "a", "b"}).out, "a;b;");
  Outcome help = run({"echo", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, "Usage: korvex echo WORD...\n");

  Outcome usage = run({"echo"});
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err, "korvex echo: a word is required (see 'korvex echo --help')\n");

  Outcome failed = run({"fail"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.err, "korvex fail: cannot open IMP0913.DBF\n");

  Outcome unknown = run({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(std::count(unknown.err.begin(), unknown.err.end(), '\n'), 1);
}

}  // namespace
}  // namespace kx

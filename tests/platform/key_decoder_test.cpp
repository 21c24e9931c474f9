#include "platform/key_decoder.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/input.h"
#include "platform/keys.h"

namespace kx {
namespace {

using S = DecodedKey::Status;

struct Case {
  const char* terminal;
  std::string bytes;
  int key;
};

// What the common terminals send for each key (xterm and its kin, tmux and
// screen, the Linux console, rxvt).
const Case kCases[] = {
    {"any", "\r", key::Enter},
    {"any", "\n", key::CtrlEnter},
    {"any", "\t", key::Tab},
    {"any", "\x7f", key::Backspace},
    {"any", "\x08", key::Backspace},
    {"any", "\x03", key::PgDn},  // Ctrl+C arrives as a key, not as an interrupt
    {"any", "\x17", key::CtrlW},
    {"any", "a", 'a'},
    {"utf-8", "\xc3\xa7", 0x87},  // ç
    {"utf-8", "\xc3\x83", 0xC7},  // Ã
    {"xterm", "\x1b[A", key::Up},
    {"xterm", "\x1b[B", key::Down},
    {"xterm", "\x1b[C", key::Right},
    {"xterm", "\x1b[D", key::Left},
    {"xterm app", "\x1bOA", key::Up},
    {"xterm app", "\x1bOD", key::Left},
    {"xterm", "\x1b[H", key::Home},
    {"xterm", "\x1b[F", key::End},
    {"xterm app", "\x1bOH", key::Home},
    {"xterm app", "\x1bOF", key::End},
    {"tmux/screen/linux", "\x1b[1~", key::Home},
    {"tmux/screen/linux", "\x1b[4~", key::End},
    {"rxvt", "\x1b[7~", key::Home},
    {"rxvt", "\x1b[8~", key::End},
    {"any", "\x1b[2~", key::Ins},
    {"any", "\x1b[3~", key::Del},
    {"any", "\x1b[5~", key::PgUp},
    {"any", "\x1b[6~", key::PgDn},
    {"xterm", "\x1b[Z", key::ShiftTab},
    {"xterm", "\x1bOP", key::F1},
    {"xterm", "\x1bOQ", key::F2},
    {"xterm", "\x1bOR", key::F3},
    {"xterm", "\x1bOS", key::F4},
    {"rxvt/putty", "\x1b[11~", key::F1},
    {"rxvt/putty", "\x1b[14~", key::F4},
    {"linux", "\x1b[[A", key::F1},
    {"linux", "\x1b[[E", key::F5},
    {"any", "\x1b[15~", key::F5},
    {"any", "\x1b[17~", key::F6},
    {"any", "\x1b[21~", key::F10},
    {"any", "\x1b[23~", key::F11},
    {"any", "\x1b[24~", key::F12},
    {"xterm", "\x1b[1;2P", key::shift_f(1)},
    {"xterm", "\x1b[1;5Q", key::ctrl_f(2)},
    {"xterm", "\x1b[1;3S", key::alt_f(4)},
    {"xterm", "\x1b[15;2~", key::shift_f(5)},
    {"xterm", "\x1b[17;5~", key::ctrl_f(6)},
    {"xterm", "\x1b[21;3~", key::alt_f(10)},
    {"xterm", "\x1b[23;2~", key::ShiftF11},
    {"xterm", "\x1b[24;5~", key::CtrlF12},
    {"xterm", "\x1b[24;3~", key::AltF12},
    {"old xterm", "\x1bO2P", key::shift_f(1)},
    {"linux", "\x1b[25~", key::shift_f(3)},
    {"linux", "\x1b[34~", key::shift_f(10)},
    {"tmux alt prefix", "\x1b\x1b[15~", key::alt_f(5)},
    {"tmux alt prefix", "\x1b\x1bOP", key::alt_f(1)},
    {"xterm", "\x1b[1;5D", key::CtrlLeft},
    {"xterm", "\x1b[1;5C", key::CtrlRight},
    {"xterm", "\x1b[1;5H", key::CtrlHome},
    {"xterm", "\x1b[1;5F", key::CtrlEnd},
    {"xterm", "\x1b[5;5~", key::CtrlPgUp},
    {"xterm", "\x1b[6;5~", key::CtrlPgDn},
    {"xterm", "\x1b[1;5A", key::Up},  // Ctrl+Up has no number of its own
    {"rxvt", "\x1bOd", key::CtrlLeft},
    {"rxvt", "\x1bOc", key::CtrlRight},
    {"rxvt", "\x1b[5^", key::CtrlPgUp},
    {"rxvt", "\x1b[7^", key::CtrlHome},
    {"rxvt", "\x1b[13^", key::ctrl_f(3)},
    {"rxvt", "\x1b[2$", key::Ins},
    {"xterm modifyOtherKeys", "\x1b[27;5;13~", key::CtrlEnter},
    {"CSI u", "\x1b[13;5u", key::CtrlEnter},
    {"CSI u", "\x1b[9;2u", key::ShiftTab},
    {"any", "\x1bOM", key::Enter},
    {"alt",
     "\x1b"
     "a",
     key::AltA},
    {"alt", "\x1bT", key::AltT},
    {"alt", "\x1br", key::AltR},
    {"alt",
     "\x1b"
     "1",
     key::alt_digit('1')},
    {"alt",
     "\x1b"
     "0",
     key::alt_digit('0')},
    {"alt", "\x1b=", key::AltEquals},
    {"alt", "\x1b-", key::AltMinus},
    {"alt keypad", "\x1b\x1bOk", key::AltEquals},
};

TEST(KeyDecoder, TableOfTerminalSequences) {
  for (const Case& c : kCases) {
    const DecodedKey d = decode_key(c.bytes, true);
    EXPECT_EQ(d.status, S::Key) << c.terminal << " " << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(d.key, c.key) << c.terminal << " " << ::testing::PrintToString(c.bytes) << " gave " << d;
    EXPECT_EQ(d.length, static_cast<int>(c.bytes.size())) << ::testing::PrintToString(c.bytes);
    // Followed by more input, the sequence still ends where it ends.
    const DecodedKey d2 = decode_key(c.bytes + "x", true);
    EXPECT_EQ(d2.key, c.key) << ::testing::PrintToString(c.bytes);
    EXPECT_EQ(d2.length, static_cast<int>(c.bytes.size())) << ::testing::PrintToString(c.bytes);
    // Every proper prefix of an escape sequence waits for the rest.
    for (std::size_t n = 1; n < c.bytes.size() && c.bytes[0] == '\x1b'; ++n) {
      const DecodedKey p = decode_key(c.bytes.substr(0, n), true);
      EXPECT_EQ(p.status, S::Incomplete) << ::testing::PrintToString(c.bytes.substr(0, n));
    }
  }
}

TEST(KeyDecoder, LoneEscIsToldFromAltByTheDelay) {
  EXPECT_EQ(decode_key("\x1b", true).status, S::Incomplete);
  const DecodedKey alone = decode_key("\x1b", false);
  EXPECT_EQ(alone.key, key::Esc);
  EXPECT_EQ(alone.length, 1);
  // An unfinished sequence that stops: its ESC is the Esc key, the rest follows.
  const DecodedKey cut = decode_key("\x1b[1;", false);
  EXPECT_EQ(cut.key, key::Esc);
  EXPECT_EQ(cut.length, 1);
  // Esc twice in a row: two Esc keys.
  EXPECT_EQ(decode_key("\x1b\x1b", false).key, key::Esc);
  EXPECT_EQ(decode_key("\x1b\x1b", false).length, 1);
  // Esc then Enter: Enter has no Alt number, so Esc and then Enter.
  EXPECT_EQ(decode_key("\x1b\r", true).key, key::Esc);
  EXPECT_EQ(decode_key("\x1b\r", true).length, 1);
  // "ESC O" with nothing after it in time is Alt+O.
  EXPECT_EQ(decode_key("\x1bO", false).key, key::AltO);
}

TEST(KeyDecoder, MouseReports) {
  const DecodedKey sgr = decode_key("\x1b[<0;12;1M", true);
  EXPECT_EQ(sgr.key, key::MouseLeft);
  EXPECT_EQ(sgr.row, 0);
  EXPECT_EQ(sgr.col, 11);
  EXPECT_EQ(decode_key("\x1b[<0;12;1m", true).status, S::Skip);   // release
  EXPECT_EQ(decode_key("\x1b[<2;12;1M", true).status, S::Skip);   // right button
  EXPECT_EQ(decode_key("\x1b[<64;12;1M", true).status, S::Skip);  // wheel
  const DecodedKey x10 = decode_key(std::string("\x1b[M") + char(32) + char(33 + 5) + char(33 + 2), true);
  EXPECT_EQ(x10.key, key::MouseLeft);
  EXPECT_EQ(x10.row, 2);
  EXPECT_EQ(x10.col, 5);
  EXPECT_EQ(x10.length, 6);
}

TEST(KeyDecoder, UnknownInputIsSkippedWhole) {
  EXPECT_EQ(decode_key("\x1b[99~", true).status, S::Skip);
  EXPECT_EQ(decode_key("\x1b[99~", true).length, 5);
  EXPECT_EQ(decode_key("\x1b[?1;2c", true).length, 7);          // a terminal's answer to a query
  EXPECT_EQ(decode_key("\xe2\x82\xac", true).status, S::Skip);  // € is not in CP850
  EXPECT_EQ(decode_key("\xe2\x82\xac", true).length, 3);
  EXPECT_EQ(decode_key("\xc3", true).status, S::Incomplete);
  EXPECT_EQ(decode_key("\xc3", false).status, S::Skip);
}

}  // namespace
}  // namespace kx

namespace kx {
namespace {

// Whatever arrives, decoding always makes progress and never reads past the
// input: random byte strings, biased towards escape sequences.
TEST(KeyDecoder, AnyInputIsConsumed) {
  unsigned seed = 12345;
  auto rnd = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  const char pieces[] = "\x1b[O;<0123456789~ABCDHFPQRSZMmu^$\xc3\xa7\xe2";
  for (int round = 0; round < 2000; ++round) {
    std::string in;
    const int n = 1 + static_cast<int>(rnd() % 12);
    for (int i = 0; i < n; ++i)
      in += rnd() % 4 == 0 ? static_cast<char>(rnd() % 256) : pieces[rnd() % (sizeof pieces - 1)];
    std::size_t pos = 0;
    int steps = 0;
    while (pos < in.size()) {
      const DecodedKey d = decode_key(std::string_view(in).substr(pos), false);
      ASSERT_NE(d.status, DecodedKey::Status::Incomplete) << ::testing::PrintToString(in);
      ASSERT_GE(d.length, 1) << ::testing::PrintToString(in);
      ASSERT_LE(pos + static_cast<std::size_t>(d.length), in.size()) << ::testing::PrintToString(in);
      pos += static_cast<std::size_t>(d.length);
      ASSERT_LT(++steps, 100);
    }
  }
}

}  // namespace
}  // namespace kx

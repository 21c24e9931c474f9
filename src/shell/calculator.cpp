#include "shell/calculator.h"

#include <algorithm>

#include "platform/console.h"
#include "platform/cp850.h"
#include "platform/keys.h"
#include "platform/picture.h"
#include "platform/session.h"
#include "platform/text.h"
#include "shell/messages.h"
#include "shell/windows.h"

namespace kx {
namespace {

using namespace kx::literals;

constexpr int kMaxInt = 10, kMaxDec = 4, kScale = 10;

int int_var(Session& s, std::string_view name) {
  const Value& v = s.vars().get(name);
  return v.type() == Type::N ? static_cast<int>(v.number().to_int64()) : 0;
}

}  // namespace

void Calculator::start_entry() {
  if (entering_) return;
  entering_ = true;
  int_digits_.clear();
  dec_digits_.clear();
  point_ = false;
  negative_ = false;
}

Decimal Calculator::value() const {
  if (!entering_) return result_;
  std::string t = (negative_ ? "-" : "") + (int_digits_.empty() ? std::string("0") : int_digits_);
  if (!dec_digits_.empty()) t += "." + dec_digits_;
  return Decimal::parse(t).value_or(Decimal{});
}

bool Calculator::apply() {
  const Decimal v = value();
  switch (pending_) {
    case '+':
      result_ = result_ + v;
      break;
    case '-':
      result_ = result_ - v;
      break;
    case '*':
      result_ = (result_ * v).round(kScale);
      break;
    case '/': {
      auto q = Decimal::div(result_, v, kScale);
      if (!q) return false;
      result_ = *q;
      break;
    }
    default:
      result_ = v;
  }
  return true;
}

Calculator::Outcome Calculator::key(int k) {
  const unsigned char up = key::is_printable(k) ? cp850::upper(static_cast<unsigned char>(k)) : 0;
  if (memory_prefix_) {
    memory_prefix_ = false;
    switch (up) {
      case '+':
        memory_ = memory_ + value();
        return Outcome::Continue;
      case '-':
        memory_ = memory_ - value();
        return Outcome::Continue;
      case 'R':
        entering_ = false;
        start_entry();
        {
          // The memory becomes the entry.
          const Decimal m = memory_;
          negative_ = m.sign() < 0;
          const std::string t = m.abs().to_string();
          const auto dot = t.find('.');
          int_digits_ = t.substr(0, dot);
          if (dot != std::string::npos) {
            dec_digits_ = t.substr(dot + 1, kMaxDec);
            point_ = true;
            decimals_shown_ = true;
          }
        }
        return Outcome::Continue;
      case 'C':
        memory_ = Decimal{};
        return Outcome::Continue;
      default:
        return Outcome::Beep;
    }
  }
  if (up >= '0' && up <= '9') {
    start_entry();
    if (point_) {
      if (static_cast<int>(dec_digits_.size()) >= kMaxDec) return Outcome::Beep;
      dec_digits_ += static_cast<char>(up);
    } else {
      if (int_digits_ == "0") int_digits_.clear();
      if (static_cast<int>(int_digits_.size()) >= kMaxInt) return Outcome::Beep;
      if (!(int_digits_.empty() && up == '0')) int_digits_ += static_cast<char>(up);
    }
    return Outcome::Continue;
  }
  switch (up) {
    case ',':
    case '.':
      start_entry();
      point_ = true;
      decimals_shown_ = true;
      return Outcome::Continue;
    case 'I':
      if (entering_)
        negative_ = !negative_;
      else
        result_ = -result_;
      return Outcome::Continue;
    case '+':
    case '-':
    case '*':
    case '/':
      if (entering_ || !pending_) {
        if (error_) return Outcome::Beep;
        if (!apply()) {
          error_ = true;
          entering_ = false;
          pending_ = 0;
          return Outcome::Beep;
        }
      }
      entering_ = false;
      pending_ = static_cast<char>(up);
      if (up == '/') decimals_shown_ = true;
      return Outcome::Continue;
    case '=':
      break;  // as Enter, below
    case 'M':
      memory_prefix_ = true;
      return Outcome::Continue;
    case 'C': {  // everything but the memory
      const Decimal m = memory_;
      *this = Calculator{};
      memory_ = m;
      return Outcome::Continue;
    }
    case 'X':
      return Outcome::Cancel;
    default:
      break;
  }
  if (up == '=' || k == key::Enter || k == key::CtrlEnter) {
    if (!error_ && (entering_ || pending_)) {
      if (!apply()) {
        error_ = true;
        entering_ = false;
        pending_ = 0;
        return k == key::CtrlEnter ? Outcome::Deliver : Outcome::Beep;
      }
    }
    entering_ = false;
    pending_ = 0;
    return k == key::CtrlEnter ? Outcome::Deliver : Outcome::Continue;
  }
  if (k == key::Esc) return Outcome::Cancel;
  if (k == key::Backspace) {
    entering_ = false;
    start_entry();
    return Outcome::Continue;
  }
  return Outcome::Beep;
}

std::string Calculator::display() const {
  std::string line(26, ' ');
  if (!memory_.is_zero()) line[2] = 'M';
  std::string shown;
  if (error_) {
    shown = "ERRO";
  } else if (!entering_ && result_.is_zero()) {
    shown = "";  // "@Ez": zero is shown blank
  } else {
    const char* pic = decimals_shown_ ? "@E 99,999,999,999.9999" : "@E 99,999,999,999";
    shown = trim(transform(Value(value().round(decimals_shown_ ? 4 : 0)), pic));
    if (entering_ && point_) {
      // While decimals are typed, only those typed so far are shown.
      const Decimal whole = Decimal::parse(int_digits_.empty() ? "0" : int_digits_).value_or(Decimal{});
      shown = (negative_ ? "-" : "") + trim(transform(Value(whole), "@E 99,999,999,999")) + "," + dec_digits_;
    }
  }
  if (shown.size() > 20) shown = shown.substr(shown.size() - 20);
  line.replace(24 - shown.size(), shown.size(), shown);
  if (pending_) line[25] = pending_ == '/' ? static_cast<char>("÷"_cp[0]) : pending_;
  return line;
}

// ---- The window -------------------------------------------------------------

namespace {

std::string keypad_text() {
  const char* rows[] = {
      "                          ",  // display
      "┌────────────────────────┐", "│ Mr  Mc  M-  M+  ^Enter │", "│                        │",
      "│  7   8   9   *    ESC  │", "│                        │", "│  4   5   6   +  (C)lear│",
      "│                        │", "│  1   2   3   -     .   │", "│                        │",
      "│  0   =   /   I +/-     │", "│                        │", "│                        │",
      "└────────────────────────┘",
  };
  std::string t;
  for (const char* r : rows) t += cp850::from_utf8(r);
  return t;
}

}  // namespace

std::optional<Decimal> calculadora(Session& s, int slot, int row, int col) {
  Windows& win = s.part<Windows>();
  Console& con = console_of(s);
  Vars& vars = s.vars();
  const std::string pad = keypad_text();
  auto place = [&](int r, int c) {
    row = std::clamp(r, 0, 11);
    col = std::clamp(c, 0, 48);
    win.define(slot, int_var(s, "COR_TEL1"), int_var(s, "COR_TEL2"), int_var(s, "COR_TEL2"), row, col,
               row + 13, col + 25, 0);
    win.open(slot);
    win.write(slot, pad);
  };
  place(row, col);
  const bool cursor = con.screen().cursor_visible();
  con.screen().show_cursor(false);
  Calculator calc;
  std::optional<Decimal> result;
  while (true) {
    con.screen().write(row, col, calc.display(), win.slot(slot)->attr(2));
    const int k = con.wait_key();
    int dr = 0, dc = 0;
    if (k == key::Up)
      dr = -1;
    else if (k == key::Down)
      dr = 1;
    else if (k == key::Left)
      dc = -1;
    else if (k == key::Right)
      dc = 1;
    if (dr || dc) {
      win.close(slot);
      place(row + dr, col + dc);
      if (vars.has("LCAL")) vars.set("LCAL", row);
      if (vars.has("CCAL")) vars.set("CCAL", col);
      continue;
    }
    const auto out = calc.key(k);
    if (out == Calculator::Outcome::Beep) con.beep(800, 1);
    if (out == Calculator::Outcome::Cancel) break;
    if (out == Calculator::Outcome::Deliver) {
      if (!calc.error()) result = calc.result();
      break;
    }
  }
  win.close(slot);
  con.screen().show_cursor(cursor);
  return result;
}

HotKeys::Handler calculator_hot_key(Session& s) {
  return [&s](HotKeyContext& ctx) {
    const auto r = calculadora(s, 9, int_var(s, "LCAL"), int_var(s, "CCAL"));
    if (!r || !ctx.value) return;
    if (ctx.value->type() == Type::N) {
      ctx.put = Value(*r);
    } else if (ctx.value->is_text()) {
      const std::string& old = ctx.value->text();
      const std::string shown = trim(transform(Value(*r), "@EZ 9,999,999,999.99"));
      ctx.put = Value(padr(trim(old) + " " + shown, static_cast<int>(old.size())));
    }
  };
}

}  // namespace kx

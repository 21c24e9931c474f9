#include "platform/ui_field.h"

#include "platform/console.h"
#include "platform/edit_buffer.h"
#include "platform/keys.h"
#include "platform/ui_hotkeys.h"
#include "platform/vars.h"

namespace kx {

GetField var_field(Vars& vars, std::string name, int row, int col, std::string picture,
                   std::optional<NumberShape> shape) {
  GetField f;
  f.name = name;
  f.row = row;
  f.col = col;
  f.picture = std::move(picture);
  f.shape = shape;
  f.get = [&vars, name] { return vars.get(name); };
  f.set = [&vars, name](const Value& v) { vars.set(name, v); };
  return f;
}

namespace {

void draw_one(Console& c, const GetField& f, Attr colour) {
  const EditBuffer shown(f.get(), f.picture, f.shape);
  c.screen().write(f.row, f.col, shown.visible_text(), colour);
}

enum class Move { Next, Prev, End, Stay };

Move move_of(int k) {
  switch (k) {
    case key::Enter:
    case key::Down:
      return Move::Next;
    case key::Up:
      return Move::Prev;
    case key::Tab:
    case key::ShiftTab:
    case key::PgUp:
    case key::PgDn:
    case key::CtrlW:
      return Move::End;
    default:
      return Move::Stay;
  }
}

}  // namespace

void draw_fields(Console& console, const std::vector<GetField>& fields, Attr colour) {
  for (const auto& f : fields) draw_one(console, f, colour);
}

ReadResult read_fields(Console& console, std::vector<GetField>& fields, const ReadOptions& opts) {
  ReadResult res;
  const int n = static_cast<int>(fields.size());
  int i = opts.start < 0 ? 0 : opts.start;
  int dir = 1;
  int last = key::Enter;
  int pending_key = opts.first_key;
  Screen& scr = console.screen();
  while (true) {
    if (i < 0) {
      i = 0;
      dir = 1;
    }
    if (i >= n) break;
    GetField& f = fields[static_cast<std::size_t>(i)];
    if (f.when && !f.when()) {
      i += dir;
      continue;
    }
    res.field = i;
    EditBuffer buf(f.get(), f.picture, f.shape);
    buf.set_insert_mode(console.insert_mode());
    bool put = false;
    Move move = Move::Stay;
    while (move == Move::Stay) {
      scr.write(f.row, f.col, buf.visible_text(), opts.edit_colour);
      scr.set_cursor(f.row, f.col + buf.visible_cursor());
      scr.show_cursor(true);
      InputEvent ev;
      if (pending_key) {
        ev.key = pending_key;
        pending_key = 0;
      } else {
        ev = console.wait_event();
      }
      int k = ev.key;
      if (opts.hot_keys) {
        HotKeyContext ctx{console, k, f.name, buf.value().value, std::nullopt, false};
        if (run_hot_key(opts.hot_keys, ctx)) {
          if (ctx.put) {
            buf = EditBuffer(*ctx.put, f.picture, f.shape);
            put = true;
          }
          if (ctx.end_read) {
            draw_one(console, f, opts.shown_colour);
            res.last_key = k;
            res.hot_key_ended = true;
            return res;
          }
          continue;
        }
      }
      if (k == key::MouseLeft) continue;
      if (k == key::Esc) {
        draw_one(console, f, opts.shown_colour);
        res.last_key = key::Esc;
        return res;
      }
      const KeyResult r = buf.key(k);
      console.set_insert_mode(buf.insert_mode());
      if (r == KeyResult::Taken) continue;
      if (r == KeyResult::Refused) {
        console.beep();
        continue;
      }
      if (r == KeyResult::Filled) {
        if (opts.bell) console.beep();
        if (opts.confirm) continue;
        move = Move::Next;
      } else {
        move = move_of(k);
        if (move == Move::Stay) continue;  // not a key of the read
      }
      // Leaving the field: the typed value must be a value and pass the check.
      const EditBuffer::Result typed = buf.value();
      if (!typed.ok()) {
        scr.fill(Rect{24, 0, 24, 79}, ' ', opts.notice_colour);
        scr.write(24, 1, typed.error, opts.notice_colour);
        console.log_message("notice", {typed.error});
        console.beep();
        move = Move::Stay;
        continue;
      }
      Value v = *typed.value;
      const bool changed = buf.changed() || put;
      // The variable takes the value before the check runs, so a check that
      // reads the variables sees what was typed (as the procedures expect).
      if (changed) f.set(v);
      bool vr_replaced = false;
      if (f.valid) {
        ValidResult vr = f.valid(v);
        if (vr.kind == ValidResult::Kind::Refuse) {
          move = Move::Stay;
          buf = EditBuffer(f.get(), f.picture, f.shape);
          continue;
        }
        if (vr.kind == ValidResult::Kind::Replace) {
          f.set(vr.value);
          vr_replaced = true;
        }
      }
      if (changed || vr_replaced) {
        res.changed = true;
        if (f.on_accept) f.on_accept(f.get());
      }
      last = k;
    }
    draw_one(console, f, opts.shown_colour);
    if (move == Move::End) {
      res.last_key = last;
      return res;
    }
    if (move == Move::Prev) {
      // Up on the first enterable field stays there (or ends the read).
      int j = i - 1;
      while (j >= 0 && fields[static_cast<std::size_t>(j)].when &&
             !fields[static_cast<std::size_t>(j)].when())
        --j;
      if (j < 0 && opts.up_exits) {
        res.last_key = key::Up;
        return res;
      }
      if (j >= 0) i = j;
      dir = -1;
      continue;
    }
    dir = 1;
    ++i;
  }
  res.last_key = last;
  return res;
}

}  // namespace kx

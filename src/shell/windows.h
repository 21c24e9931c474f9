// Text windows: numbered window slots and the stack of screen areas they
// cover.
//
// A slot has a rectangle, a frame style, three colours and the last text
// written into it.  Opening a slot saves the area it will cover and draws
// its frame; closing it puts the area back, so windows stack and unstack
// without redrawing what lies below.  Texts carry their own layout: codes
// 1-3 switch to the slot's colour 1-3, code 4 + count + character repeats
// the character.  Nothing here is ever drawn outside the 80x25 screen, and
// an unknown slot makes every operation do nothing.
//
// Frame styles: 0 none; 1 a single-line frame one row above and one column
// left of the text, ending at bottom-1 and right-1; 2 a single-line frame on
// the rectangle; 7 no frame, text narrowed by 2 columns, a "░" shadow right
// and below (its bottom is extended by 2 rows when defined).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/colour.h"
#include "platform/screen.h"

namespace kx {

class Console;
class Session;

struct WindowSlot {
  int number = 0;
  std::string colour[3];  // colour strings ("GR+/B")
  int top = 0, left = 0, bottom = 0, right = 0;
  int frame = 0;
  std::string text;  // the last text written, run codes expanded, colour codes removed

  Attr attr(int which) const;  // colour 1-3 as an attribute
  // The last column text is written to: right for style 0, right - 2 otherwise.
  int usable_right() const { return frame == 0 ? right : right - 2; }
  // The screen area the slot covers when open (its frame and shadow included).
  Rect covered() const;
};

// Run codes (4, count, character) expanded; colour codes kept.
std::string expand_runs(std::string_view text);
// The same with the colour codes 1-3 removed too.
std::string plain_text(std::string_view text);

class Windows {
 public:
  explicit Windows(Session& s);

  // DEFINEJAN / REDEFJAN: create or redefine a slot (colours are attribute
  // numbers); style 7 extends the bottom by 2 rows; the stored text is cleared.
  void define(int slot, int c1, int c2, int c3, int top, int left, int bottom, int right, int frame);
  // REDFATR: one colour (1-3) of a slot; slot 0 means 10.
  void set_colour(int slot, int which, int number);
  // ABREJAN: restore what the slot covered if it was open, save the area it
  // will cover, draw the frame (styles 1 and 2; the inside is not cleared).
  void open(int slot);
  // FECHAJAN: put back the area and forget it; a closed slot does nothing.
  void close(int slot);
  bool is_open(int slot) const;
  // ESCRJAN: a text into an open window (slot 0: the bottom row).
  void write(int slot, std::string_view text);
  // ESCRLCOL: text at a window-relative (0-based) place keeping the colours
  // on screen; slot 0 writes on row 24 from `col`.
  void write_at(int slot, int row, int col, std::string_view text);
  // ESCRATR: recolours `len` characters of the slot's stored text from the
  // window row and column (both counted from 1).
  void recolour(int slot, int row, int col, int number, int len);
  // MOVEVER / MOVEHOR: one row or column (129 up or left, anything else down
  // or right) when the window stays on screen; the stored text is redrawn.
  // Returns whether it moved.
  bool move_vertical(int slot, int direction);
  bool move_horizontal(int slot, int direction);

  const WindowSlot* slot(int number) const;
  // Blanks the text area of a slot in colour 1: its first `rows` rows, or
  // all of it when rows is 0.
  void blank(int slot, int rows = 0);

 private:
  struct Saved {
    int slot;
    SavedArea area;
  };
  WindowSlot* find(int number);
  void draw_frame(const WindowSlot& w);
  void draw_text(const WindowSlot& w, std::string_view text);
  std::vector<Saved>::iterator saved_of(int slot);
  bool move(int slot, int drow, int dcol);

  Session& session_;
  std::map<int, WindowSlot> slots_;
  std::vector<Saved> saved_;  // the saved-region stack
};

// ENCHETELA: fills the whole screen with a character in a colour.
void fill_screen(Session& s, unsigned char ch, int number);

// The session's console (a shorthand).
Console& console_of(Session& s);

}  // namespace kx

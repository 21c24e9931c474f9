// The two keyboard pickers over a window that lists one choice per row.
//
// Rows: choice p stands on window row `row_offset + p - 1` (0-based rows
// from the window's top text row), so `row_offset` is the row of choice 1;
// `col` is the 0-based window column where the highlight or mark goes.
#pragma once

namespace kx {

class Session;

// ESC_OPCAO: the option bar.  The current option is POSVER (0 and values
// left over from a longer bar are brought into 1..count); it is highlighted
// in COR_ESCOL, the old one repainted in COR_TEL1.  Enter chooses, Esc makes
// POSVER 0, Home/End go to the first/last option, Down/Up move without
// wrapping, a letter of OPCOES (the hot letters in option order) chooses its
// option at once, a click chooses the clicked option, Alt+A opens the
// calculator.  With `help` the bottom row shows MENSMENU[POSVER] centred.
// ULTPOS keeps the option highlighted at the end; the message slot 10 is
// closed, and the option window too with `close`.  Returns POSVER.
int esc_opcao(Session& s, int slot, int count, int col, int width, int row_offset, bool close = false,
              bool help = false);

// ESC_ITEM: the mark list.  The same keys without hot letters and help; the
// current item (starting at ULTESC) is marked "*" at `col` of its row and
// unmarked with a blank.  Returns the item or 0 on Esc; ULTESC keeps the last
// item.
int esc_item(Session& s, int slot, int count, int col, int row_offset, bool close = false);

}  // namespace kx

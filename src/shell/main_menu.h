// The main menu bar: its seven pull-downs, the captions that show settings
// (the print selection, automatic sending, the drive of the backups) and
// the pull-down each item belongs to.
#pragma once

#include <string>

#include "platform/ui_menu.h"

namespace kx {

class Session;

inline constexpr int kMainPulldowns = 7;
inline constexpr int kBackupPulldown = 6;

// CREATEMAINMENU: the bar in the colours of CORMENU, captions built from the
// session variables (MONTA_ITENS included).
MenuBar create_main_menu(Session& s);

// The pull-down (1-7) holding item `id`; 0 for an unknown identifier.
int pulldown_of(int id);

// MONTA_ITENS: clamps the print selection (QUEIMP 1-15, QUEMOD and QUEPAG to
// the lists the chosen report uses, QUECON 1-5, NRO_VIAS 1-9), stores the
// captions of items 41-47 in ITEM1..ITEM7 and puts them on the bar.
void monta_itens(Session& s, MenuBar& bar);

// Captions that show a setting.
std::string auto_send_caption(Session& s);    // item 61 (OPTTRAN)
std::string status_send_caption(Session& s);  // item 62 (SOESTE)
std::string compress_all_caption(Session& s);    // item 73 (XDRIVE)
std::string uncompress_all_caption(Session& s);  // item 74 (XDRIVE)

}  // namespace kx

// The on-line help viewer: TXT_HELP shows a help text of table 45 (HELPTXT,
// its memo field TEXTO) read-only in window slot 8, wrapped at 52 columns,
// at most 13 rows at a time, scrolled with the arrows and pages; Esc closes.
#pragma once

#include <string_view>

namespace kx {

class Session;

// TXT_HELP: the help called `name` (taken in capitals, sought padded to 10
// characters).  Nothing happens when HELPTXT.DBF or .DBT is missing, when
// the name is not there, or while a help window is already shown; an empty
// name shows " Help não encontrado...".
void txt_help(Session& s, std::string_view name);
// MOSTRA_HELP: 1 "GERAL", 2 "TELA" + TELA, 3 the field `field` (a leading
// "M->" dropped), 4 "FUNCOES"; 0 first offers the four in slot 6.
void mostra_help(Session& s, int choice, std::string_view field = {});
// MOS_HELP: the help of the input field `field`.
void mos_help(Session& s, std::string_view field);

}  // namespace kx

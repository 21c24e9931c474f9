// The start-up steps of the program, one function each, in the order the
// program runs them (see program.h).  Every step reads and sets session
// variables; the steps that touch tables go through the table procedures.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/date.h"

namespace kx {

class Session;

// "3" -> "03", "7" -> "07"; text that is not a number gives "00"; a number
// above 99 keeps its last two digits.
std::string two_digits(std::string_view number);

// QUAL_USUR: on a network drive asks for the terminal number (USUAR and
// EQUIP), else "00".
std::string qual_usur(Session& s);

// The terminal number: TERMINAL when set, else the argument, else the
// question on a network drive; always two digits.
std::string terminal_number(Session& s, std::string_view argument);

// The program folder (KVHOME when it names an existing folder, else the
// current folder with the "não encontrado" notice when KVHOME was set):
// sets ROTADEF, ARQDEF and DIRDEF.
void set_program_folder(Session& s);

// The calendar variables from today.
void set_calendar(Session& s);

// CONFIGURA: table 42 open and standing on this terminal's row (added with
// the defaults when missing); false when the table could not be opened.
bool configura(Session& s);
// The terminal's configuration row into the session variables.
void load_configuration(Session& s);
// Writes session variables of the same names into the terminal's
// configuration row (record lock of 5 seconds; nothing written without it).
bool store_configuration(Session& s, const std::vector<std::string_view>& names);
// The fields the exit step writes back.
const std::vector<std::string_view>& exit_configuration_fields();

// Days since the last backup as the reminder counts them (at most 999, so
// a blank or very old date still fits its three characters).
int days_without_backup(Date today, Date last_backup);
// Whether the reminder shows today: only in January-April 2013, and only
// after more than three days.
bool backup_reminder_due(Date today, Date last_backup);
// The backup reminder; true when the user accepted it (the menu then opens
// on "&Backup").  "Não" postpones it: ULTBACK becomes today + 4, stored.
bool backup_reminder(Session& s);

// The office settings of table 43 into the session variables.
bool load_office_settings(Session& s);

// The current folder must exist: else asks whether to take the program
// folder instead; false when the user chose to leave.
bool check_current_folder(Session& s);
// The work folder (the current folder when it does not exist) and the
// LOCARQ, LOCTRAB, DIRORIG prefixes.
void set_folder_prefixes(Session& s);

// The printer set-up's variables from this terminal's row of table 57.
bool load_printer_setup(Session& s);

// The current folder in the open folder list, selected.
bool list_current_folder(Session& s);

// ENCHEAG: today's pending alerts of this user (AAGEN, NTEMAGEN).
int collect_alerts(Session& s);

}  // namespace kx

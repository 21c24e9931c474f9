// The folder list of the terminal and the folder in hand: the
// open-everything step (ABERTURA 0), the selection of a listed folder
// (TROCASIM), opening a folder's contributor master (MUDADIR) and making
// sure a folder exists (CRI_NDIR).
//
// Paths keep the case they were typed in and are compared without regard
// to case (the list's key is UPPER(DIRETOR)); a path longer than the 80
// characters of its field is refused, never cut.  A listed folder leaves the
// list only when it definitely does not exist: its parent folder is there
// and it is not.  An unreachable share (an I/O error, the parent missing as
// with an absent mount) keeps its row.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kx {

class Session;

inline constexpr int kPathWidth = 80;

// Whether a path fits a folder field (at most 80 characters).
bool path_fits(std::string_view path);
// Two folder paths name the same folder (case and a trailing '/' ignored).
bool same_folder(std::string_view a, std::string_view b);

enum class FolderState { Present, Gone, Unreachable };
FolderState folder_state(Session& s, std::string_view path);

// ABERTURA 0: the folder list exclusively (false when another copy of the
// program runs with this terminal number), rows of folders that are gone
// removed, the structure upgrade on every listed folder, the program
// folder's tables opened (created and indexed where needed), and the folder
// list left open and current.
bool open_everything(Session& s);

// Adds a folder row to the open folder list (refused when longer than 80).
bool add_folder(Session& s, std::string_view path);

// TROCASIM: makes the folder-list row under the cursor the folder in hand
// (mode 1); other modes only clear the other rows' selection.
bool trocasim(Session& s, int mode = 1);
// MUDADIR: opens the contributor master of `folder` (table 9 with its three
// indexes), positioned on the contributor in hand (CPF) when there, else on
// the first row, with the name order active.
bool mudadir(Session& s, std::string_view folder);
// CRI_NDIR: true when the folder exists or was created after asking
// "Diretório novo para" + label + "? Cria-o ?".
bool cri_ndir(Session& s, std::string_view folder, std::string_view label);

// Terminal numbers (NUSU) whose folder list is held open by a running copy
// of the program, this terminal excluded.
std::vector<std::string> running_terminals(Session& s);

}  // namespace kx

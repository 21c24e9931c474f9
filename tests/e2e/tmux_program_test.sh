#!/bin/sh
# End-to-end test of the program as a user starts it: `korvex` on an empty
# program folder in a detached tmux pane of 80x25.  It shows the background
# screen and the main menu bar; Alt+R asks before leaving and "Sim" ends it
# with the terminal restored; a second copy with the same terminal number on
# the same folder is refused while the first goes on.
# Usage: tmux_program_test.sh /path/to/korvex
set -u
KORVEX=$1
SOCK_NAME=korvex-prog
. "$(dirname "$0")/tmux_lib.sh"
mkdir -p "$WORK/prog"

# start NAME [VAR=VALUE]: korvex on the program folder, in its own pane.
start() {
  PANE=$1
  $T new-session -d -s "$1" -x 80 -y 25 \
    "cd '$WORK'; env TERM=xterm-256color LANG=C.UTF-8 KVHOME='$WORK/prog' ${2:-} \"$KORVEX\"; echo EXIT=\$?; stty -a; sleep 600"
}

# to_menu: closes the boxes naming the reference tables (delivered with the
# program, so missing in an empty folder) until the menu bar shows.
to_menu() {
  n=0
  while [ $n -lt 40 ]; do
    if row 0 | grep -q "Declaração"; then break; fi
    if $T capture-pane -p -t "$PANE" | grep -q "não localizado"; then keys Enter; else sleep 0.2; fi
    n=$((n + 1))
  done
}

# ---- The first start on an empty folder ---------------------------------------
start first
to_menu
wait_for "Declaração" || fail "first: the menu bar did not appear"
row 0 | grep -q "^  Declaração    Opções  Selecão  Impressão  Env Receita  Backup  Sair" ||
  fail "first: the seven captions"
row 24 | grep -q "Inicia ou modifica uma declaração" || fail "first: help line on row 24"
wait_for "Terminal 00 IR Versão Lib" || fail "first: background screen"
wait_for "USUARIO DO TERMINAL 00" || fail "first: user name on the background"
$T capture-pane -p -t "$PANE" | grep -q "█" || fail "first: logo"
[ -f "$WORK/prog/CONFIG.DBF" ] || fail "first: configuration table not created"

# ---- A second copy on the same terminal number is refused ----------------------
start second
wait_for "O programa KORVEX no terminal 00 está em uso" || fail "second: no refusal notice"
keys Enter
sane
$T capture-pane -p -t second | grep -q "EXIT=1" || fail "second: a refused start must end with a failure status"

# ---- The first goes on unaffected ------------------------------------------------
PANE=first
keys Right
wait_for "Seleciona drive e a pasta para guardar dados temporários" || fail "first: not answering after the refusal"
# Another terminal number on the same folder starts.
start third TERMINAL=5
to_menu
wait_for "Terminal 05" || fail "third: terminal 05 did not start beside terminal 00"
keys M-r
wait_for "Confirma saída do programa?" || fail "third: no exit question"
keys s
sane

# ---- Alt+R asks; "Não" stays, "Sim" ends ---------------------------------------------
PANE=first
keys M-r
wait_for "Confirma saída do programa?" || fail "first: Alt+R did not ask"
keys n
sleep 0.3
$T capture-pane -p -t first | grep -q "EXIT=" && fail "first: Não ended the program"
keys M-r
wait_for "Confirma saída do programa?" || fail "first: Alt+R did not ask again"
keys s
sane
$T capture-pane -p -t first | grep -q "EXIT=0" || fail "first: Sim did not end cleanly"

[ $FAILED -eq 0 ] && echo "tmux program test: all checks passed"
exit $FAILED

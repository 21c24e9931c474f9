#!/bin/sh
# End-to-end test of the console in a real terminal: runs `korvex
# demo-windows` in a detached tmux pane of 80x25, sends keys, reads the pane
# back and checks what a person would see, and that the terminal is sane
# (canonical mode and echo back on) after the program ends, is killed, or
# crashes.  Usage: tmux_demo_test.sh /path/to/korvex
set -u
KORVEX=$1
SOCK_NAME=korvex-e2e
. "$(dirname "$0")/tmux_lib.sh"

# start NAME TERM [WIDTH HEIGHT [VAR=VALUE]]: a new pane running the demo; its
# pid goes to $WORK/NAME.pid
start() {
  PANE=$1
  $T new-session -d -s "$1" -x "${3:-80}" -y "${4:-25}" \
    "sh -c 'echo \$\$ > $WORK/$1.pid; exec env TERM=$2 LANG=C.UTF-8 ${5:-} \"$KORVEX\" demo-windows'; echo EXIT=\$?; stty -a; sleep 600"
}

# ---- A session a person would have -----------------------------------------
start use xterm-256color
wait_for "Janelas" || fail "use: the menu bar did not appear"
row 0 | grep -q "^  Janelas    Ferramentas" || fail "use: menu bar captions"
row 1 | grep -q "┌" || fail "use: pull-down frame drawn with box characters"
row 24 | grep -q "^Mostra uma mensagem e espera uma tecla" || fail "use: help line on row 24"
row 10 | grep -q "░░░░" || fail "use: background fill"
$T capture-pane -e -p -t "$PANE" | sed -n 1p | grep -qE "\[(44|48;5;4)m|;44m" || fail "use: the bar is drawn on blue"

keys Enter
wait_for "Olá! Esta é uma janela de mensagem." || fail "use: message window"
keys x
wait_gone "Olá!" || fail "use: message window not closed by a key"

keys Down Down Enter
wait_for "Informe o seu nome" || fail "use: prompt"
keys M a r i a Enter
wait_for "Nome: Maria" || fail "use: prompt answer"

keys Up Enter
wait_for "Gostou da demonstração?" || fail "use: confirmation box"
$T capture-pane -p -t "$PANE" | grep -q " Sim    Não " || fail "use: confirmation buttons"
keys s
wait_for "Resposta: S" || fail "use: confirmation answer"

keys Right Enter
wait_for "Mr  Mc" || fail "use: calculator"
keys 7 '*' 6 C-j
wait_for "Resultado: 42" || fail "use: calculator result with Ctrl+Enter"

keys C-c   # the interrupt key is a key (PgDn here), not the end of the program
sleep 0.3
$T capture-pane -p -t "$PANE" | grep -q "EXIT=" && fail "use: Ctrl+C ended the program"

keys Escape
sleep 0.3
keys M-r
sane
$T capture-pane -p -t "$PANE" | grep -q "EXIT=0" || fail "use: Alt+R did not end the demo cleanly"

# ---- tmux's own terminal type, 8 colours -------------------------------------
start screen8 screen
wait_for "Janelas" || fail "screen8: the menu bar did not appear"
row 1 | grep -q "┌" || fail "screen8: box characters"
keys M-r
sane

# ---- The Linux console's terminal type ------------------------------------------
start linux linux
wait_for "Janelas" || fail "linux: the menu bar did not appear"
row 1 | grep -q "┌" || fail "linux: box characters"
keys M-r
sane

# ---- NO_COLOR: no colours at all ----------------------------------------------------
start mono xterm-256color 80 25 NO_COLOR=1
wait_for "Janelas" || fail "mono: the menu bar did not appear"
$T capture-pane -e -p -t "$PANE" | grep -qE "\[(3|4)[0-7]m|[34]8;5;" && fail "mono: colours drawn under NO_COLOR"
keys M-r
sane

# ---- Killed: SIGTERM and SIGHUP end it cleanly ---------------------------------
for sig in TERM HUP; do
  start "kill$sig" xterm-256color
  wait_for "Janelas" || fail "kill$sig: did not start"
  kill -"$sig" "$(cat "$WORK/kill$sig.pid")"
  sane
  $T capture-pane -p -t "$PANE" | grep -q "asked to end" || fail "kill$sig: no closing message"
done

# ---- The terminal window closed: the program ends (no spinning on a dead terminal)
start closed xterm-256color
wait_for "Janelas" || fail "closed: did not start"
pid=$(cat "$WORK/closed.pid")
$T kill-pane -t closed
i=0
while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
kill -0 "$pid" 2>/dev/null && { echo "FAIL: closed: the program still runs after its terminal closed"; FAILED=1; kill -KILL "$pid"; }

# ---- A crash: the terminal is restored before the signal takes its course -------
start crash xterm-256color
wait_for "Janelas" || fail "crash: did not start"
kill -SEGV "$(cat "$WORK/crash.pid")"
sane
$T capture-pane -p -t "$PANE" | grep -q "EXIT=139" || fail "crash: not ended by the signal"

# ---- A terminal smaller than 80x25 ------------------------------------------------
start small xterm-256color 60 20
wait_for "80x25" || fail "small: no notice about the size"
$T resize-window -t small -x 80 -y 25
wait_for "Janelas" || fail "small: not redrawn after the resize"
keys M-r
sane

[ $FAILED -eq 0 ] && echo "tmux end-to-end: all checks passed"
exit $FAILED

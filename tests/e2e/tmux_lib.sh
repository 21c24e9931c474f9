# Shared helpers of the tmux end-to-end tests (sourced).  The test sets
# SOCK_NAME before sourcing; each pane it starts sets PANE.
command -v tmux >/dev/null 2>&1 || { echo "tmux is not installed"; exit 1; }

SOCK="$SOCK_NAME-$$"
WORK=$(mktemp -d)
T="tmux -L $SOCK -f /dev/null"
cleanup() { $T kill-server >/dev/null 2>&1; rm -rf "$WORK"; }
trap cleanup EXIT INT TERM
FAILED=0

fail() {
  echo "FAIL: $*"
  echo "---- pane ----"
  $T capture-pane -p -t "$PANE" 2>/dev/null
  echo "--------------"
  FAILED=1
}

# wait_for TEXT: waits up to 5 seconds for TEXT to appear in the pane.
wait_for() {
  i=0
  while [ $i -lt 50 ]; do
    if $T capture-pane -p -t "$PANE" 2>/dev/null | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

# wait_gone TEXT: waits up to 5 seconds for TEXT to leave the pane.
wait_gone() {
  i=0
  while [ $i -lt 50 ]; do
    if ! $T capture-pane -p -t "$PANE" 2>/dev/null | grep -qF -- "$1"; then return 0; fi
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

row() { $T capture-pane -p -t "$PANE" | sed -n "$(($1 + 1))p"; }
keys() { $T send-keys -t "$PANE" "$@"; sleep 0.2; }

# The terminal after the program: canonical mode and echo are on again.
sane() {
  wait_for "EXIT=" || { fail "$PANE: the program did not end"; return; }
  out=$($T capture-pane -p -t "$PANE" -S -50)
  echo "$out" | grep -q -- "-icanon" && fail "$PANE: terminal left without canonical mode"
  echo "$out" | grep -qE -- "(^| )-echo( |$)" && fail "$PANE: terminal left without echo"
  echo "$out" | grep -q "icanon" || fail "$PANE: no stty output"
}

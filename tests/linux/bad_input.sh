#!/bin/bash
# Bad input: flags the program does not know, flags without their value and
# numbers out of range end it with the usage and status 1 before it opens
# anything. A missing folder and one of 50,000 other files are not fatal: the
# built-in picture shows and a note says why. A folder with a link loop,
# a FIFO, a broken link, an empty and a cut picture still reaches its good
# picture, and the program stays up.
. "$(dirname "$0")/lib.sh"

refused() {
    local expected=$1 out err status
    shift
    out=$("$PROGRAM" "$@" 2>"$TEST_HOME/err")
    status=$?
    err=$(cat "$TEST_HOME/err")
    [ $status -eq 1 ] || fail "'$*' gave status $status, not 1"
    [ -z "$out" ] || fail "'$*' wrote to stdout: $out"
    grep -qF -- "$expected" <<<"$err" || fail "'$*': no '$expected' in: $err"
    grep -q "^usage: cubesaver" <<<"$err" || fail "'$*': no usage after the message"
}
refused "unknown option '-bogus'" -window -bogus
refused "unknown option '--spin'" --spin
refused "'-pictures' needs a value" -window -pictures
refused "'-show 0'" -show 0
refused "'-turn 601'" -turn 601
refused "'-show 2.5'" -show 2.5
refused "'-color 12345g'" -color 12345g
refused "'-style cubic'" -style cubic
refused "'-window-id nothing'" -window-id nothing
refused "unexpected argument 'extra'" -window extra
"$PROGRAM" --help | grep -q -- "-pictures DIR" || fail "--help does not show the usage on stdout"

# Ends the running program with SIGTERM; it must still be running.
still_up_then_end() {
    kill -0 "$HACK_PID" 2>/dev/null || fail "$1: the program ended by itself"
    kill -TERM "$HACK_PID"
    wait_exit "$HACK_PID" 5
    local status=$?
    [ $status -eq 0 ] || fail "$1: SIGTERM gave status $status"
}

# The built-in picture in a window of its own, with a note on stderr.
builtin_picture() {
    local label=$1 note=$2
    shift 2
    : >"$HACK_LOG"
    hack_start -window "$@" "${PLAIN[@]}"
    window=$(wait_window "Cube Saver") || fail "$label: no window"
    wait_drawn "$window" 2 20 || fail "$label: the built-in picture was not drawn"
    grep -qF "$note" "$HACK_LOG" || fail "$label: no note '$note'"
    still_up_then_end "$label"
}
builtin_picture "missing folder" "no pictures folder '$TEST_HOME/nowhere'" -pictures "$TEST_HOME/nowhere"

many="$TEST_HOME/many"
mkdir -p "$many"
(cd "$many" && seq -f "note%05g.txt" 1 50000 | xargs touch)
builtin_picture "50,000 other files" "no pictures in '$many'" -pictures "$many"

odd="$TEST_HOME/odd"
mkdir -p "$odd/sub" "$odd/locked"
ln -s .. "$odd/sub/loop"
ln -s "$odd" "$odd/sub/again"
mkfifo "$odd/0-fifo.png"
ln -s "$odd/none.png" "$odd/0-gone.png"
: >"$odd/0-empty.jpg"
convert -size 64x48 xc:'#ff0000' "$TEST_HOME/red.png"
head -c 100 "$TEST_HOME/red.png" >"$odd/0-cut.png"
cp "$TEST_HOME/red.png" "$odd/locked/0-secret.png"
chmod 000 "$odd/locked/0-secret.png" "$odd/locked"
cp "$TEST_HOME/red.png" "$odd/9-red.png"
: >"$HACK_LOG"
hack_start -window -pictures "$odd" -no-shuffle "${PLAIN[@]}" -show 1 -turn 1
window=$(wait_window "Cube Saver") || fail "odd folder: no window"
wait_colour "$window" red 30 || fail "odd folder: the good picture never showed"
still_up_then_end "odd folder"
echo "PASS"

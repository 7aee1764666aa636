#!/bin/bash
# The real XScreenSaver daemon runs the installed program: cubesaver,
# installed into a folder of the test's, is the one hack in a private
# ~/.xscreensaver with the installed settings file's command; activating
# the daemon brings the cube with the test's first picture, deactivating it
# ends the hack. The daemon runs no hacks as root, so under root it runs as
# nobody.
. "$(dirname "$0")/lib.sh"
PICTURES="$TEST_HOME/pictures"
make_pictures "$PICTURES"

installed="$TEST_HOME/installed"
"$ROOT/scripts/install-linux.sh" "$PROGRAM" /usr "$installed" >/dev/null || fail "the install failed"
hack_program="$installed/usr/libexec/xscreensaver/cubesaver"
config="$installed/usr/share/xscreensaver/config/cubesaver.xml"
[ -x "$hack_program" ] || fail "no program at $hack_program"
command_flag=$(sed -n 's/.*<command arg="\([^"]*\)".*/\1/p' "$config")
[ "$command_flag" = -root ] || fail "the settings file's command is '$command_flag', not -root"
grep -q '<screensaver name="cubesaver"' "$config" || fail "the settings file does not name cubesaver"

daemon_home="$TEST_HOME/daemon"
mkdir -p "$daemon_home"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$TEST_HOME"
    chmod -R a+rX "$PICTURES" "$installed"
    chown nobody:nogroup "$daemon_home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
# The hack's own pid and output, for the test to follow.
cat >"$daemon_home/hack.sh" <<HACK
#!/bin/sh
echo \$\$ >"$daemon_home/hack.pid"
exec "$hack_program" "\$@" 2>>"$daemon_home/hack.err"
HACK
chmod 755 "$daemon_home/hack.sh"
cat >"$daemon_home/.xscreensaver" <<SETTINGS
timeout: 0:30:00
lock: False
splash: False
fade: False
unfade: False
dpmsEnabled: False
mode: one
selected: 0
programs: \\
  "Cube Saver" $daemon_home/hack.sh $command_flag -pictures $PICTURES -no-shuffle -style huge -glass none -background solid -show 60 \\n\\

SETTINGS
chmod 644 "$daemon_home/.xscreensaver"

# The daemon and its hack live as a user of their own: the caller's cache
# and state folders (Mesa's shader cache, the shuffle) may not be theirs.
daemon() {
    HOME="$daemon_home" XDG_CACHE_HOME="$daemon_home/.cache" XDG_STATE_HOME="$daemon_home/.local/state" \
        XDG_CONFIG_HOME="$daemon_home/.config" XDG_DATA_HOME="$daemon_home/.local/share" "${as_user[@]}" "$@"
}
daemon xscreensaver -no-splash >>"$HACK_LOG" 2>&1 &
TEST_PIDS+=("$!")
deadline=$((SECONDS + 20))
until daemon xscreensaver-command -version >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not answer"
    sleep 0.2
done

daemon xscreensaver-command -activate >/dev/null 2>&1 || fail "the daemon refused to activate"
deadline=$((SECONDS + 20))
until [ -s "$daemon_home/hack.pid" ]; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start the hack"
    sleep 0.2
done
hack=$(cat "$daemon_home/hack.pid")
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
wait_colour "$root" red 20 || fail "the screen does not show the cube's first picture $(cat "$daemon_home/hack.err")"

daemon xscreensaver-command -deactivate >/dev/null 2>&1 || fail "the daemon refused to deactivate"
deadline=$((SECONDS + 10))
while kill -0 "$hack" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the hack still runs after the daemon deactivated"
    sleep 0.1
done
[ ! -s "$daemon_home/hack.err" ] || fail "the hack complained: $(cat "$daemon_home/hack.err")"
echo "PASS"

#!/bin/bash
# with_silent_sound.sh PROGRAM [ARGS...]: runs a test program under Wine with
# a HOME of its own whose sound configuration plays to a device that
# discards everything, so real playback runs and ends on a machine without
# sound hardware.
set -u
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'pcm.!default { type null }\n' >"$home/.asoundrc"
HOME=$home "$@"

#!/bin/bash
# Twelve pictures, shuffled, 1 s showing and 1 s turning, shown by three
# short runs of the saver one after the other: the first twelve pictures that
# reach the screen are twelve different ones, because each run goes on with
# the cycle the run before it left.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES="$BUILD_DIR/e2e-shuffle"
mkdir -p "$PICTURES"
paths=()
for i in $(seq -w 1 12); do
    [ -f "$PICTURES/p$i.bmp" ] || convert -size 16x16 xc:"rgb($((10#$i * 20)),0,128)" BMP3:"$PICTURES/p$i.bmp"
    paths+=("$(win_path "$PICTURES/p$i.bmp")") || fail "no Windows path for p$i.bmp"
done

forget_settings_on_exit
saver_forget_settings || fail "the settings left by an earlier run could not be removed"
saver_prefix_init "$WINEPREFIX"
saver_reg_list Pictures "${paths[@]}"
saver_reg_dwords 000_100 1 000_103 1 000_107 1

# Each run ends once it has shown four more pictures.
for run in 1 2 3; do
    before=$(grep -c 'Shuffle cycle' "$E2E_LOG")
    e2e_start /w 320x240
    window=$(wait_window "Cube Saver") || fail "no saver window appeared in run $run"
    deadline=$((SECONDS + 60))
    while [ "$(grep -c 'Shuffle cycle' "$E2E_LOG")" -lt $((before + 4)) ]; do
        [ $SECONDS -lt $deadline ] || fail "run $run showed fewer than four pictures in a minute"
        sleep 0.2
    done
    press_key "$window" Escape
    wait_exit "$SAVER_PID" 15 || fail "run $run did not end on Escape"
    echo "run $run: $(grep -c 'Shuffle cycle' "$E2E_LOG") pictures shown so far"
done

mapfile -t shown < <(sed -n 's/.*Shuffle cycle [0-9]* of 12: \(.*\.bmp\).*/\1/p' "$E2E_LOG")
echo "shown: ${#shown[@]} pictures"
[ "${#shown[@]}" -ge 12 ] || fail "only ${#shown[@]} pictures were shown in three runs"
distinct=$(printf '%s\n' "${shown[@]:0:12}" | sort -u | wc -l)
[ "$distinct" -eq 12 ] || fail "a picture came twice among the first twelve: ${shown[*]:0:12}"
echo "PASS"

# Sourced by the benchmarks that show large photos.
#   bench_photos DIR   six different 24-megapixel JPEGs in DIR, made once from
#                      Debian's mate-backgrounds, so that no decode is a repeat
bench_photos() {
    local dir=$1 source_photo=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg i=0 op
    mkdir -p "$dir"
    [ -f "$dir/.complete" ] && return 0
    for op in "" "-flop" "-flip" "-rotate 180" "-negate" "-modulate 100,40"; do
        # shellcheck disable=SC2086  # op is a list of options
        convert "$source_photo" $op -resize 6000x4000! -quality 90 "$dir/photo$i.jpg" || return 1
        i=$((i + 1))
    done
    touch "$dir/.complete"
}

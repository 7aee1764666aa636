# Sourced by the benchmarks: photos made from Debian's mate-backgrounds.
#   bench_photos DIR SIZE   six different photos of SIZE (e.g. 6000x4000) in DIR, made once
bench_photos() {
    local folder=$1 size=$2 source_photo=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg i=0 op
    [ -f "$folder/.complete" ] && return 0
    mkdir -p "$folder"
    # Different pictures, so that no decode is a repeat.
    for op in "" "-flop" "-flip" "-rotate 180" "-negate" "-modulate 100,40"; do
        convert "$source_photo" $op -resize "$size!" -quality 90 "$folder/photo$i.jpg" || return 1
        i=$((i + 1))
    done
    touch "$folder/.complete"
}

#!/bin/bash
# Picture decoding and resampling, from the bench tree (build/bench, built by
# `make bench`; nothing is built here):
#   1. BilinearResize, vector path against the plain one, on a 6000x4000 to
#      512x341 reduction and a 256x256 to 1024x1024 enlargement (megapixels
#      per second of the larger side: source of a reduction, result of an
#      enlargement).
#   2. A 24-megapixel JPEG (baseline, quality 92, and the same progressive)
#      and a 12-megapixel PNG (a real photograph, scaled with ImageMagick into
#      build/bench-data/imaging) decoded through AutoDecoder and fitted into
#      512x512: as the texture loader does it (a JPEG decoded at a fraction
#      of its size first; where 1/8 would do, at 1/4 from the blocks' lowest
#      coefficients, the other codes passed over), with the rows resampled
#      at the whole size, and
#      the whole picture decoded first; side by side with djpeg's decode
#      alone (float DCT, no fancy upsampling: the decoder's own settings) and
#      ImageMagick's convert -resize 512x512 on the same files. The goal's
#      ratio, the texture path over djpeg's decode, comes from the two timed
#      turn about, so that a change in the machine's load falls on both.
#   3. How faithful the two fitted JPEGs are to careful reductions of the
#      whole decode (PSNR, dB): an exact area average, and a Lanczos
#      reduction; and the peak memory of fitting the PNG with its rows
#      streamed against decoding it whole first.
# Every figure is the median of REPEATS runs (5 unless set), the side-by-side
# one of TURNS (11).
set -euo pipefail
export LC_ALL=C
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BENCH=${CUBESAVER_BENCH_BUILD:-$ROOT/build/bench}/bench/imaging/imaging_bench
DATA=$ROOT/build/bench-data/imaging
REPEATS=${REPEATS:-5}
# Turns of the side-by-side timing (each well under a second).
TURNS=${TURNS:-11}
PHOTO=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg

if [ ! -x "$BENCH" ]; then
    echo "imaging: $BENCH not built (run make bench)" >&2
    exit 1
fi
for tool in convert djpeg; do
    command -v "$tool" >/dev/null || { echo "imaging: $tool missing (make bench installs it)" >&2; exit 1; }
done
[ -f "$PHOTO" ] || { echo "imaging: $PHOTO missing (package mate-backgrounds)" >&2; exit 1; }

mkdir -p "$DATA"
JPEG=$DATA/photo-6000x4000.jpg
PROGRESSIVE=$DATA/photo-6000x4000-progressive.jpg
PNG=$DATA/photo-4240x2830.png
# Made once; a half-written file never takes a finished one's name.
if [ ! -f "$JPEG" ]; then
    convert "$PHOTO" -resize '6000x4000!' -quality 92 "$DATA/tmp-photo.jpg"
    mv -f "$DATA/tmp-photo.jpg" "$JPEG"
fi
if [ ! -f "$PROGRESSIVE" ]; then
    convert "$PHOTO" -resize '6000x4000!' -quality 92 -interlace JPEG "$DATA/tmp-photo.jpg"
    mv -f "$DATA/tmp-photo.jpg" "$PROGRESSIVE"
fi
if [ ! -f "$PNG" ]; then
    convert "$PHOTO" -resize '4240x2830!' "$DATA/tmp-photo.png"
    mv -f "$DATA/tmp-photo.png" "$PNG"
fi

# One run of a command: "wall cpu" in milliseconds, the processor time being
# user + system (the steadier figure on a shared machine).
timed_ms() {
    local TIMEFORMAT='%R %U %S' line
    line=$({ time "$@" >/dev/null 2>&1; } 2>&1 | tail -1)
    awk '{ printf "%.1f %.1f\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$line"
}

# The middle of some numbers.
median_of() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# Median wall time and median processor time of REPEATS runs: "wall cpu".
median_ms() {
    local walls=() cpus=() wall cpu
    for _ in $(seq "$REPEATS"); do
        read -r wall cpu < <(timed_ms "$@")
        walls+=("$wall")
        cpus+=("$cpu")
    done
    echo "$(median_of "${walls[@]}") $(median_of "${cpus[@]}")"
}

# Medians of the benchmark program's own repetitions: "name wall_ms cpu_ms MPix/s".
results=$("$BENCH" --jpeg="$JPEG" --progressive="$PROGRESSIVE" --png="$PNG" --benchmark_repetitions="$REPEATS" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median"?,/ {
        name = $1; gsub(/"/, "", name); sub(/\/real_time_median$/, "", name)
        rate = ""
        for (i = 11; i <= NF; ++i) if ($i != "") rate = $i
        printf "%s %s %s %s\n", name, $3, $4, rate
    }')
ms() { awk -v n="$1" '$1 == n { print $2 }' <<<"$results"; }
cpu() { awk -v n="$1" '$1 == n { print $3 }' <<<"$results"; }
mpix() { awk -v n="$1" '$1 == n { printf "%.1f", $4 }' <<<"$results"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
first() { echo "${1%% *}"; }
second() { echo "${1##* }"; }

# The texture path and djpeg's decode turn about, so that a change in the
# machine's load falls on both alike: "ours_wall ours_cpu djpeg_wall
# djpeg_cpu", medians of TURNS. Ours is a fit timed inside a process that
# has already fitted the picture once, as a running loader has.
turn_about_ms() {
    local file=$1
    local ours_w=() ours_c=() theirs_w=() theirs_c=() wall cpu
    for _ in $(seq "$TURNS"); do
        read -r wall cpu < <("$BENCH" --fit=reduced --jpeg="$file")
        ours_w+=("$wall")
        ours_c+=("$cpu")
        read -r wall cpu < <(timed_ms djpeg -dct float -nosmooth -outfile /dev/null "$file")
        theirs_w+=("$wall")
        theirs_c+=("$cpu")
    done
    echo "$(median_of "${ours_w[@]}") $(median_of "${ours_c[@]}") $(median_of "${theirs_w[@]}") $(median_of "${theirs_c[@]}")"
}

djpeg_t=$(median_ms djpeg -dct float -nosmooth -outfile /dev/null "$JPEG")
djpeg_p=$(median_ms djpeg -dct float -nosmooth -outfile /dev/null "$PROGRESSIVE")
# The goal's ratio: the texture path and djpeg turn about.
read -r side_ours_w side_ours_c side_djpeg_w side_djpeg_c < <(turn_about_ms "$JPEG")
read -r side_pours_w side_pours_c side_pdjpeg_w side_pdjpeg_c < <(turn_about_ms "$PROGRESSIVE")
read -r psnr_full psnr_reduced lanczos_full lanczos_reduced < <("$BENCH" --faithfulness --jpeg="$JPEG")
peak_none=$("$BENCH" --peak=none --png="$PNG")
peak_streamed=$("$BENCH" --peak=streamed --png="$PNG")
peak_whole=$("$BENCH" --peak=whole --png="$PNG")
im_jpeg_t=$(median_ms convert "$JPEG" -resize 512x512 ppm:/dev/null)
im_png_t=$(median_ms convert "$PNG" -resize 512x512 ppm:/dev/null)

echo "Resampling (BilinearResize; wall ms, and megapixels per second of the larger side)"
printf '  %-24s %10s %10s %12s %12s %8s\n' case "ref ms" "fast ms" "ref MPix/s" "fast MPix/s" speedup
for c in 6000x4000_to_512x341 256x256_to_1024x1024; do
    r=$(ms "Resize/$c/reference"); f=$(ms "Resize/$c/fast")
    printf '  %-24s %10.2f %10.2f %12s %12s %7sx\n' "$c" "$r" "$f" "$(mpix "Resize/$c/reference")" \
        "$(mpix "Resize/$c/fast")" "$(ratio "$r" "$f")"
done
echo
echo "File to bitmap fitted into 512x512 (median of $REPEATS; wall ms / processor ms)"
printf '  %-30s %18s %18s %18s\n' "" "JPEG 6000x4000" "progressive" "PNG 4240x2830"
row() {
    local cells=()
    for v in "${@:2}"; do cells+=("$(awk -v v="$v" 'BEGIN { if (v == "-") print v; else printf "%.1f", v }')"); done
    printf '  %-30s %8s / %-7s %8s / %-7s %8s / %-7s\n' "$1" "${cells[@]}"
}
each() { for k in jpeg progressive png; do echo "$(ms "$1/$k") $(cpu "$1/$k")"; done; }
row "texture path (reduced decode)" $(each DecodeFitReduced)
row "rows resampled at whole size" $(each DecodeFit)
row "decode whole, then fit" $(each DecodeThenFit)
row "decode only (AutoDecoder)" $(each DecodeOnly)
row "djpeg -dct float -nosmooth" "$(first "$djpeg_t")" "$(second "$djpeg_t")" "$(first "$djpeg_p")" "$(second "$djpeg_p")" "-" "-"
row "convert -resize 512x512" "$(first "$im_jpeg_t")" "$(second "$im_jpeg_t")" "-" "-" "$(first "$im_png_t")" "$(second "$im_png_t")"
echo
echo "Side by side, turn about (median of $TURNS; wall ms / processor ms)"
printf '  %-30s %8s / %-7s %8s / %-7s\n' "texture path (a loader's fit)" "$side_ours_w" "$side_ours_c" "$side_pours_w" "$side_pours_c"
printf '  %-30s %8s / %-7s %8s / %-7s\n' "djpeg -dct float -nosmooth" "$side_djpeg_w" "$side_djpeg_c" "$side_pdjpeg_w" "$side_pdjpeg_c"
echo
echo "Ratios (wall / processor)"
echo "  JPEG texture path over djpeg decode alone:         $(ratio "$side_ours_w" "$side_djpeg_w") / $(ratio "$side_ours_c" "$side_djpeg_c")  (goal <= 0.55)"
echo "  progressive texture path over djpeg decode alone:  $(ratio "$side_pours_w" "$side_pdjpeg_w") / $(ratio "$side_pours_c" "$side_pdjpeg_c")"
echo "  JPEG rows resampled at whole size over djpeg:      $(ratio "$(ms DecodeFit/jpeg)" "$(first "$djpeg_t")") / $(ratio "$(cpu DecodeFit/jpeg)" "$(second "$djpeg_t")")"
echo "  ImageMagick over the texture path, JPEG:           $(ratio "$(first "$im_jpeg_t")" "$(ms DecodeFitReduced/jpeg)") / $(ratio "$(second "$im_jpeg_t")" "$(cpu DecodeFitReduced/jpeg)")  (goal > 1)"
echo "  ImageMagick over the texture path, PNG:            $(ratio "$(first "$im_png_t")" "$(ms DecodeFitReduced/png)") / $(ratio "$(second "$im_png_t")" "$(cpu DecodeFitReduced/png)")  (goal > 1)"
echo
echo "Faithfulness to careful reductions of the whole JPEG decode (PSNR, dB; higher is closer)"
printf '  %-32s %14s %10s\n' "" "area average" "Lanczos"
printf '  %-32s %14s %10s\n' "rows resampled at whole size" "$psnr_full" "$lanczos_full"
printf '  %-32s %14s %10s\n' "texture path (reduced decode)" "$psnr_reduced" "$lanczos_reduced"
echo
echo "Peak resident memory fitting the PNG into 512x512 (kB; the program alone: $peak_none)"
echo "  rows streamed into the resampler: $peak_streamed (+$((peak_streamed - peak_none)))"
echo "  decoded whole, then resized:      $peak_whole (+$((peak_whole - peak_none)))"

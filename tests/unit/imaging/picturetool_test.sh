#!/bin/bash
# picturetool_test.sh PICTURETOOL: the decode command's output, errors and
# exit codes as scripts rely on them.
set -u
tool=${1:?usage: picturetool_test.sh PICTURETOOL}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        echo "FAIL $1: expected [$2], got [$3]"
        failures=$((failures + 1))
    fi
}

# 2 x 2 at 24 bits, bottom row first: blue, white / red, green. 3780 ppm.
{
    printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
    printf '\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00'
    printf '\x00\x00\x00\x00\x10\x00\x00\x00\xc4\x0e\x00\x00\xc4\x0e\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '\xff\x00\x00\xff\xff\xff\x00\x00\x00\x00\xff\x00\xff\x00\x00\x00'
} > "$dir/quad.jpg"

out=$("$tool" decode "$dir/quad.jpg" "$dir/quad.pam")
check "decode status" 0 $?
check "decode line" "w=2 h=2 alpha=0 dpi=96,96" "$out"
expected_header=$'P7\nWIDTH 2\nHEIGHT 2\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR'
check "pam header" "$expected_header" "$(head -n 7 "$dir/quad.pam")"
# Top row first: red, green, then blue, white; A = 255.
check "pam pixels" "ff0000ff00ff00ff0000ffffffffffff" "$(tail -c 16 "$dir/quad.pam" | od -An -tx1 | tr -d ' \n')"

printf 'no picture here\n' > "$dir/text.png"
err=$("$tool" decode "$dir/text.png" "$dir/text.pam" 2>&1 >/dev/null)
check "unknown status" 1 $?
check "unknown message" "error 8: Decoder error: Unknown file type." "$err"
check "nothing written" "no" "$([ -e "$dir/text.pam" ] && echo yes || echo no)"

err=$("$tool" decode "$dir/missing.bmp" "$dir/m.pam" 2>&1 >/dev/null)
check "missing status" 1 $?
check "missing message" "error 4: Decoder error: Opening $dir/missing.bmp failed" "$err"

"$tool" decode "$dir/quad.jpg" >/dev/null 2>"$dir/usage.txt"
check "usage status" 64 $?
check "usage line" "usage: picturetool decode FILE OUT.pam" "$(head -n 1 "$dir/usage.txt")"
"$tool" >/dev/null 2>&1
check "no command status" 64 $?
"$tool" frobnicate >/dev/null 2>&1
check "unknown command status" 64 $?

if [ $failures -eq 0 ]; then echo "picturetool: all checks passed"; fi
exit $((failures != 0))

#!/bin/bash
# The modules' includes run one way, top-down: nothing below the application
# shell includes it, and the decoders stand on the base alone; X11 stays in
# the Linux shell.
# Usage: layering_check.sh SOURCE_DIR
set -uo pipefail
SRC=${1:?usage: layering_check.sh SOURCE_DIR}
status=0

# Prints every quoted include of the files under $1 that names a module in $2
# (an extended regular expression of module names); a third argument names a
# folder under $1 to leave out.
forbidden_includes() {
    grep -rnE --include='*.h' --include='*.cpp' ${3:+--exclude-dir="$3"} \
        "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"($2)/" "$SRC/$1"
}

for module in base timing imaging config library scene diag; do
    [ -d "$SRC/$module" ] || continue
    if found=$(forbidden_includes "$module" app); then
        echo "src/$module includes the application shell:"; echo "$found"; status=1
    fi
done
if found=$(forbidden_includes imaging 'app|timing|config|library|scene|diag'); then
    echo "src/imaging includes a module other than base:"; echo "$found"; status=1
fi
for module in base timing config; do
    [ -d "$SRC/$module" ] || continue
    # The configuration dialogs (config/win32) show pictures and reports:
    # they stand on the decoders and the diagnostics too.
    exclude=""
    [ "$module" = config ] && exclude=win32
    if found=$(forbidden_includes "$module" 'app|imaging|library|scene|diag' $exclude); then
        echo "src/$module includes a module above it:"; echo "$found"; status=1
    fi
done
if found=$(forbidden_includes config/win32 'app|library|scene'); then
    echo "src/config/win32 includes a module above it:"; echo "$found"; status=1
fi
# X11 and GLX stay in the Linux shell's folders.
if found=$(grep -rnE --include='*.h' --include='*.cpp' --exclude-dir=x11 --exclude-dir=glx \
    "^[[:space:]]*#[[:space:]]*include[[:space:]]+<(X11/|GL/glx)" "$SRC"); then
    echo "X11 or GLX outside the Linux shell's folders:"; echo "$found"; status=1
fi
[ $status -eq 0 ] && echo "layering holds"
exit $status

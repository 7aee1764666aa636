#!/bin/bash
# Installs the Linux program where XScreenSaver looks for its hacks, with its
# settings file beside the hacks' own.
#   install-linux.sh PROGRAM PREFIX [DESTDIR]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
program=${1:?usage: install-linux.sh PROGRAM PREFIX [DESTDIR]}
prefix=${2:?usage: install-linux.sh PROGRAM PREFIX [DESTDIR]}
destdir=${3:-}
install -D -m 755 "$program" "$destdir$prefix/libexec/xscreensaver/cubesaver"
install -D -m 644 "$ROOT/resources/linux/cubesaver.xml" "$destdir$prefix/share/xscreensaver/config/cubesaver.xml"
echo "installed $destdir$prefix/libexec/xscreensaver/cubesaver and $destdir$prefix/share/xscreensaver/config/cubesaver.xml"

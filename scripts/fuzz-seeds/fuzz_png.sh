#!/bin/bash
# fuzz_png.sh CORPUS_DIR: seed pictures for the png decoder's fuzz target.
exec "$(dirname "$0")/picture-seeds.sh" png "${1:?usage: fuzz_png.sh CORPUS_DIR}"

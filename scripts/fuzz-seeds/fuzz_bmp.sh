#!/bin/bash
# fuzz_bmp.sh CORPUS_DIR: seed pictures for the bmp decoder's fuzz target.
exec "$(dirname "$0")/picture-seeds.sh" bmp "${1:?usage: fuzz_bmp.sh CORPUS_DIR}"

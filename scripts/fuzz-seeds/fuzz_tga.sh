#!/bin/bash
# fuzz_tga.sh CORPUS_DIR: seed pictures for the tga decoder's fuzz target.
exec "$(dirname "$0")/picture-seeds.sh" tga "${1:?usage: fuzz_tga.sh CORPUS_DIR}"

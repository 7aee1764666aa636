#!/bin/bash
# fuzz_jpeg.sh CORPUS_DIR: seed pictures for the jpeg decoder's fuzz target.
exec "$(dirname "$0")/picture-seeds.sh" jpeg "${1:?usage: fuzz_jpeg.sh CORPUS_DIR}"

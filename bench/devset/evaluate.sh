#!/usr/bin/env bash
# Usage: evaluate.sh DATA_DIR [BITEXA_DEVSET] [--plain]
# The F1 table of the README's Quality section: both models, and the lexical model without its
# analyser, its dictionary or both, on the tuning and the held-out part of the development set
# (make_devset.py builds it). Extra arguments go to bitexa-devset.
set -euo pipefail
data=${1:?usage: evaluate.sh DATA_DIR [BITEXA_DEVSET] [options]}
devset=${2:-$(dirname "$0")/../../build/default/bench/devset/bitexa-devset}
shift $(( $# >= 2 ? 2 : 1 ))
run() {
  local label=$1; shift
  for part in tune heldout; do
    printf '%-36s %-8s' "$label" "$part"
    nice "$devset" "$data" "$part" "$@"
  done
}
run "length model"                 --model length "$@"
run "lexical model"                --model lexical "$@"
run "lexical, no MeCab"            --model lexical --no-analyser "$@"
run "lexical, no dictionary"       --model lexical --no-dictionary "$@"
run "lexical, no MeCab, no dictionary" --model lexical --no-analyser --no-dictionary "$@"

#!/usr/bin/env bash
# The README's recipe for spreading a batch over several machines with GNU parallel, run here on
# this machine alone (-S :) over a generated corpus of a few hundred small pairs: every output
# must be byte for byte what bitexa-align writes for the same line when run by hand, and what
# bitexa-align --batch writes for the same manifest.
#
#   parallel-recipe.sh BITEXA_ALIGN README SCRATCH_FOLDER
set -euo pipefail

align=$1
readme=$2
scratch=$3
pairs=${BITEXA_RECIPE_PAIRS:-300}

if ! command -v parallel >/dev/null; then
  echo "GNU parallel is missing: run scripts/install-deps" >&2
  exit 1
fi
# The recipe calls the program by name, as an installed one would be.
PATH="$(dirname "$align"):$PATH"

rm -rf "$scratch"
mkdir -p "$scratch/corpus/src"
cd "$scratch"

# Pairs of short texts: English sentences of made-up words against kana "translations" about
# half as long, with a shared label now and then; the options vary from line to line.
awk -v pairs="$pairs" -v folder=corpus 'BEGIN {
  srand(7)
  split("the of a keeper lamp sea tower light rock night old stands walks cape steps", words, " ")
  split("あ い う え お か き く け こ さ し す せ そ た ち つ て と な に ぬ ね の", kana, " ")
  print "# generated: SOURCE TARGET OUTPUT OPTIONS" > folder "/manifest.tsv"
  for (p = 1; p <= pairs; p++) {
    en = folder "/src/en-" p ".txt"; ja = folder "/src/ja-" p ".txt"
    sentences = 3 + int(rand() * 12)
    for (s = 1; s <= sentences; s++) {
      if (rand() < 0.15) { print "(" s ")" > en; print "（" s "）" > ja }
      n = 3 + int(rand() * 15); line = ""
      for (w = 1; w <= n; w++) line = line (w > 1 ? " " : "") words[1 + int(rand() * 15)]
      print toupper(substr(line, 1, 1)) substr(line, 2) "." > en
      if (rand() < 0.9) {
        m = 2 + int(n * (0.8 + rand())); line = ""
        for (k = 1; k <= m; k++) line = line kana[1 + int(rand() * 25)]
        print line "。" > ja
      }
    }
    close(en); close(ja)
    kind = p % 4
    if (kind == 0) { out = "out/" p ".txt"; options = "" }
    else if (kind == 1) { out = "out/" p ".tmx"; options = "\t--format=tmx" }
    else if (kind == 2) { out = "out/tsv/" p ".tsv"; options = "\t--format\ttsv\t--slider\t" (p % 19 - 9) }
    else { out = "out/" p ".tmx"; options = "\t-s\tnone\t--format=tmx\t--source-lang=en-GB" }
    print "src/en-" p ".txt\tsrc/ja-" p ".txt\t" out options > folder "/manifest.tsv"
    if (p % 50 == 0) print "" > folder "/manifest.tsv"
  }
}'

# The recipe as the README gives it, on this machine in place of the hosts file.
recipe=$(awk '/<!-- parallel recipe/ { found = 1; next }
              found && /^```/ { if (inside) exit; inside = 1; next }
              inside { print }' "$readme")
if [ -z "$recipe" ] || ! grep -q -- '--sshloginfile hosts.txt' <<<"$recipe"; then
  echo "the README has no parallel recipe with --sshloginfile hosts.txt" >&2
  exit 1
fi
cd corpus
bash -euo pipefail -c "${recipe//--sshloginfile hosts.txt/-S :}" 2> ../parallel.log ||
  { cat ../parallel.log >&2; echo "the recipe failed" >&2; exit 1; }

# One by one, by hand, into a folder of their own.
count=0
while IFS=$'\t' read -r -a fields; do
  [[ ${#fields[@]} -eq 0 || ${fields[0]} == \#* ]] && continue
  mkdir -p "../by-hand/$(dirname "${fields[2]}")"
  bitexa-align "${fields[@]:3}" -o "../by-hand/${fields[2]}" -- "${fields[0]}" "${fields[1]}"
  count=$((count + 1))
done < manifest.tsv
[ "$count" -eq "$pairs" ] || { echo "read $count pairs of $pairs" >&2; exit 1; }

# And as one batch, after the recipe's outputs are moved aside.
mv out ../by-parallel
mkdir -p out/tsv
bitexa-align --batch manifest.tsv --jobs 2 2> ../batch.log ||
  { cat ../batch.log >&2; echo "the batch failed" >&2; exit 1; }
mv out ../by-batch
cd ..

for made in by-parallel by-batch; do
  files=$(cd "$made" && find . -type f | wc -l)
  [ "$files" -eq "$pairs" ] || { echo "$made holds $files files, not $pairs" >&2; exit 1; }
  diff -r by-hand/out "$made" >&2 || { echo "$made differs from the pairs run by hand" >&2; exit 1; }
done
# The recipe's clean-up is for the remote copies: the inputs are all still here.
[ "$(find corpus/src -type f | wc -l)" -eq $((2 * pairs)) ]
echo "$pairs pairs: the recipe, the batch and the runs by hand give the same files"

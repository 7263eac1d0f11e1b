#!/usr/bin/env bash
# Builds the library and the kivo tool, then runs the tool's main job on the shipped examples:
# describes and queries the demo dictionary, and converts the example dictionary between the
# formats, comparing each result with the shipped file byte for byte. Any failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kivo -j2
kivo=./build/default/tools/kivo/kivo
examples=examples/dictionaries

"$kivo" --version

echo "== kivo info $examples/demo.ktc"
"$kivo" info "$examples/demo.ktc"

# Runs kivo lookup with the given arguments and checks that it prints `expected`.
lookup() {
  local expected=$1
  shift
  local actual
  actual=$("$kivo" lookup "$@")
  printf '%s\n' "kivo lookup $* -> $actual"
  if [[ "$actual" != "$expected" ]]; then
    echo "main.sh: lookup gave \"$actual\", expected \"$expected\"" >&2
    return 1
  fi
}
echo "== kivo lookup"
lookup "Ö&ffnen..." "$examples/demo.ktc" "&Open..." --codepage 1252
lookup "找不到文件 %s" "$examples/demo.ktc" "File %s not found" --codepage 936
lookup "Untranslated" "$examples/demo.ktc" "Untranslated" --codepage 1252

echo "== kivo convert"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$kivo" convert "$examples/example.ktc" "$work/example.ktf"
"$kivo" convert "$examples/example.ktc" "$work/example.kbf"
cmp "$work/example.ktf" "$examples/example.ktf"
cmp "$work/example.kbf" "$examples/example.kbf"
"$kivo" convert "$work/example.kbf" "$work/from-binary.ktc"
"$kivo" convert "$work/example.ktf" "$work/from-dfm.ktc"
cmp "$work/from-binary.ktc" "$examples/example.ktc"
cmp "$work/from-dfm.ktc" "$examples/example.ktc"
"$kivo" convert "$examples/demo.ktc" "$work/demo.kbf"
"$kivo" convert "$work/demo.kbf" "$work/demo.ktc"
cmp "$work/demo.ktc" "$examples/demo.ktc"
echo "converted example.ktc to example.ktf and example.kbf and back: identical"
echo "main.sh: done"

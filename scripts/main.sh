#!/usr/bin/env bash
# Builds the library and the kivo tool, then runs the tool's main job on the shipped examples:
# translates the example form into German, French, Spanish and Italian, showing its texts before
# and after and checking the translated forms; translates a form written by another application
# in lenient mode and shows that strict mode refuses it; and briefly describes, queries and
# converts the example dictionaries, comparing each result with the shipped file byte for byte.
# Any failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kivo -j2
kivo=./build/default/tools/kivo/kivo
forms=examples/forms
examples=examples/dictionaries
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints a message on standard error and fails the run.
fail() {
  echo "main.sh: $*" >&2
  exit 1
}

"$kivo" --version

echo "== kivo translate $forms/MainForm.dfm"
printf '"DDKey","CodePage","SeqNo","DisplayValue",\r\n' >"$work/empty.ktc"
# The shipped form is in the writer's layout: read and written back without a translation, it
# stays the same byte for byte.
"$kivo" translate "$forms/MainForm.dfm" --dict "$work/empty.ktc" -o "$work/MainForm.dfm"
cmp "$forms/MainForm.dfm" "$work/MainForm.dfm"
[[ -z $("$kivo" translate "$forms/MainForm.dfm" --dict "$work/empty.ktc" --list) ]] ||
  fail "an empty dictionary changed texts"

# Translates the form into one language: the changed texts (all of them for the first language,
# the first ones for the others), then the translated form in $work/MainForm.<language>.dfm,
# checked for its caption, for the number of texts that changed and for a stable layout.
texts=""
translate() {
  local language=$1 caption=$2 shown=$3
  shift 3
  echo "-- $language: kivo translate $forms/MainForm.dfm $* --codepage 65001"
  "$kivo" translate "$forms/MainForm.dfm" "$@" --codepage 65001 --list >"$work/$language.list"
  local count
  count=$(wc -l <"$work/$language.list")
  head -n "$shown" "$work/$language.list"
  ((count > shown)) && echo "   … $((count - shown)) more"
  [[ -z $texts ]] && texts=$count
  ((count == texts)) || fail "$language changed $count texts, the first language $texts"
  "$kivo" translate "$forms/MainForm.dfm" "$@" --codepage 65001 -o "$work/MainForm.$language.dfm"
  grep -qF "  Caption = '$caption'" "$work/MainForm.$language.dfm" ||
    fail "the $language form's caption is not '$caption'"
  "$kivo" translate "$work/MainForm.$language.dfm" --dict "$work/empty.ktc" |
    cmp - "$work/MainForm.$language.dfm"
}
# German: the form's own file dictionary, FileName 'German.ktc' beside the form.
translate German "Dokumentverwaltung" 100 --use German
# French and Spanish: dictionary files given to the tool, in the DFM flavour and in binary.
translate French "Gestionnaire de documents" 6 --dict "$forms/French.ktf"
translate Spanish "Gestor de documentos" 6 --dict "$forms/Spanish.kbf"
# Italian: the dictionary stored in the form, the one its replacer names.
translate Italian "Gestione documenti" 6 --use Italian
echo "translated the form into 4 languages, $texts texts each"

echo "-- the form's replacer with AutoReplace on translates it while it is read"
grep -v '^    AutoReplace = False$' "$forms/MainForm.dfm" >"$work/Auto.dfm"
"$kivo" translate "$work/Auto.dfm" -o "$work/Auto.Italian.dfm"
grep -v '^    AutoReplace = False$' "$work/MainForm.Italian.dfm" | cmp - "$work/Auto.Italian.dfm"
echo "same as --use Italian"

echo "== kivo translate $forms/Foreign.dfm (written by another application)"
"$kivo" translate "$forms/Foreign.dfm" --dict "$forms/Foreign.ktc" --codepage 65001 --list
"$kivo" translate "$forms/Foreign.dfm" --dict "$forms/Foreign.ktc" --codepage 65001 \
  -o "$work/Foreign.German.dfm"
for kept in "Vendor.Options = [voGradient, voRoundCorners]" "object CustomerGrid: TVendorGrid" \
  "OldCreateOrder = False" "Glyph.Data = {"; do
  grep -qF "$kept" "$work/Foreign.German.dfm" || fail "the foreign form lost \"$kept\""
done
echo "unknown classes and properties kept"
if "$kivo" translate "$forms/Foreign.dfm" --dict "$forms/Foreign.ktc" --strict \
  2>"$work/strict.err"; then
  fail "--strict accepted the foreign form"
fi
echo "--strict: $(cat "$work/strict.err")"

echo "== the dictionaries"
"$kivo" info "$forms/Spanish.kbf"

# Runs kivo lookup with the given arguments and checks that it prints `expected`.
lookup() {
  local expected=$1
  shift
  local actual
  actual=$("$kivo" lookup "$@")
  printf '%s\n' "kivo lookup $* -> $actual"
  [[ "$actual" == "$expected" ]] || fail "lookup gave \"$actual\", expected \"$expected\""
}
lookup "&Speichern" "$forms/German.ktc" "&Save" --codepage 65001
lookup "Ö&ffnen..." "$examples/demo.ktc" "&Open..." --codepage 1252
lookup "找不到文件 %s" "$examples/demo.ktc" "File %s not found" --codepage 936
lookup "Untranslated" "$examples/demo.ktc" "Untranslated" --codepage 1252

# The dictionaries in the DFM flavour and in binary convert to the CSV flavour and back
# unchanged; example.ktc converts to the shipped example.ktf and example.kbf.
for dictionary in "$forms/French.ktf" "$forms/Spanish.kbf" "$examples/example.ktf" \
  "$examples/example.kbf"; do
  name=$(basename "$dictionary")
  "$kivo" convert "$dictionary" "$work/$name.ktc"
  "$kivo" convert "$work/$name.ktc" "$work/$name"
  cmp "$dictionary" "$work/$name"
done
"$kivo" convert "$examples/example.ktc" "$work/example.ktf"
"$kivo" convert "$examples/example.ktc" "$work/example.kbf"
cmp "$work/example.ktf" "$examples/example.ktf"
cmp "$work/example.kbf" "$examples/example.kbf"
echo "converted the dictionaries between the formats and back: identical"
echo "main.sh: done"

#!/usr/bin/env bash
# Gathers every text the program shows (the English texts marked with Tr, TrC, TrN and TrNoop)
# into data/lang/clutterix.pot, and brings each catalogue data/lang/<tag>.po up to it: new texts
# come in untranslated, texts no longer used go. Run it after changing a text; then translate what
# is new. `--check` changes nothing and fails when the template is not up to date.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
pot=data/lang/clutterix.pot

extract() {
  # Sorted by file and place, without dates or wrapping, so that the template changes only with
  # the texts themselves.
  find app clean context ini platform processes scan settings ui update \( -name '*.cpp' -o -name '*.h' \) -not -path '*/win32/*' | LC_ALL=C sort |
    xgettext --from-code=UTF-8 --language=C++ --keyword= --keyword=Tr --keyword=TrC:1c,2 --keyword=TrN:1,2 \
      --keyword=TrNoop --keyword=TrLater --add-comments=TRANSLATORS: --sort-by-file --add-location=file --no-wrap --omit-header --files-from=- -o - |
    # printf's directives mean nothing here: the placeholders are %1 to %9.
    sed '/^#, c-format$/d; s/^\(#,.*\), c-format/\1/; s/^#, c-format, /#, /'
}

if [ "${1:-}" = --check ]; then
  diff -u "$pot" <(extract) >&2 || { echo "update-catalogues: $pot is not up to date" >&2; exit 1; }
  exit 0
fi
extract >"$pot"
for po in data/lang/*.po; do
  [ -e "$po" ] || continue
  msgmerge --quiet --update --backup=none --no-fuzzy-matching --no-wrap --sort-by-file "$po" "$pot"
  # Texts no longer used go rather than stay behind as comments.
  msgattrib --no-obsolete --no-wrap --sort-by-file -o "$po" "$po"
done

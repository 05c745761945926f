#!/usr/bin/env bash
# The pinned sources of data/dic.txt.
#   word-sources.sh fetch   installs the npm packages of tools/word-sources at their locked versions
#                           into build/word-sources; fails, saying why, when it cannot or when
#                           Debian's wspanish is missing or not the pinned version
#   word-sources.sh flags   prints make_word_list's options for those sources
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wspanish_version=1.0.30
into=$root/build/word-sources
modules=$into/node_modules

case "${1:-}" in
  fetch)
    installed=$(dpkg-query -W -f='${Version}' wspanish 2>/dev/null || true)
    if [ "$installed" != "$wspanish_version" ]; then
      echo "word sources: wspanish ${installed:-is not installed}, the list is made from $wspanish_version" >&2
      exit 1
    fi
    mkdir -p "$into"
    # A lock file already installed is not fetched again.
    if ! cmp -s "$root/tools/word-sources/package-lock.json" "$into/package-lock.json" || [ ! -d "$modules" ]; then
      command -v npm >/dev/null || { echo "word sources: npm is not installed" >&2; exit 1; }
      cp "$root/tools/word-sources/package.json" "$root/tools/word-sources/package-lock.json" "$into/"
      (cd "$into" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null) || {
        rm -f "$into/package-lock.json"
        echo "word sources: npm could not install tools/word-sources/package-lock.json" >&2
        exit 1
      }
    fi
    ;;
  flags)
    echo --spelling /usr/share/dict/spanish \
      --ranking "$modules/@zxcvbn-ts/language-es-es/src/commonWords.json" \
      --public-blocklist "$modules/naughty-words/es.json" \
      --blocked "$root/data/exclusions/blocked.txt" --kept "$root/data/exclusions/kept.txt" \
      --function-words "$root/data/exclusions/function_words.txt"
    ;;
  *)
    echo "usage: word-sources.sh fetch|flags" >&2
    exit 2
    ;;
esac

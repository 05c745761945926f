#!/usr/bin/env bash
# Regenerates dic.txt from its pinned sources and fails unless it matches the committed list byte for
# byte. Skipped (77) where the sources cannot be installed here.
#   regenerate_word_list.sh TOOL EXPECTED OUTPUT
set -uo pipefail
tool=$1 expected=$2 output=$3
sources=$(dirname "$0")/../../tools/word-sources.sh
if ! reason=$("$sources" fetch 2>&1); then
  echo "skipped: $reason"
  exit 77
fi
# shellcheck disable=SC2046
"$tool" $("$sources" flags) "$output" || exit 1
if ! cmp -s "$output" "$expected"; then
  echo "$expected differs from what make_word_list makes of its pinned sources (make words)"
  exit 1
fi

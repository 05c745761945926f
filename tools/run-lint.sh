#!/usr/bin/env bash
# make lint: clang-tidy with the checked-in .clang-tidy over every source of the native and the
# 64-bit Windows build (the latter parsed as mingw-w64 code), then cppcheck over all sources.
# Any finding fails.
set -uo pipefail
cd "$(dirname "$0")/.."
for preset in native win64; do
  cmake --preset "$preset" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null || exit 1
done
# Our own files of each compile database, each once: the native one first.
files_of() {
  python3 - "$1" <<'PY'
import json, sys
for entry in json.load(open(sys.argv[1])):
    if "/googletest/" not in entry["file"] and entry["file"].endswith(".cpp"):
        print(entry["file"])
PY
}
native=$(files_of build/native/compile_commands.json | sort -u)
windows=$(comm -13 <(echo "$native") <(files_of build/win64/compile_commands.json | sort -u))
mingw_args=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++)
while IFS= read -r folder; do
  mingw_args+=("--extra-arg=-isystem$folder")
done < <(echo | x86_64-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 |
  sed -n '/#include <...> search starts here:/,/End of search list./p' | grep '/c++' | sed 's/^ //')
status=0
log=$(mktemp)
echo "== clang-tidy: $(echo "$native" | wc -l) native and $(echo "$windows" | wc -l) Windows sources"
echo "$native" | xargs -P2 -n4 clang-tidy -p build/native --quiet >"$log" 2>&1 || status=1
echo "$windows" | xargs -P2 -n4 clang-tidy -p build/win64 --quiet "${mingw_args[@]}" >>"$log" 2>&1 || status=1
grep -E '(warning|error):' "$log" | sort -u
rm -f "$log"
echo "== cppcheck"
cppcheck --quiet --enable=warning,performance,portability --std=c++20 --language=c++ --error-exitcode=1 \
  --inline-suppr --library=googletest --library=windows -I . --suppress=missingIncludeSystem \
  game shell runtime tools tests || status=1
[ $status -eq 0 ] && echo "lint: clean" || echo "lint: findings above"
exit $status

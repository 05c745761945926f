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
# A file found clean is not linted again until it, a header it includes, its flags or the linter
# change: the cache holds one empty file per clean key, for every clone on this machine.
cache=${XDG_CACHE_HOME:-$HOME/.cache}/letrazul/lint
mkdir -p "$cache"
salt="$(clang-tidy --version) $(cat .clang-tidy) ${mingw_args[*]}"
todo_native=$(echo "$native" | tools/lint_keys.py build/native "$cache" "$salt")
todo_windows=$(echo "$windows" | tools/lint_keys.py build/win64 "$cache" "$salt-windows")
count() { [ -n "$1" ] && echo "$1" | wc -l || echo 0; }
echo "== clang-tidy: $(count "$todo_native") of $(count "$native") native and $(count "$todo_windows") of" \
  "$(count "$windows") Windows sources changed since they were last found clean"
[ -z "$todo_native" ] || echo "$todo_native" | cut -d' ' -f2 |
  xargs -P2 -n4 clang-tidy -p build/native --quiet >"$log" 2>&1 || status=1
[ -z "$todo_windows" ] || echo "$todo_windows" | cut -d' ' -f2 |
  xargs -P2 -n4 clang-tidy -p build/win64 --quiet "${mingw_args[@]}" >>"$log" 2>&1 || status=1
findings=$(grep -E '(warning|error):' "$log" | sort -u)
[ -z "$findings" ] || echo "$findings"
rm -f "$log"
# Files with no finding of their own are marked clean, unless a finding lies in a header, which
# several files may share and which would then hide in each of them.
found_in=$(cut -d: -f1 <<<"$findings" | sort -u | grep . || true)
todo=$(printf '%s\n%s\n' "$todo_native" "$todo_windows" | grep -v '^none ' | grep . || true)
if [ -z "$(comm -23 <(echo "$found_in") <(cut -d' ' -f2 <<<"$todo" | sort -u) | grep .)" ]; then
  while read -r key file; do
    [ -n "$key" ] && ! grep -qxF "$file" <<<"$found_in" && : >"$cache/$key"
  done <<<"$todo"
fi
echo "== cppcheck"
# The browser tests' npm packages are not ours; make test may be installing them meanwhile.
mkdir -p "$cache/cppcheck"
cppcheck --quiet --enable=warning,performance,portability --std=c++20 --language=c++ --error-exitcode=1 \
  --cppcheck-build-dir="$cache/cppcheck" \
  --inline-suppr --library=googletest --library=windows --library=tools/emscripten.cfg -I . \
  --suppress=missingIncludeSystem \
  -i tests/web/node_modules \
  game shell runtime tools tests || status=1
[ $status -eq 0 ] && echo "lint: clean" || echo "lint: findings above"
exit $status

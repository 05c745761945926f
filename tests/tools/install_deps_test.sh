#!/usr/bin/env bash
# tools/install-deps.sh against a stand-in apt-get that behaves as a mirror in the middle of a sync
# does: an update that fails some times in a row, an install that resolves only from the release's
# own suite, or nothing that works. No network, nothing installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
mkdir -p "$work/bin"
# Every package is missing; i386 is already there; sudo, where needed, just runs the command.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho i386\n' >"$work/bin/dpkg"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
# apt-get: UPDATE_FAILURES updates fail as a syncing mirror's do, then they work; INSTALL is "any",
# "suite" (only with -t) or "none". Each call is logged.
cat >"$work/bin/apt-get" <<'STANDIN'
#!/bin/bash
echo "$*" >>"$LOG"
if [ "$1" = update ]; then
  done_before=$(grep -c '^update' "$LOG")
  if [ "$done_before" -le "$UPDATE_FAILURES" ]; then
    echo "E: Failed to fetch http://deb.example/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
  fi
  exit 0
fi
case "$INSTALL:$*" in
  any:* | suite:*" -t "*) exit 0 ;;
  *) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
STANDIN
chmod +x "$work/bin/"*

failures=0
# failures of update, install, exit code, update calls, install calls (the last one's -t if any)
while read -r update_failures install code updates installs suite; do
  log=$work/log
  : >"$log"
  set +e
  out=$(PATH="$work/bin:$PATH" LOG=$log UPDATE_FAILURES=$update_failures INSTALL=$install \
    LETRAZUL_APT_PAUSE=0 bash "$root/tools/install-deps.sh" play 2>&1)
  got=$?
  set -e
  got_updates=$(grep -c '^update' "$log" || true)
  got_installs=$(grep -c '^install' "$log" || true)
  last=$(grep "^install" "$log" | tail -n 1 || true)
  want_suite=$([ "$suite" = release ] && echo "-t $release" || echo none)
  got_suite=$(grep -oE -- "-t [a-z]+" <<<"$last" || echo none)
  case_name="update fails $update_failures times, install $install"
  if [ "$got" -ne "$code" ] || [ "$got_updates" -ne "$updates" ] || [ "$got_installs" -ne "$installs" ] ||
    [ "$got_suite" != "$want_suite" ]; then
    echo "FAILED ($case_name): exit $got, $got_updates updates, $got_installs installs, last with '$got_suite'"
    echo "$out"
    failures=$((failures + 1))
  fi
  # A failure ends with one line that says what went wrong and what to do.
  if [ "$code" -ne 0 ] && ! tail -n 1 <<<"$out" | grep -qE '^install-deps: .*(mirror|apt-get install)'; then
    echo "FAILED ($case_name): the last line does not say what to do: $(tail -n 1 <<<"$out")"
    failures=$((failures + 1))
  fi
done <<'CASES'
0 any   0 1 1 none
2 any   0 3 1 none
3 any   0 3 1 release
3 suite 0 3 1 release
0 suite 0 1 2 release
0 none  1 1 2 release
3 none  1 3 1 release
CASES
[ "$failures" -eq 0 ] && echo "install-deps: all cases passed"
exit "$failures"

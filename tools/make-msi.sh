#!/usr/bin/env bash
# The Windows Installer package of one release folder, for schools that deploy software silently:
#   make-msi.sh VERSION FOLDER OUTPUT
# FOLDER holds letrazul.exe, dic.txt and LEEME.txt as they ship; resources/letrazul.wxs says what
# goes where. The same folder and version give the same bytes: the product and package codes are
# derived from them, and the package's two times are the last commit's (SOURCE_DATE_EPOCH where
# given), as are the files' times in its cabinet, which come from FOLDER.
set -euo pipefail
version=${1:?version} folder=${2:?folder} output=${3:?output}
root=$(cd "$(dirname "$0")/.." && pwd)
export LC_ALL=C
# Windows Installer compares versions as numbers: major and minor up to 255, build up to 65535.
if ! [[ "$version" =~ ^([0-9]+)\.([0-9]+)(\.([0-9]+))?$ ]] || ((10#${BASH_REMATCH[1]} > 255)) ||
  ((10#${BASH_REMATCH[2]} > 255)) || ((10#${BASH_REMATCH[4]:-0} > 65535)); then
  echo "make-msi: $version is not a version Windows Installer can compare" >&2
  exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}

# Name-based codes: the product code belongs to the version, so that each version is one product
# that a newer one upgrades; the package code to everything the package is made of (the version, the
# commit's time, the files shipped, the icon, the .wxs, this script with the tables it adds, and the
# tools' versions), so that two different packages never share one, as Windows Installer requires:
# Windows would use the one it has cached instead.
codes=$({
  echo "$version $epoch $(wixl --version)"
  (cd "$folder" && sha256sum letrazul.exe dic.txt LEEME.txt && stat -c '%Y %n' letrazul.exe dic.txt LEEME.txt)
  (cd "$root" && sha256sum resources/letrazul.ico resources/letrazul.wxs tools/make-msi.sh)
} | python3 -c '
import sys, uuid
space = uuid.UUID("c28354fe-b792-452b-9c5d-08107f3c70fc")
version, inputs = sys.argv[1], sys.stdin.read()
print(str(uuid.uuid5(space, "product " + version)).upper())
print(str(uuid.uuid5(space, "package " + inputs)).upper())' "$version")
product=$(sed -n 1p <<<"$codes")
package=$(sed -n 2p <<<"$codes")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -p "$folder/letrazul.exe" "$folder/dic.txt" "$folder/LEEME.txt" "$work/"
cp "$root/resources/letrazul.ico" "$work/"
# wixl stamps the package with the time of day; a clock stopped at the commit's time (in UTC, so
# that any machine's time zone gives the same) makes it the commit's.
stamp=$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')
frozen=(env TZ=UTC faketime -f "$stamp")
(cd "$work" && "${frozen[@]}" wixl -a x86 -D Version="$version" -D ProductCode="$product" \
  -D PackageCode="$package" -o package.msi "$root/resources/letrazul.wxs")

# What wixl cannot write: the school's own list. WORDLISTFOLDER names a folder holding a dic.txt,
# and the package refuses to install when it is not there, rather than leave the game without a
# list. MoveFiles copies that file as dic.txt, before InstallFiles, and it goes with the product; the
# shipped list is installed only without it. The folder is written to the registry (letrazul.wxs)
# and read back when WORDLISTFOLDER is not given, so that an upgrade or a repair keeps the list.
# AppSearch runs every search it has, and a file search whose folder is empty or relative looks in
# the root of every fixed drive: AppSearch runs only when there is a folder to look in or a Letrazul
# whose folder may be remembered, a relative WORDLISTFOLDER is refused before it, and what the
# folder's search finds is used only when WORDLISTFOLDER was given, so a stray C:\dic.txt never is. A
# colon can only follow the drive letter in a Windows path, so a path holding ":\" is a full one
# ("C:\..."), as is a share ("\\servidor\..."). The actions that pick the list run once, where
# AppSearch runs (in the user-interface sequence when there is one); every property they hand on is
# secure, so that it reaches the installation's server side when a managed deployment runs it.
relative='WORDLISTFOLDER AND NOT (WORDLISTFOLDER << "\\" OR WORDLISTFOLDER >< ":\")'
queries=(
  "UPDATE \`Component\` SET \`Condition\` = 'NOT SCHOOLWORDLIST' WHERE \`Component\` = 'ShippedWords'"
  "UPDATE \`Component\` SET \`Condition\` = 'SCHOOLWORDLIST' WHERE \`Component\` = 'SchoolWords'"
  "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('GivenWordList', 'dic.txt')"
  "CREATE TABLE \`DrLocator\` (\`Signature_\` CHAR(72) NOT NULL, \`Parent\` CHAR(72), \`Path\` CHAR(255), \`Depth\` INT PRIMARY KEY \`Signature_\`, \`Parent\`, \`Path\`)"
  "INSERT INTO \`DrLocator\` (\`Signature_\`, \`Path\`, \`Depth\`) VALUES ('GivenWordList', '[WORDLISTFOLDER]', 0)"
  "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('GIVENWORDLIST', 'GivenWordList')"
  "INSERT INTO \`Signature\` (\`Signature\`, \`FileName\`) VALUES ('RememberedWordList', 'dic.txt')"
  "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Name\`, \`Type\`) VALUES ('RememberedWordList', 2, 'Software\\Letrazul', 'WordListFolder', 0)"
  "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('REMEMBEREDWORDLIST', 'RememberedWordList')"
  "INSERT INTO \`RegLocator\` (\`Signature_\`, \`Root\`, \`Key\`, \`Name\`, \`Type\`) VALUES ('RememberedFolder', 2, 'Software\\Letrazul', 'WordListFolder', 2)"
  "INSERT INTO \`AppSearch\` (\`Property\`, \`Signature_\`) VALUES ('REMEMBEREDFOLDER', 'RememberedFolder')"
  "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Target\`) VALUES ('RefuseRelativeWordListFolder', 19, 'WORDLISTFOLDER tiene que ser una carpeta completa, como C:\\Letrazul o \\\\servidor\\letrazul: [WORDLISTFOLDER]')"
  "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('UseGivenWordList', 307, 'SCHOOLWORDLIST', '[GIVENWORDLIST]')"
  "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('UseRememberedWordList', 307, 'SCHOOLWORDLIST', '[REMEMBEREDWORDLIST]')"
  "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`) VALUES ('UseRememberedFolder', 307, 'WORDLISTFOLDER', '[REMEMBEREDFOLDER]')"
  "INSERT INTO \`LaunchCondition\` (\`Condition\`, \`Description\`) VALUES ('NOT WORDLISTFOLDER OR SCHOOLWORDLIST OR Installed', 'Falta dic.txt en la carpeta WORDLISTFOLDER: [WORDLISTFOLDER]')"
  "CREATE TABLE \`MoveFile\` (\`FileKey\` CHAR(72) NOT NULL, \`Component_\` CHAR(72) NOT NULL, \`SourceName\` CHAR(255) LOCALIZABLE, \`DestName\` CHAR(255) LOCALIZABLE, \`SourceFolder\` CHAR(72), \`DestFolder\` CHAR(72) NOT NULL, \`Options\` INT NOT NULL PRIMARY KEY \`FileKey\`)"
  "INSERT INTO \`MoveFile\` (\`FileKey\`, \`Component_\`, \`DestName\`, \`SourceFolder\`, \`DestFolder\`, \`Options\`) VALUES ('SchoolWords', 'SchoolWords', 'dic.txt', 'SCHOOLWORDLIST', 'INSTALLFOLDER', 0)"
  "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`, \`InstallMode\`) VALUES ('SchoolWords', 'SchoolWords', 'dic.txt', 'INSTALLFOLDER', 2)"
  "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('MoveFiles', 3800)"
  "UPDATE \`Property\` SET \`Value\` = 'SCHOOLWORDLIST;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;WORDLISTFOLDER' WHERE \`Property\` = 'SecureCustomProperties'"
)
# Custom action type 19 shows its text and ends the installation; 307 sets a property (51) only in
# the first sequence that runs it (256).
for sequence in InstallUISequence InstallExecuteSequence; do
  for row in "RefuseRelativeWordListFolder|$relative|45" \
    "AppSearch|WORDLISTFOLDER OR Installed OR WIX_UPGRADE_DETECTED|50" \
    "UseGivenWordList|WORDLISTFOLDER|51" "UseRememberedWordList|NOT WORDLISTFOLDER|52" \
    "UseRememberedFolder|NOT WORDLISTFOLDER|53"; do
    IFS='|' read -r action condition number <<<"$row"
    queries+=("INSERT INTO \`$sequence\` (\`Action\`, \`Condition\`, \`Sequence\`) VALUES ('$action', '$condition', $number)")
  done
done
args=()
for query in "${queries[@]}"; do args+=(-q "$query"); done
# wixl leaves the package code random whatever the source says; msibuild sets it.
args+=(-s "Letrazul $version" Letrazul "Intel;1033" "{$package}")
"${frozen[@]}" msibuild "$work/package.msi" "${args[@]}"
mv "$work/package.msi" "$output"
touch -d "@$epoch" "$output"

#!/usr/bin/env bash
# check-windows-xp.sh OBJDUMP PROGRAM IMPORT-LIST MANIFEST
#
# Fails unless PROGRAM can start on Windows XP SP3: every function it imports
# is in IMPORT-LIST with a first Windows version of 5.1 (XP) or older, its PE
# header asks for no newer Windows than XP, and its manifest holds nothing
# XP's loader rejects. For a 64-bit program the oldest Windows is XP x64, 5.2. A function
# not in the list fails too, so every new import is a reviewed decision.
set -euo pipefail
objdump=$1 program=$2 list=$3 manifest=$4

dump=$("$objdump" -p "$program")
if grep -q '^Magic[[:space:]]*020b' <<<"$dump"; then max_minor=2; else max_minor=1; fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The imports, one "DLL function" a line, DLL names in upper case.
imports=$(awk '
  /^\tDLL Name: / { dll = toupper($3); next }
  /^\tvma:/ { next }
  dll != "" && /^\t[0-9a-f]+\t/ { print dll, $NF; next }
  /^$/ && dll != "" { dll = "" }
' <<<"$dump")
[ -n "$imports" ] || fail "no import table found in $program"

# The list: "DLL function version", comments and blank lines ignored.
declare -A first_version
while read -r dll function version _; do
  [[ -z "$dll" || "$dll" == \#* ]] && continue
  first_version["${dll^^} $function"]=$version
done <"$list"

count=0
while read -r dll function; do
  count=$((count + 1))
  version=${first_version["$dll $function"]:-}
  if [ -z "$version" ]; then
    fail "$dll $function is not in $(basename "$list")"
  elif ! awk -v v="$version" -v m="$max_minor" 'BEGIN { split(v, p, "."); exit !(p[1] < 5 || (p[1] == 5 && p[2] <= m)) }'; then
    fail "$dll $function needs Windows $version, newer than XP (5.$max_minor)"
  fi
done <<<"$imports"

# The header's oldest Windows: XP for the 32-bit program, XP x64 for the 64-bit one.
for field in Subsystem OSystem; do
  major=$(awk -v f="Major${field}Version" '$1 == f { print $2 }' <<<"$dump")
  minor=$(awk -v f="Minor${field}Version" '$1 == f { print $2 }' <<<"$dump")
  if [ -z "$major" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt "$max_minor" ]; }; then
    fail "the PE header's ${field} version is ${major:-?}.${minor:-?}, newer than 5.$max_minor"
  fi
done

# XP reads only its own elements in the manifest's main namespace, and takes
# trustInfo only in the asm.v2 namespace (asm.v3 there stops the program from
# starting); elements of later namespaces (application settings, supported OS)
# it leaves alone.
count_of() { xmllint --xpath "count($1)" "$manifest"; }
v1='namespace-uri()="urn:schemas-microsoft-com:asm.v1"'
known='local-name()="assembly" or local-name()="assemblyIdentity" or local-name()="description"
  or local-name()="dependency" or local-name()="dependentAssembly" or local-name()="file"
  or local-name()="noInherit"'
xmllint --noout "$manifest" || fail "the manifest is not well-formed XML"
[ "$(count_of "//*[$v1 and not($known)]")" = 0 ] || fail "the manifest has elements XP does not know in asm.v1"
[ "$(count_of '//*[local-name()="trustInfo" and namespace-uri()!="urn:schemas-microsoft-com:asm.v2"]')" = 0 ] ||
  fail "the manifest's trustInfo is not in the asm.v2 namespace"
[ "$(count_of "/*[local-name()=\"assembly\" and $v1 and @manifestVersion=\"1.0\"]")" = 1 ] ||
  fail "the manifest's root is not an asm.v1 assembly of manifestVersion 1.0"

if [ "$failures" -gt 0 ]; then
  echo "$failures problem(s) keep $(basename "$program") from Windows XP SP3"
  exit 1
fi
echo "$count imports, all on Windows XP SP3; header and manifest fit XP"

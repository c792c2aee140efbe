#!/usr/bin/env bash
# Checks the Debian package built by tools/package.sh: lintian finds no error
# or warning in it, its exact file list, xboard's plugin file, the man page
# (rendered without a warning), the changelog's version is the package's, and
# the engine unpacked from it finds its books from an empty folder and answers
# a move. Writes one PASS or FAIL line; exit status 1 on failure.
#
#   tools/check-package.sh [PACKAGE.deb]     (default: the one in build/)
set -uo pipefail
cd "$(dirname "$0")/.."
deb="${1:-$(ls build/ormedan_*.deb 2>/dev/null | head -n 1)}"
fail() {
  echo "package check: FAIL ($deb): $*"
  exit 1
}
[ -n "$deb" ] && [ -f "$deb" ] || fail "no package (build it with tools/package.sh)"

command -v lintian >/dev/null 2>&1 || fail "lintian is missing (tools/install-deps.sh installs it)"
# Its standard error holds only its own notes (such as running as root).
lintian_out="$(lintian --fail-on error,warning "$deb" 2>/dev/null)"
lintian_status=$?
lintian_tags="$(grep -E '^[EW]: ' <<<"$lintian_out")"
if [ "$lintian_status" -ne 0 ] || [ -n "$lintian_tags" ]; then
  [ -n "$lintian_out" ] && sed 's/^/  /' <<<"$lintian_out"
  fail "lintian exited with status $lintian_status: ${lintian_tags:-no error or warning tag listed}"
fi

expected="./usr/
./usr/games/
./usr/games/ormedan
./usr/share/
./usr/share/doc/
./usr/share/doc/ormedan/
./usr/share/doc/ormedan/changelog.gz
./usr/share/doc/ormedan/copyright
./usr/share/games/
./usr/share/games/ormedan/
./usr/share/games/ormedan/b.dat
./usr/share/games/ormedan/n.dat
./usr/share/games/ormedan/x.dat
./usr/share/games/plugins/
./usr/share/games/plugins/xboard/
./usr/share/games/plugins/xboard/ormedan.eng
./usr/share/man/
./usr/share/man/man6/
./usr/share/man/man6/ormedan.6.gz"
listed="$(dpkg-deb -c "$deb" | awk '$6 != "./" { print $6 }' | sort)" || fail "dpkg-deb -c failed"
if [ "$listed" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$listed") | sed 's/^/  /'
  fail "file list differs from the expected one (< expected, > in the package)"
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb -x failed"
mkdir "$tmp/empty"
[ "$(cat "$tmp/root/usr/share/games/plugins/xboard/ormedan.eng")" = $'plugin spec 0.0\normedan --features\nchess' ] ||
  fail "ormedan.eng is not the three lines: plugin spec 0.0 / ormedan --features / chess"
warnings="$(man --warnings -l "$tmp/root/usr/share/man/man6/ormedan.6.gz" 2>&1 >/dev/null)" || fail "man failed: $warnings"
[ -z "$warnings" ] || fail "man page warnings: $warnings"
gzip -dc "$tmp/root/usr/share/doc/ormedan/changelog.gz" >"$tmp/changelog" || fail "changelog.gz does not unpack"
changelog_version="$(dpkg-parsechangelog -l "$tmp/changelog" -S Version 2>&1)" || fail "dpkg-parsechangelog: $changelog_version"
package_version="$(dpkg-deb -f "$deb" Version)"
[ "$changelog_version" = "$package_version" ] ||
  fail "the changelog's latest version is $changelog_version, the package's $package_version (add an entry to packaging/changelog)"

answer="$(cd "$tmp/empty" && printf 'e2e4\nquit\n' | timeout 20 "$tmp/root/usr/games/ormedan" 2>&1)"
status=$?
[ "$status" -eq 0 ] || fail "the unpacked engine exited with status $status: $(tail -n 1 <<<"$answer")"
grep -qx 'mosse possibili 20' <<<"$answer" || fail "the unpacked engine did not answer e2e4 with 'mosse possibili 20': $(tail -n 1 <<<"$answer")"
[ -z "$(ls -A "$tmp/empty")" ] || fail "the engine left files in its working folder"
echo "package check: PASS ($deb: lintian clean, exact file list, plugin file, man page, changelog version, unpacked engine answers e2e4 from an empty folder)"

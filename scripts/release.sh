#!/usr/bin/env bash
# The release package, from a clean clone: installs what is missing, builds
# the windows-i686 preset and makes build/release/kob_vorlo3-VERSION.zip with
# the .gau, a sample INI, the designer's guide, a README.txt and SHA256SUMS
# (the checksums of the other files). Then unpacks the zip and verifies it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset windows-i686 >/dev/null
cmake --build --preset windows-i686

version=$(sed -n 's/^project(kob_vorlo3 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no version in CMakeLists.txt" >&2; exit 1; }
name=kob_vorlo3-$version
out=build/release
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/check"
mkdir -p "$stage"

cp build/windows-i686/src/kob_vorlo3.gau "$stage/"
cp examples/sample/kob_vorlo.ini "$stage/kob_vorlo.ini"
cp docs/designer-guide.md "$stage/designer-guide.md"
# Windows line ends for the text a designer opens in Notepad.
sed 's/$/\r/' >"$stage/README.txt" <<TEXT
kob_vorlo3 $version: a sound gauge for your aircraft's panel

kob_vorlo3.gau     the gauge module: copy it into the simulator's Gauges folder
kob_vorlo.ini      a sample configuration, commented: copy and edit it
designer-guide.md  the designer's guide: installing, panel.cfg, the INI keys,
                   the control values, XML snippets, the debugger gauge and
                   what to do when a sound stays silent (plain text, Markdown)
SHA256SUMS         checksums of these files: sha256sum -c SHA256SUMS
TEXT
(cd "$stage" && sha256sum kob_vorlo3.gau kob_vorlo.ini designer-guide.md README.txt >SHA256SUMS)
# -X: no extra file attributes, so the zip holds only what is listed.
(cd "$out" && zip -q -X -r "$name.zip" "$name")

# The zip as a designer gets it: exactly these files, checksums that hold.
mkdir -p "$out/check"
(cd "$out/check" && unzip -q "../$name.zip")
expected=$(printf '%s\n' README.txt SHA256SUMS designer-guide.md kob_vorlo.ini kob_vorlo3.gau)
found=$(cd "$out/check/$name" && ls -1 | LC_ALL=C sort)
if [ "$found" != "$(echo "$expected" | LC_ALL=C sort)" ]; then
  echo "release.sh: the zip holds: $found" >&2
  exit 1
fi
(cd "$out/check/$name" && sha256sum --quiet -c SHA256SUMS)
rm -rf "$out/check"
echo "written: $out/$name.zip"

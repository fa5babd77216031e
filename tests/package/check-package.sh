#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh built, without installing
# it: the file list, the control fields, and the packaged programs run from a
# scratch folder (dpkg-deb -x). Exit 77 (skipped) when no package of this
# version has been built.
#   check-package.sh PACKAGE_FOLDER VERSION
set -uo pipefail

folder=$1 version=$2
shopt -s nullglob
debs=("$folder"/k400gw_"$version"_*.deb)
if ((${#debs[@]} == 0)); then
    echo "No k400gw_${version}_*.deb in $folder: run scripts/package.sh (or K400_PACKAGE=1 scripts/test.sh)."
    exit 77
fi
deb=${debs[0]}
echo "Checking $deb"

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# --- The file list ---
listing=$(dpkg-deb -c "$deb") || { echo "FAIL: dpkg-deb cannot read $deb"; exit 1; }
files=$(awk '{print $6}' <<<"$listing" | sed 's|^\./|/|')
for path in /usr/bin/k400gw /usr/bin/k400gw-gui \
    /usr/share/applications/k400gw-gui.desktop /usr/share/icons/hicolor/scalable/apps/k400gw.svg \
    /usr/share/man/man1/k400gw.1.gz /usr/share/man/man1/k400gw-gui.1.gz \
    /usr/share/doc/k400gw/copyright /usr/share/doc/k400gw/changelog.gz /usr/share/doc/k400gw/README.md.gz \
    /usr/share/doc/k400gw/plans.md.gz /usr/share/doc/k400gw/examples/scenarios/demo.json; do
    grep -qxF "$path" <<<"$files" || fail "$path is not in the package"
done
outside=$(grep -v -e '^/$' -e '^/usr/' <<<"$files")
[[ -z "$outside" ]] || fail "files outside /usr: $outside"
awk '$2 != "root/root" { print "FAIL: not owned by root: " $6 }' <<<"$listing" | grep . && failures=$((failures + 1))
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print "FAIL: folder not 0755: " $6 }' <<<"$listing" | grep . &&
    failures=$((failures + 1))

# --- Control fields: the version, and dependencies worked out from the binaries ---
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] || fail "package version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6serialport6 libqt6widgets6 libqt6network6 libstdc++6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

# --- The packaged programs, run from a scratch folder ---
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
k400gw=$root/usr/bin/k400gw
[[ $("$k400gw" --version) == "k400gw $version" ]] || fail "k400gw --version says '$("$k400gw" --version 2>&1)'"
[[ $("$root/usr/bin/k400gw-gui" --version 2>&1) == *"$version"* ]] || fail "k400gw-gui --version"
# Every command has its section in the manual page.
manual=$(gzip -dc "$root/usr/share/man/man1/k400gw.1.gz")
for command in $("$k400gw" help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }'); do
    grep -qxF ".SS \"$command\"" <<<"$manual" || fail "the manual page has no section for '$command'"
done
[[ $(gzip -dc "$root/usr/share/doc/k400gw/changelog.gz" | head -n 1) == "k400gw ($version) "* ]] ||
    fail "changelog.gz does not start with version $version"
# The example scenarios load: the simulated gateway each describes answers.
for scenario in "$root"/usr/share/doc/k400gw/examples/scenarios/*.json; do
    (cd "$root" && timeout 60 "$k400gw" identify --pace-ms 0 --port "sim:$scenario" >/dev/null) ||
        fail "example $(basename "$scenario") does not run"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/k400gw-gui.desktop" || fail "desktop entry"
fi

((failures == 0)) && echo "Package OK: $(wc -l <<<"$files") entries"
((failures == 0))

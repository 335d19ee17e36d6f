#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks it: every file in its place,
# the program alone in bin/, the libraries it needs among the dependencies, the desktop entry and
# the AppStream data valid where the validators are installed, and the packaged program
# answering --version and --help, and planning on the command line, without a display.
#   check-package.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$out"/quendra-rename_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package was made"
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')

app=org.example.quendra
for file in ./usr/bin/quendra-rename \
    ./usr/share/quendra-rename/F2J.txt ./usr/share/quendra-rename/J2F.txt \
    ./usr/share/quendra-rename/F2JPhrases.txt ./usr/share/quendra-rename/J2FPhrases.txt \
    ./usr/share/quendra-rename/PinyinChars.txt ./usr/share/quendra-rename/PinyinPhrases.txt \
    ./usr/share/doc/quendra-rename/Pinyin.NOTICE \
    ./usr/share/doc/quendra-rename/F2J.NOTICE ./usr/share/doc/quendra-rename/README.md \
    ./usr/share/doc/quendra-rename/LICENSE ./usr/share/doc/quendra-rename/copyright \
    ./usr/share/applications/$app.desktop ./usr/share/metainfo/$app.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$app.svg ./usr/share/man/man1/quendra-rename.1.gz \
    ./usr/lib/quendra-rename/quendra-rename-window.so ./usr/share/doc/quendra-rename/docs/window-0.png; do
    grep -qxF "$file" <<<"$listing" || fail "missing from the package: $file"
done
strays=$(grep -E '^\./usr/bin/.' <<<"$listing" | grep -vxF ./usr/bin/quendra-rename || true)
[ -z "$strays" ] || fail "more than the program in bin/: $strays"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 qt6-qpa-plugins 'fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei'; do
    grep -qF "$library" <<<"$depends" || fail "the package does not depend on $library: $depends"
done
# Every picture the README shows is installed beside it, where its link points.
source=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
for picture in $(grep -oE '\]\(docs/[^)]+\.png\)' "$source/README.md" | sed -e 's/^](//' -e 's/)$//' | sort -u); do
    grep -qxF "./usr/share/doc/quendra-rename/$picture" <<<"$listing" || fail "the README's $picture is not installed beside it"
done

dpkg-deb -x "$deb" "$out/root"
grep -qxF 'MimeType=inode/directory;' "$out/root/usr/share/applications/$app.desktop" \
    || fail "the desktop entry does not offer to open folders"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$out/root/usr/share/applications/$app.desktop" || fail "invalid desktop entry"
fi
# Software centres show the window by the AppStream data's screenshots, each one of the README's pictures.
for shot in $(grep -oE '/screenshots/[^<]+\.png' "$out/root/usr/share/metainfo/$app.metainfo.xml" | sed 's|^/screenshots/||'); do
    [ -f "$source/docs/$shot" ] || fail "the AppStream screenshot $shot is not among the pictures in docs/"
done
grep -q '<screenshot type="default">' "$out/root/usr/share/metainfo/$app.metainfo.xml" \
    || fail "the AppStream data shows no screenshot"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$out/root/usr/share/metainfo/$app.metainfo.xml" || fail "invalid AppStream data"
fi
if command -v man >/dev/null; then
    warnings=$(MANWIDTH=80 man --warnings -l "$out/root/usr/share/man/man1/quendra-rename.1.gz" 2>&1 >/dev/null || true)
    [ -z "$warnings" ] || fail "the manual page gives troff warnings: $warnings"
fi
program="$out/root/usr/bin/quendra-rename"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version)
grep -q '^quendra-rename [0-9]' <<<"$version" || fail "--version printed: $version"
# Into a file first: grep -q leaves at its first match, and the rest of a long text would meet a
# closed pipe.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help >"$out/help" || fail "--help failed"
grep -q 'quendra-rename apply' "$out/help" || fail "--help printed: $(cat "$out/help")"
# The window's module is found where the package put it, and says there is no display.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>"$out/window" || status=$?
[ "$status" -eq 1 ] || fail "without a display the program ended with status $status, not 1"
grep -q '没有图形显示' "$out/window" || fail "without a display the program said: $(cat "$out/window")"
# The command line starts without the window's libraries.
if command -v ldd >/dev/null && ldd "$program" | grep -q libQt6Widgets; then
    fail "the program itself links the widget libraries"
fi
# The command line needs no display either, and finds the installed tables.
mkdir "$out/files"
touch "$out/files/中國.txt"
plan=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_STATE_HOME="$out/state" XDG_CONFIG_HOME="$out/config" \
    "$program" apply --dry-run --json --to-simplified "$out/files")
grep -qF '"new":"中国.txt"' <<<"$plan" || fail "apply --dry-run --to-simplified printed: $plan"
echo "check-package: $(basename "$deb") is complete"

#!/usr/bin/env bash
# The Debian package as an administrator installs it: made by CPack from this build,
# unpacked into a scratch root, and its programs run from there: the installed regdisc-cli
# writes a sample disc (with the installed helper's PDF copies) and reads it, the installed
# regdisc starts; the desktop entry, the software-centre data, the icons and the manual
# pages are checked with the desktop's own tools, the package with lintian.
#
#   package_test.sh BUILD_DIR VERSION CPACK
set -euo pipefail
build=$1
version=$2
cpack=$3

if ! command -v dpkg >/dev/null || ! command -v dpkg-deb >/dev/null; then
    echo "SKIPPED: dpkg is not installed, so no Debian package can be made or unpacked here"
    exit 77
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
expect_equal() {  # what, actual, expected
    [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
}

# --- the package ---------------------------------------------------------------------
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log" >&2
    echo "FAIL: cpack could not make the package" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb="$scratch/out/regdisc_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$scratch/out" >&2; echo "FAIL: no $deb" >&2; exit 1; }

field() { dpkg-deb --field "$deb" "$1"; }
expect_equal Package "$(field Package)" regdisc
expect_equal Version "$(field Version)" "$version"
expect_equal Architecture "$(field Architecture)" "$arch"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\>$ ]] || fail "Maintainer is not 'name <e-mail>': $(field Maintainer)"
description=$(field Description)
summary=${description%%$'\n'*}
[ -n "$summary" ] && [ ${#summary} -le 80 ] || fail "the short description is empty or too long: $summary"
[ "$(printf '%s\n' "$description" | wc -l)" -ge 5 ] || fail "no long description"
# Libraries found by dpkg-shlibdeps and what the application uses without linking it.
depends=$(field Depends)
for package in 'libqt6core6' 'libqt6gui6' 'libqt6widgets6' 'libqt6printsupport6' 'libicu[0-9]+' \
    'libxlsxwriter[0-9]*' 'libsqlite3-0' 'libc6' 'libstdc\+\+6' 'fonts-noto-cjk' 'fonts-arphic-uming' \
    'qt6-translations-l10n' 'qt6-qpa-plugins' 'xdg-utils'; do
    [[ ", $depends," =~ ,\ $package[\ ,] ]] || fail "Depends lacks $package: $depends"
done

# --- the files -------------------------------------------------------------------------
dpkg -x "$deb" "$scratch/root"
usr="$scratch/root/usr"
id=io.github.regdisc.regdisc
for file in bin/regdisc bin/regdisc-cli libexec/regdisc/regdisc-pdfcopy \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/man/man1/regdisc.1.gz share/man/man1/regdisc-cli.1.gz \
    share/doc/regdisc/copyright share/doc/regdisc/changelog.gz; do
    [ -f "$usr/$file" ] || fail "the package lacks /usr/$file"
done
for program in bin/regdisc bin/regdisc-cli libexec/regdisc/regdisc-pdfcopy; do
    [ -x "$usr/$program" ] || fail "/usr/$program is not executable"
done
# The icon at every size of the theme, each picture as large as its folder says.
for size in 16 22 24 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    if [ ! -f "$png" ]; then
        fail "no ${size}x${size} icon"
        continue
    fi
    read -r width height < <(python3 -c 'import struct,sys
d=open(sys.argv[1],"rb").read(24)
assert d[:8]==b"\x89PNG\r\n\x1a\n", "not a PNG"
print(*struct.unpack(">II", d[16:24]))' "$png")
    expect_equal "${size}x${size} icon" "${width}x${height}" "${size}x${size}"
done

# --- the installed programs ------------------------------------------------------------
# Without a display, as on a terminal: regdisc-cli needs none, and regdisc answers
# --version and --help without opening a window.
plain=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
expect_equal "regdisc-cli --version" "$("${plain[@]}" "$usr/bin/regdisc-cli" --version)" "regdisc-cli $version"
expect_equal "regdisc --version" "$("${plain[@]}" "$usr/bin/regdisc" --version 2>&1)" "regdisc $version"
"${plain[@]}" "$usr/bin/regdisc" --help 2>&1 | grep -q '\[FOLDER\]' || fail "regdisc --help does not name FOLDER"

# The sample's PDF copies come from the installed helper: nothing else lies where the
# installed regdisc-cli looks for it.
if ! "${plain[@]}" "$usr/bin/regdisc-cli" sample "$scratch/disc" --records 200 2>"$scratch/sample.err"; then
    fail "the installed regdisc-cli sample failed: $(cat "$scratch/sample.err")"
fi
copies=$(find "$scratch/disc/stkidx" -name 'X001_*.pdf' -size +1k | wc -l)
expect_equal "PDF copies written by the installed helper" "$copies" 12
info=$("${plain[@]}" "$usr/bin/regdisc-cli" info "$scratch/disc" 2>&1) || fail "regdisc-cli info failed: $info"
expect_equal "regdisc-cli info" "$info" "baseName: X001
securityName: 虛構科技
dataDate: 113/12/06
decimalFlag: N
productionDate: 113/12/09"

# The installed desktop application starts on the disc and keeps running.
QT_QPA_PLATFORM=offscreen "$usr/bin/regdisc" "$scratch/disc" >"$scratch/app.log" 2>&1 &
app=$!
sleep 3
if kill -0 "$app" 2>/dev/null; then
    kill "$app"
    wait "$app" 2>/dev/null || true
else
    wait "$app" && status=0 || status=$?
    fail "the installed regdisc ended by itself (status $status): $(cat "$scratch/app.log")"
fi

# --- the launcher, the software-centre data, the manual pages --------------------------
desktop="$usr/share/applications/$id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate found faults in $id.desktop"
entry() { sed -n "s/^$1=//p" "$desktop"; }
expect_equal "desktop entry Exec" "$(entry Exec)" "regdisc %f"
expect_equal "desktop entry Icon" "$(entry Icon)" "$id"
expect_equal "desktop entry Categories" "$(entry Categories)" "Office;Finance;"
expect_equal "desktop entry Name[zh_TW]" "$(entry 'Name\[zh_TW\]')" "證券所有人名冊查詢"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$scratch/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$scratch/appstream.log")"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
    fail "the software-centre data does not list version $version"

for page in regdisc regdisc-cli; do
    if ! LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$usr/share/man/man1/$page.1.gz" \
        >"$scratch/$page.txt" 2>"$scratch/$page.err" || [ -s "$scratch/$page.err" ]; then
        fail "man $page: $(cat "$scratch/$page.err")"
    fi
    for heading in NAME SYNOPSIS DESCRIPTION OPTIONS "SEE ALSO"; do
        grep -q "^$heading" "$scratch/$page.txt" || fail "man $page has no $heading"
    done
done
# Every command with its options and an example, as the program describes them.
for command in info query listing sample holder batch export check; do
    grep -Eq "^ +regdisc-cli +$command +[A-Z]" "$scratch/regdisc-cli.txt" || fail "man regdisc-cli lacks the command $command"
    grep -Eq "\\$ regdisc-cli +$command " "$scratch/regdisc-cli.txt" || fail "man regdisc-cli has no example of $command"
done
for option in --json --next --records --exact --registers --out --prefix --force "Output files:" "Exit status:"; do
    grep -q -- "$option" "$scratch/regdisc-cli.txt" || fail "man regdisc-cli lacks $option"
done

# --- lintian ---------------------------------------------------------------------------
if lintian --fail-on error "$deb" >"$scratch/lintian.log" 2>&1; then
    grep -v '^running with root' "$scratch/lintian.log" || true
else
    fail "lintian found errors: $(cat "$scratch/lintian.log")"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "regdisc_${version}_${arch}.deb: $(du -k "$deb" | cut -f1) kB, installed and checked"

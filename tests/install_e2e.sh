#!/usr/bin/env bash
# Installs the built game as a packager and a player would (cmake --install, then the .deb) and checks the result.
# Usage: install_e2e.sh <brakko binary> <project root>. Writes only under its own temporary directory.
set -euo pipefail

brakko=$(readlink -f "$1")
root=$(readlink -f "$2")
build=$(dirname "$brakko")
work=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
    if [ -n "$game_pid" ]; then kill -9 "$game_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

assets=(img/title.bmp img/tooth.bmp img/bot.bmp img/loose.bmp img/won.bmp img/practice.bmp
    snd/goof.ogg snd/robot_wars.ogg snd/vexo.ogg snd/down.ogg replays/solution.replay icons/brakko-48.bmp
    $(cd "$root" && echo levels/*.level) levels/pars)

# Every file the install must produce, relative to the prefix, and nothing else.
expected_files() {
    printf '%s\n' games/brakko lib/brakko/brakko share/applications/brakko.desktop \
        share/icons/hicolor/48x48/apps/brakko.png share/icons/hicolor/128x128/apps/brakko.png \
        share/man/man6/brakko.6.gz share/doc/brakko/changelog.gz share/doc/brakko/copyright \
        share/metainfo/org.example.brakko.metainfo.xml
    printf 'share/brakko/%s\n' "${assets[@]}"
}

# Runs the installed launcher from / with the dummy drivers for a few seconds, passing on any further
# arguments. The game only ever prints failure lines, so a silent run that is still going when stopped found
# its pictures and music (and its solution). SIGKILL, because SDL turns SIGTERM into a quit event and the
# game would then end as if by itself.
smoke_run() {
    local launcher=$1 what=$2 rc=0
    shift 2
    (cd / && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout -s KILL 5 "$launcher" "$@" >"$work/smoke.out" 2>&1) 2>/dev/null || rc=$?
    if [ "$rc" -ne 137 ]; then
        fail "the game started from $what ended by itself with status $rc instead of running until stopped"
    fi
    if [ -s "$work/smoke.out" ]; then
        fail "the game started from $what printed: $(head -5 "$work/smoke.out")"
    fi
}

# --- cmake --install into a temporary prefix -------------------------------------------------------------------
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
    cat "$work/install.log" >&2
    fail "cmake --install into $prefix failed"
    exit 1
}

(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
expected_files | sort >"$work/expected"
if ! diff -u "$work/expected" "$work/installed" >"$work/layout.diff"; then
    fail "the installed files under the prefix differ from the layout (- missing, + unexpected):
$(tail -n +3 "$work/layout.diff" | grep '^[-+]')"
fi

for f in "${assets[@]}"; do
    if [ -f "$prefix/share/brakko/$f" ] && ! cmp -s "$root/$f" "$prefix/share/brakko/$f"; then
        fail "the installed share/brakko/$f is not a copy of the project's $f"
    fi
done
for f in games/brakko lib/brakko/brakko; do
    [ -x "$prefix/$f" ] || fail "$f is not executable after the install"
done
[ "$(head -c 4 "$prefix/lib/brakko/brakko" | tail -c 3)" = ELF ] ||
    fail "lib/brakko/brakko is not the game binary"

for size in 48 128; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/brakko.png
    if [ -f "$icon" ]; then
        got=$(identify -format '%m %wx%h' "$icon" 2>/dev/null || echo unreadable)
        [ "$got" = "PNG ${size}x${size}" ] || fail "the ${size}x${size} icon is '$got', not a ${size}x${size} PNG"
    fi
done

gzip -t "$prefix/share/man/man6/brakko.6.gz" 2>/dev/null || fail "the manual page is not a valid gzip file"

desktop=$prefix/share/applications/brakko.desktop
if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 ||
        fail "desktop-file-validate rejects the menu entry: $(cat "$work/desktop.log")"
    grep -qx 'Exec=brakko' "$desktop" || fail "the menu entry does not start the launcher 'brakko'"
    grep -qx 'Icon=brakko' "$desktop" || fail "the menu entry does not name the icon 'brakko'"
    grep -qx 'Categories=Game;LogicGame;' "$desktop" || fail "the menu entry is not in Game;LogicGame;"
fi

# The software-centre metadata's screenshots are the pictures kept in the project, at the sizes it gives
# (AppStream's validator checks the rest, in the package below).
metainfo=$prefix/share/metainfo/org.example.brakko.metainfo.xml
if [ -f "$metainfo" ]; then
    sed -n 's|.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/]*\)</image>.*|\3 \1x\2|p' \
        "$metainfo" >"$work/screenshots"
    [ -s "$work/screenshots" ] || fail "the metainfo names no screenshots"
    while read -r name size; do
        got=$(identify -format '%m %wx%h' "$root/packaging/screenshots/$name" 2>/dev/null || echo missing)
        [ "$got" = "PNG $size" ] ||
            fail "the metainfo's screenshot $name is $size, but packaging/screenshots/$name is: $got"
    done <"$work/screenshots"
fi

# The launcher, moved elsewhere and reached through a symbolic link, must still find its own prefix and
# enter share/brakko, passing the arguments on with a relative replay or recording made absolute from where
# the player stood, as the next word or after "=", and nothing after "--" touched: a stand-in binary records
# where it ran and with what, one line each.
moved=$work/moved/deeper
mkdir -p "$moved" "$work/links" "$work/player"
cp -a "$prefix/." "$moved/"
cat >"$moved/lib/brakko/brakko" <<'EOF'
#!/bin/sh
printf '%s\n' "$(pwd -P)" "$@" >"$BRAKKO_PROBE"
EOF
ln -s "$moved/games/brakko" "$work/links/brakko"
(cd "$work/player" && BRAKKO_PROBE=$work/probe "$work/links/brakko" --record "my run" --replay /tmp/x.replay \
    --replay="a b.replay" --record=/tmp/y.replay --pack=my/pack --pack=/tmp/p --solution -- --replay "two words") ||
    fail "the moved launcher failed"
player=$(cd "$work/player" && pwd)
want=$(printf '%s\n' "$(cd "$moved/share/brakko" && pwd -P)" --record "$player/my run" --replay /tmp/x.replay \
    --replay="$player/a b.replay" --record=/tmp/y.replay --pack="$player/my/pack" --pack=/tmp/p --solution -- \
    --replay "two words")
got=$(cat "$work/probe" 2>/dev/null || echo "nothing")
[ "$got" = "$want" ] ||
    fail "the moved launcher ran the game as '$got' (directory, then arguments), wanted '$want'"

smoke_run "$prefix/games/brakko" "the cmake --install prefix"
smoke_run "$prefix/games/brakko" "the cmake --install prefix in practice mode" --practice
XDG_STATE_HOME=$work/state smoke_run "$prefix/games/brakko" "the installed pack" --pack

# The installed game's window, in a real X server: the class the menu entry's StartupWMClass names, and the
# icon, read back as the window manager would (_NET_WM_ICON where SDL sets it, which must then be the 48 pixel
# icon pixel for pixel; classic SDL sets a WM_HINTS icon pixmap instead).
source "$root/scripts/xvfb.sh"
if start_xvfb "$work"; then
    (cd / && SDL_AUDIODRIVER=dummy exec "$prefix/games/brakko" >"$work/window.out" 2>&1) &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --name '^Brakko$' | head -n1) || true
    if [ -z "$window" ]; then
        fail "the installed game opened no window captioned Brakko"
    else
        class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "\(.*\)", "\(.*\)"$/\2/p') || true
        wanted=$(sed -n 's/^StartupWMClass=//p' "$desktop")
        [ -n "$class" ] && [ "$class" = "$wanted" ] ||
            fail "the window's class is '$class', but the menu entry's StartupWMClass is '$wanted'"
        xprop -id "$window" -notype 32c _NET_WM_ICON >"$work/net_icon" 2>&1 || true
        if grep -q '^_NET_WM_ICON = ' "$work/net_icon"; then
            # Width, height, then each pixel as ARGB, see-through pixels all zero, as the PNG has them.
            convert "$root/icons/brakko-48.png" -depth 8 rgba:- | od -An -v -tu1 -w4 |
                awk 'BEGIN { printf "48, 48" } { printf ", %.0f", $4 * 16777216 + $1 * 65536 + $2 * 256 + $3 }' \
                    >"$work/icon_want" || true
            sed 's/^_NET_WM_ICON = //' "$work/net_icon" | tr -d '\n' >"$work/icon_got"
            cmp -s "$work/icon_want" "$work/icon_got" ||
                fail "the window's _NET_WM_ICON is not the 48 pixel icon: $(head -c 80 "$work/icon_got")"
        else
            xprop -id "$window" WM_HINTS | grep -q 'bitmap id # to use for icon: 0x' ||
                fail "the window has no icon, neither _NET_WM_ICON nor a WM_HINTS icon pixmap"
        fi
    fi
    kill -9 "$game_pid" 2>/dev/null || true
    wait "$game_pid" 2>/dev/null || true
    game_pid=
    [ ! -s "$work/window.out" ] || fail "the game in a window printed: $(head -5 "$work/window.out")"
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
else
    fail "Xvfb did not report a display, so the window's class and icon went unchecked"
fi

# --- the Debian package ------------------------------------------------------------------------------------------
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack could not build the .deb"
    exit 1
}
debs=("$work"/deb/brakko_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || {
    fail "cpack made ${#debs[@]} files named brakko_*.deb instead of one"
    exit 1
}
deb=${debs[0]}

field() { dpkg-deb --field "$deb" "$1"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
[ "$(field Package)" = brakko ] || fail "the package is named '$(field Package)', not brakko"
[ -n "$version" ] && [ "$(field Version)" = "$version" ] ||
    fail "the package version '$(field Version)' is not the project's '$version'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
    fail "the package architecture '$(field Architecture)' is not this machine's"
[ "$(field Section)" = games ] || fail "the package section is '$(field Section)', not games"
[ -n "$(field Maintainer)" ] || fail "the package has no maintainer"
depends=$(field Depends)
for runtime in libsdl1.2debian libsdl-mixer1.2; do
    echo "$depends" | tr ',' '\n' | grep -q "^ *$runtime\b" ||
        fail "the package does not depend on $runtime (Depends: $depends)"
done
dpkg-deb --info "$deb" >/dev/null || fail "dpkg-deb cannot read the package's control data"

dpkg-deb --contents "$deb" >"$work/contents"
awk '$6 !~ /\/$/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$work/contents" | sort >"$work/packaged"
if ! diff -u "$work/expected" "$work/packaged" >"$work/deb.diff"; then
    fail "the package's files under /usr differ from the layout (- missing, + unexpected):
$(tail -n +3 "$work/deb.diff" | grep '^[-+]')"
fi
awk '$2 != "root/root" { print $6 " is owned by " $2 }' "$work/contents" >"$work/owners"
[ ! -s "$work/owners" ] || fail "files in the package are not owned by root: $(cat "$work/owners")"
for f in ./usr/games/brakko ./usr/lib/brakko/brakko; do
    awk -v f="$f" '$6 == f && $1 != "-rwxr-xr-x" { exit 1 }' "$work/contents" ||
        fail "$f in the package is not mode 755"
done

# Lintian's errors fail the test, and so does any word about the copyright file;
# its warnings and notes are shown, not judged.
if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>/dev/null || true
    sed 's/^/lintian: /' "$work/lintian"
    grep -e '^E: ' -e 'copyright' "$work/lintian" >"$work/lintian.errors" || true
    [ ! -s "$work/lintian.errors" ] || fail "lintian finds errors in the package: $(cat "$work/lintian.errors")"
else
    echo "lintian is not installed: the package is not linted"
fi

# apt must find every dependency; the simulation changes nothing on this machine.
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 && grep -q '^Inst brakko ' "$work/apt.log" ||
    fail "apt-get cannot install the package here: $(tail -5 "$work/apt.log")"

# Unpack into a throwaway root (dpkg's own database when we are root, a plain extraction otherwise) and play
# it from there.
fakeroot=$work/root
if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$fakeroot/var/lib/dpkg/info" "$fakeroot/var/lib/dpkg/updates" "$fakeroot/var/lib/dpkg/triggers"
    touch "$fakeroot/var/lib/dpkg/status"
    dpkg --root="$fakeroot" --log=/dev/null --force-depends -i "$deb" >"$work/dpkg.log" 2>&1 ||
        fail "dpkg cannot install the package into a throwaway root: $(tail -5 "$work/dpkg.log")"
    dpkg --root="$fakeroot" -s brakko 2>/dev/null | grep -qx 'Status: install ok installed' ||
        fail "dpkg does not list brakko as installed in the throwaway root"
else
    dpkg-deb -x "$deb" "$fakeroot"
fi
smoke_run "$fakeroot/usr/games/brakko" "the unpacked package with --solution" --solution

# The package as a software centre reads it: its metainfo valid by AppStream's own validator, offline (the
# addresses it names are not fetched), and the menu entry it launches in the package beside it.
appstreamcli validate-tree --no-net "$fakeroot" >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli rejects the package's metainfo: $(cat "$work/appstream.log")"

if [ "$failures" -ne 0 ]; then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "install: layout, launcher, menu entry, metainfo, window class and icon, package and lintian all as expected"

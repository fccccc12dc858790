#!/usr/bin/env bash
# What `cmake --install` gives a user's machine, checked in a scratch DESTDIR:
#  - the installed files, against tests/data/installed-files.txt (relative to the prefix);
#  - the desktop entry, the file-manager actions and the AppStream metainfo, with their
#    validators; every screenshot the metainfo lists is in docs/screenshots/;
#  - every man page rendered without a warning; the completions parse in their shells;
#  - the installed `pixwright run` on the installed demo pictures with a scratch HOME: results
#    on its desktop, the camera tool found in libexec, the settings read from
#    $XDG_CONFIG_HOME/pixwright/Set.ini, and nothing written into the installed tree.
# Usage: install_tree.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail()
{
    echo "install_tree: $*" >&2
    failures=$((failures + 1))
}

dest="$scratch/dest"
prefix="$dest/usr"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null

installed_files()
{
    (cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
}
expected="$source/tests/data/installed-files.txt"
installed_files >"$scratch/files"
diff -u "$expected" "$scratch/files" || fail "the installed files differ from $expected"

id="io.github.pixwright.Pixwright"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
grep -qx 'Exec=pixwright %F' "$prefix/share/applications/$id.desktop" || fail "Exec line"
if grep -q 'inode/directory' "$prefix/share/applications/$id.desktop"; then
    fail "the desktop entry would take over opening folders (inode/directory)"
fi
# The service menu and the Nemo action are desktop-file syntax with their own keys: only the
# syntax is for the validator to judge.
for action in "$prefix/share/kio/servicemenus/"*.desktop "$prefix/share/nemo/actions/"*.nemo_action; do
    grep -q '^Exec=pixwright %F$' "$action" || fail "$action: Exec line"
    grep -q '^Name\[zh_CN\]=用 Pixwright 调整大小$' "$action" || fail "$action: Chinese name"
done
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$scratch/as.txt" 2>&1 ||
    { cat "$scratch/as.txt" >&2; fail "AppStream metainfo"; }
for shot in $(grep -o 'docs/screenshots/[^< ]*\.png' "$prefix/share/metainfo/$id.metainfo.xml"); do
    [[ -f "$source/$shot" ]] || fail "the metainfo lists $shot, which is not in the repository"
done
for size in 16 22 24 32 48 64 128 256 512; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | grep -q "$size x $size" ||
        fail "icon ${size}x${size}"
done

while IFS= read -r page; do
    warnings="$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)"
    [[ -z "$warnings" ]] || fail "$page: $warnings"
    rendered="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null)"
    for word in "pixwright run" "pixwright rename" "pixwright info" "--preset" "Set.ini"; do
        grep -qF -- "$word" <<<"$rendered" || fail "$page: renders without \"$word\""
    done
done < <(find "$prefix/share/man" -name '*.1')

bash -n "$prefix/share/bash-completion/completions/pixwright" || fail "bash completion"
zsh -n "$prefix/share/zsh/site-functions/_pixwright" || fail "zsh completion"
fish --no-execute "$prefix/share/fish/vendor_completions.d/pixwright.fish" || fail "fish completion"

# A user with nothing stored yet: HOME and the config folder are scratch folders.
home="$scratch/home"
mkdir -p "$home"
run_installed()
{
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_RUNTIME_DIR="$scratch" LC_ALL=C.UTF-8 "$prefix/bin/pixwright" "$@"
}
"$prefix/bin/pixwright" --help | grep -q 'FOLDER | FILE' || fail "--help does not list opening"
# An existing path opens the wizard; without a display that is refused, never a crash.
status=0
run_installed "$prefix/share/pixwright/演示" >/dev/null 2>"$scratch/nodisplay.txt" || status=$?
((status == 2)) && grep -q '没有显示器' "$scratch/nodisplay.txt" ||
    fail "pixwright FOLDER without a display: exit $status, $(cat "$scratch/nodisplay.txt")"
status=0
run_installed no-such-command >/dev/null 2>&1 || status=$?
((status == 2)) || fail "an unknown command word answered $status"
run_installed run "$prefix/share/pixwright/演示" --yes --keep-exif >"$scratch/run1.txt" 2>&1 ||
    { cat "$scratch/run1.txt" >&2; fail "pixwright run on the demo pictures"; }
results=("$home/Desktop/pixwright_新图/演示/"*/*/*.jpg)
[[ ${#results[@]} -eq 5 ]] || fail "expected 5 results on the desktop, found ${#results[@]}"
photo=("$home/Desktop/pixwright_新图/演示/"*/*/*竖拍晚霞.jpg)
LC_ALL=C grep -q Exif "${photo[0]}" || fail "the camera information was not kept: pwReadSM not found?"

# The remembered folder comes from $XDG_CONFIG_HOME/pixwright/Set.ini (GB18030, CR LF).
mkdir -p "$scratch/photos" "$home/.config/pixwright"
cp "$prefix/share/pixwright/演示/湖山远眺.jpg" "$scratch/photos/"
printf '[默认打开路径]\r\n目录位置=%s/photos/\r\n' "$scratch" | iconv -f UTF-8 -t GB18030 \
    >"$home/.config/pixwright/Set.ini"
run_installed run --yes >"$scratch/run2.txt" 2>&1 ||
    { cat "$scratch/run2.txt" >&2; fail "pixwright run on the remembered folder"; }
remembered=("$home/Desktop/pixwright_新图/photos/"*/*/*.jpg)
[[ -f "${remembered[0]}" ]] || fail "the folder remembered in \$XDG_CONFIG_HOME was not used"

installed_files >"$scratch/after"
diff -u "$scratch/files" "$scratch/after" || fail "the runs wrote into the installed tree"

((failures == 0)) || exit 1
echo "install_tree: $(wc -l <"$scratch/files") files installed and checked"

#!/usr/bin/env bash
# Regenerates src/textui/txt_font.cpp, the text-mode toolkit's code-page-437 glyphs, from
# the VGA-style 8x16 console fonts of Debian's console-setup-linux package (their licence
# is kept in src/textui/txt_font_LICENSE.txt). Needs apt-get and a built tools/txtfont.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${TXTFONT:-build/tools/txtfont/txtfont}
[ -x "$tool" ] || cmake --build build --target txtfont
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get download console-setup-linux >/dev/null)
dpkg-deb -x "$work"/console-setup-linux_*.deb "$work/pkg"
fonts="$work/pkg/usr/share/consolefonts"
# FullGreek has the font's box drawing, blocks and symbols; Uni2 adds the accented letters.
# (Uni2 draws double lines as single ones, so it must come second.)
for f in FullGreek-VGA16 Uni2-VGA16; do
    gzip -dc "$fonts/$f.psf.gz" >"$work/$f.psf"
done
"$tool" src/textui/txt_font.cpp "$work/FullGreek-VGA16.psf" "$work/Uni2-VGA16.psf"
echo "wrote src/textui/txt_font.cpp"

#!/usr/bin/env bash
# Installs the built program into a temporary prefix and checks the tree with
# the desktop's own validators, builds the Debian package and checks its
# dependencies and contents, then starts the installed program under Xvfb.
# Usage: check_install.sh BUILD_FOLDER
set -euo pipefail
build=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "install FAILED: $*" >&2
  exit 1
}

id=cz.tremanova.pixly
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
installed=(bin/pixly share/pixly/logo.jpg share/pixly/pixly.ico
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml")
for size in 16 24 32 48 64 128 256; do
  icon=share/icons/hicolor/${size}x${size}/apps/pixly.png
  installed+=("$icon")
  # A PNG's width and height stand big-endian at bytes 16 to 23.
  [ "$(od -An -tu1 -j16 -N8 "$prefix/$icon" 2>/dev/null | tr -s ' ')" = \
    " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] || fail "$icon is not $size pixels"
done
for file in "${installed[@]}"; do
  [ -s "$prefix/$file" ] || fail "$file not installed"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  fail "AppStream metadata not valid: $(cat "$work/appstream.log")"
grep -qx 'Exec=pixly %f' "$prefix/share/applications/$id.desktop" || fail "desktop entry takes no file"
for type in image/heic image/avif image/webp image/png image/gif image/tiff image/jxl image/x-adobe-dng \
  image/x-canon-cr3 image/x-nikon-nef image/x-sony-arw image/x-fuji-raf; do
  grep -q "^MimeType=.*$type;" "$prefix/share/applications/$id.desktop" || fail "desktop entry does not open $type"
  grep -q "<mediatype>$type</mediatype>" "$prefix/share/metainfo/$id.metainfo.xml" || fail "AppStream lacks $type"
done

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
  fail "no package: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/pixly_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6gui6 libqt6network6 libqt6multimedia6 libjpeg62-turbo libc6 \
  qt6-qpa-plugins qt6-translations-l10n gstreamer1.0-plugins-good gstreamer1.0-plugins-bad \
  gstreamer1.0-libav timgm6mb-soundfont fonts-dejavu-core fonts-liberation2 fonts-urw-base35 \
  libheif1 libjxl0.7 libraw20 qt6-image-formats-plugins libwebp7 libwebpdemux2 liblcms2-2 libxcb1; do
  grep -Eq "(^|, |\| )$package( |,|$)" <<<"$depends" || fail "package does not depend on $package: $depends"
done
contents=$(dpkg-deb -c "$deb")
for file in "${installed[@]}"; do
  grep -q " \./usr/$file\$" <<<"$contents" || fail "package lacks /usr/$file"
done

E2E_MAKER_WEB=$(sed -n 's/^PIXLY_MAKER_WEB:STRING=//p' "$build/CMakeCache.txt") \
  "$here/../e2e/run_e2e.sh" "$here/installed_program.sh" "$prefix/bin/pixly"
echo "install: tree, validators, package and installed program checked"

#!/usr/bin/env bash
# Installs what is missing, builds the library and its gallery, and opens the gallery.
# Without a display it says so and writes the gallery's screenshots instead.
#
#   bash scripts/gallery.sh [screenshot-dir]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
shots="${1:-$root/out/screenshots}"

bash "$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)" --target ryqt-gallery

gallery="$build/examples/gallery/ryqt-gallery"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$gallery"
fi

echo "No display is available, so the gallery cannot open a window."
echo "Writing its screenshots instead, rendered offscreen, to: $shots"
QT_QPA_PLATFORM=offscreen "$gallery" --screenshot "$shots"

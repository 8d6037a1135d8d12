#!/usr/bin/env bash
# Installs what is missing, builds the library and its gallery, and opens the gallery.
# Without a display it says so and writes the gallery's screenshots instead.
#
#   bash scripts/gallery.sh [--qt 5|6] [screenshot-dir]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
qt=5
if [ "${1:-}" = "--qt" ]; then qt=$2; shift 2; fi
build="$root/build"
[ "$qt" = 5 ] || build="$root/build-qt$qt"
shots="${1:-$root/out/screenshots}"

bash "$root/scripts/deps.sh"
# The examples are forced on: a tree configured by hand without them still builds the gallery.
cmake -S "$root" -B "$build" -DQT_MAJOR_VERSION="$qt" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRYQT_BUILD_EXAMPLES=ON -DRYQT_SANITIZE=OFF
cmake --build "$build" --parallel "$(nproc)" --target ryqt-gallery

gallery="$build/examples/gallery/ryqt-gallery"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$gallery"
fi

echo "No display is available, so the gallery cannot open a window."
echo "Writing its screenshots instead, rendered offscreen, to: $shots"
QT_QPA_PLATFORM=offscreen "$gallery" --screenshot "$shots"

#!/usr/bin/env bash
# Installs what is missing, builds ryQt with its tests against Qt 5.15 and Qt 6, and runs every
# test on both: offscreen at scale 1 and at the hi-DPI scales, and the widget tests on X11 (Xvfb
# with openbox) and on Wayland (headless sway), each on a private server; then again with
# AddressSanitizer and UndefinedBehaviorSanitizer (leak checks on), offscreen at scale 1.
# --debs then builds the Debian packages of every Qt build, installs them all into the system
# with apt-get, builds a CMake host against each from /usr, imports each Python module from
# there, and removes them again: meant for a
# disposable CI machine, as it changes /usr (the test suite itself only unpacks them).
#
#   bash scripts/test.sh [--no-sanitizers] [--qt 5|6] [--debs]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sanitize=1
debs=0
qts=(5 6)
while [ $# -gt 0 ]; do
  case "$1" in
    --no-sanitizers) sanitize=0; shift ;;
    --debs) debs=1; shift ;;
    --qt) qts=("$2"); shift 2 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

bash "$root/scripts/deps.sh"
jobs=$(nproc)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Options are forced on every configure, so a tree configured by hand with other values still
# builds and runs everything; a run that finds no test fails.
run_suite() {
  local build=$1; shift
  echo "== configuring $build"
  cmake -S "$root" -B "$build" -DRYQT_BUILD_TESTS=ON -DRYQT_BUILD_SHARED=ON -DRYQT_WERROR=ON "${launcher[@]}" "$@"
  echo "== building $build"
  cmake --build "$build" --parallel "$jobs"
  echo "== testing $build"
  ctest --test-dir "$build" --output-on-failure --parallel "$jobs" --no-tests=error
}

suffix() { [ "$1" = 5 ] && echo "" || echo "-qt$1"; }

# Each build after the first is told where the previous one is, so the tests that need both Qt
# versions at once (one install prefix, one run-guard key) can use it.
companion=""
for qt in "${qts[@]}"; do
  run_suite "$root/build$(suffix "$qt")" -DQT_MAJOR_VERSION="$qt" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRYQT_BUILD_EXAMPLES=ON -DRYQT_BUILD_BENCHMARKS=ON -DRYQT_BUILD_PYTHON=ON -DRYQT_SANITIZE=OFF -DRYQT_TEST_PLATFORMS="xcb;wayland" \
    -DRYQT_COMPANION_BUILD_DIR="$companion"
  companion="$root/build$(suffix "$qt")"
done
if [ "$sanitize" -eq 1 ]; then
  for qt in "${qts[@]}"; do
    run_suite "$root/build-asan$(suffix "$qt")" -DQT_MAJOR_VERSION="$qt" -DCMAKE_BUILD_TYPE=Debug \
      -DRYQT_SANITIZE=ON -DRYQT_BUILD_EXAMPLES=OFF -DRYQT_BUILD_BENCHMARKS=OFF -DRYQT_BUILD_PYTHON=OFF -DRYQT_TEST_SCALES="" -DRYQT_TEST_PLATFORMS=""
  done
fi

if [ "$debs" -eq 1 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  packages=()
  for qt in "${qts[@]}"; do
    build="$root/build$(suffix "$qt")"
    rm -rf "$build/packages"
    (cd "$build" && cpack -G DEB)
    packages+=("$build"/packages/*.deb)
  done
  names=()
  for deb in "${packages[@]}"; do names+=("$(dpkg-deb -f "$deb" Package)"); done
  echo "== installing ${names[*]}"
  trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -q "${names[@]}" >/dev/null' EXIT
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${packages[@]}"
  for qt in "${qts[@]}"; do
    name=ryQt; [ "$qt" = 5 ] || name=ryQt$qt
    host=$(mktemp -d)
    cmake -S "$root/tests/install/consumer" -B "$host" -DRYQT_PACKAGE="$name" -DRYQT_EXPECT_QT="$qt"
    cmake --build "$host" --parallel "$jobs"
    QT_QPA_PLATFORM=offscreen "$host/consumer"
    grep -q "^${name}_DIR:PATH=/usr/lib/cmake/$name\$" "$host/CMakeCache.txt"
    rm -rf "$host"
    # The Python package: the module imports from /usr and loads the packaged library.
    module=ryqt; pyqt=PyQt5
    [ "$qt" = 5 ] || { module=ryqt$qt; pyqt=PyQt$qt; }
    (cd / && QT_QPA_PLATFORM=offscreen /usr/bin/python3 -c "
import $module
from $pyqt.QtWidgets import QApplication
app = QApplication([])
$module.QToaster(None, $module.QToastGravity.TopLeft).notify('packaged')
assert $module.__file__.startswith('/usr/lib/python3/dist-packages/'), $module.__file__
assert any('/usr/lib/' in l and 'libryQt' in l for l in open('/proc/self/maps'))
print('$module from the Debian package ok')")
  done
  echo "== the Debian packages install, are found by find_package and run; removing them"
fi

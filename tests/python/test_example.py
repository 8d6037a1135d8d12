"""The Python example, examples/python/gallery.py, run as a user runs it: with --screenshot it
has to exit by itself and leave pictures that show each component at work."""

import os
import subprocess
import sys

import pytest

EXAMPLE = os.path.join(os.environ.get("RYQT_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..")),
                       "examples", "python", "gallery.py")
MODULE = os.environ.get("RYQT_PY_MODULE", "ryqt")
PICTURES = ("dialog-settings", "page-settings", "page-imaging", "page-toasts")


def run_example(args, env, folder):
    return subprocess.run([sys.executable, EXAMPLE, *args, "--screenshot", str(folder)], env=env,
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=240)


# The example picks its module from RYQT_PY_MODULE or from --qt; PYTHONPATH holds only this
# tree's module, so a wrong pick fails at the import.
@pytest.fixture(scope="module", params=["environment", "option"])
def shots(request, tmp_path_factory):
    env = dict(os.environ)
    args = []
    if request.param == "option":
        env.pop("RYQT_PY_MODULE", None)
        args = ["--qt", "6" if MODULE == "ryqt6" else "5"]
    folder = tmp_path_factory.mktemp(request.param)
    result = run_example(args, env, folder)
    assert result.returncode == 0, result.stderr
    return folder, result.stdout.split()


def pixels(qt, path):
    """The picture's size and its pixels as 0xAARRGGBB integers."""
    image = qt.QtGui.QImage(str(path))
    assert not image.isNull(), f"{path} is no picture"
    image = image.convertToFormat(qt.QtGui.QImage.Format.Format_RGB32)
    bits = image.constBits()
    bits.setsize(image.sizeInBytes())
    return image.size(), memoryview(bits.asstring()).cast("I")


def purple(colour):
    # The toast's panel; nothing else on the pages is that colour.
    r, g, b = (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF
    return r > 100 and b > 120 and g < 90 and r - g > 50


def test_writes_every_picture_and_names_it(shots):
    folder, printed = shots
    assert printed == [str(folder / f"{name}.png") for name in PICTURES]
    assert sorted(p.name for p in folder.iterdir()) == sorted(f"{name}.png" for name in PICTURES)


def test_pictures_are_window_sized_and_not_blank(shots, qt):
    folder, _ = shots
    sizes = {}
    for name in PICTURES:
        size, data = pixels(qt, folder / f"{name}.png")
        sizes[name] = (size.width(), size.height())
        assert len(set(data)) > 1, f"{name} is one flat colour"
    # The dialog's documented minimum, and the pages all of the one window's size.
    assert sizes["dialog-settings"][0] >= 600 and sizes["dialog-settings"][1] >= 400
    pages = {sizes[name] for name in PICTURES if name.startswith("page-")}
    assert len(pages) == 1
    width, height = pages.pop()
    assert 640 <= width <= 2000 and 400 <= height <= 1500


def test_toasts_are_drawn_in_both_corners_of_their_page_only(shots, qt):
    folder, _ = shots
    size, data = pixels(qt, folder / "page-toasts.png")
    width = size.width()
    left = sum(purple(c) for i, c in enumerate(data) if i % width < width // 3)
    right = sum(purple(c) for i, c in enumerate(data) if i % width >= width * 2 // 3)
    # A toast on its own at the top left, the toaster's at the top right: 40 x 30 pixels at least.
    assert left > 40 * 30 and right > 40 * 30
    for name in ("page-settings", "page-imaging"):
        assert not any(map(purple, pixels(qt, folder / f"{name}.png")[1])), f"a toast shows on {name}"


def test_window_level_clips_the_image_at_both_ends(shots, qt):
    folder, _ = shots
    data = pixels(qt, folder / "page-imaging.png")[1]
    # The narrow window the example sets makes black and white areas of the ramp and the disc;
    # an image shown without it has next to no pure white and only the view's margins black.
    black, white = data.tolist().count(0xFF000000), data.tolist().count(0xFFFFFFFF)
    assert black > len(data) // 10 and white > len(data) // 50

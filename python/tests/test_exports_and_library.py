import importlib.metadata
import os
import resource
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import talavex

DATA = "Hello talavex"


def _bgra(gray):
    return np.dstack([gray, gray, gray, np.full_like(gray, 255)])


def _in_photo(gray):
    photo = np.full((400, 300), 255, dtype=np.uint8)
    photo[250 : 250 + gray.shape[0], 20 : 20 + gray.shape[1]] = gray
    return photo


EXPORTS = [  # the export, how the image is made from the symbol, the bytes expected
    (talavex.recognize_y, lambda g: g, DATA.encode()),
    (talavex.recognize_y, lambda g: np.pad(g, ((0, 0), (0, 7)), constant_values=255)[:, : g.shape[1]], DATA.encode()),
    (talavex.recognize_y, lambda g: np.full_like(g, 255), b""),
    (talavex.recognize_bgra, _bgra, DATA.encode()),
    (talavex.recognize_photo_bgra, lambda g: _bgra(_in_photo(g)), DATA.encode()),
    (talavex.recognize_photo_bgra, lambda g: _bgra(g[:40, :40]), b"error"),  # photos need 64 x 64 pixels
]


@pytest.mark.parametrize("export, make, expected", EXPORTS)
def test_the_exports_return_the_bytes_of_their_c_function(aztec, export, make, expected):
    assert export(make(aztec(DATA))) == expected


EMPTY = [  # an export, an array without pixels, what the C function returns for such an image
    (talavex.recognize_y, np.zeros((0, 10**8), np.uint8), b""),  # numpy: strides 0, nothing behind the address
    (talavex.recognize_y, np.zeros((7, 0), np.uint8), b""),
    (talavex.recognize_bgra, np.zeros((0, 5, 4), np.uint8), b""),
    (talavex.recognize_photo_bgra, np.zeros((0, 5, 4), np.uint8), b"error"),  # below the photo search's size
]


@pytest.mark.parametrize("export, array, expected", EMPTY, ids=[f"{e.__name__}-{a.shape}" for e, a, _ in EMPTY])
def test_arrays_without_pixels_read_no_pixel(export, array, expected):
    assert export(array) == expected


def test_the_exports_take_raw_bytes_too(aztec):
    gray = aztec(DATA)
    assert talavex.recognize_y(gray.tobytes(), gray.shape[1], gray.shape[0]) == DATA.encode()


def _resident_bytes():
    with open("/proc/self/statm") as statm:
        return int(statm.read().split()[1]) * resource.getpagesize()


@pytest.mark.skipif(not os.path.exists("/proc/self/statm"), reason="reads the resident size from /proc")
def test_ten_thousand_reads_leave_the_memory_flat(aztec):
    # 300 bytes of data: a result left unfreed costs over 300 bytes per call,
    # 3 MB over the loop, far above the allocator's noise.
    data = "talavex " * 37 + "end!"
    gray = aztec(data, scale=2)
    for _ in range(200):  # the allocator's pools settle first
        talavex.read(gray)
        talavex.recognize_y(gray)
    before = _resident_bytes()
    for _ in range(10_000):
        assert talavex.read(gray)[0].bytes == data.encode()
        assert talavex.recognize_y(gray) == data.encode()
    assert _resident_bytes() - before < 1 << 20


def test_the_version_is_the_packages_and_the_cmake_projects():
    assert talavex.version() == importlib.metadata.version("talavex")
    cmake_lists = Path(__file__).resolve().parents[2] / "CMakeLists.txt"
    assert f"project(talavex VERSION {talavex.version()} " in cmake_lists.read_text()


def test_the_library_installed_beside_the_package_is_the_one_loaded():
    assert Path(talavex._library.lib._name).parent == Path(talavex.__file__).parent


def test_talavex_library_names_the_library_to_load():
    environment = dict(os.environ, TALAVEX_LIBRARY="/nonexistent/libtalavex.so")
    run = subprocess.run([sys.executable, "-c", "import talavex"], env=environment, capture_output=True, text=True)
    assert run.returncode != 0 and "/nonexistent/libtalavex.so" in run.stderr

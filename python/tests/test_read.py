import numpy as np
import pytest
from PIL import Image

import talavex

DATA = "Hello talavex"

CODEWORDS = {("compact", 1): 17, ("compact", 2): 40, ("full", 1): 21}  # per kind and layers

METADATA = [  # zint options, data, the fields expected
    ((), DATA, dict(bytes=DATA.encode(), text=DATA, identifier="]z0", kind="compact", layers=2, ecis=[])),
    (("--eci=26",), "Grüße", dict(bytes="Grüße".encode(), text="Grüße", identifier="]z3", ecis=[talavex.Eci(26, 0)])),
    (("--gs1",), "[01]09501101530003", dict(bytes=b"0109501101530003", gs1=True, identifier="]z1")),
    (("--structapp=2,3,ABC",), "part", dict(bytes=b"part", structured_append=talavex.StructuredAppend(2, 3, "ABC"))),
    (("--init",), "init", dict(reader_init=True, gs1=False, structured_append=None)),
    (("--vers=5",), "full range", dict(kind="full", layers=1)),
    (("--esc",), r"a\0b", dict(bytes=b"a\x00b", text="a")),  # the C text stops at the zero byte
]


@pytest.mark.parametrize("options, data, expected", METADATA, ids=lambda v: str(v)[:20] if isinstance(v, str) else None)
def test_a_symbol_reads_with_its_data_and_metadata(aztec, options, data, expected):
    (symbol,) = talavex.read(aztec(data, *options))
    assert symbol.status == "read" and symbol.codewords_corrected == 0
    assert {field: getattr(symbol, field) for field in expected} == expected
    codewords = CODEWORDS[symbol.kind, symbol.layers]
    assert symbol.ecc_percent == 100 * (codewords - symbol.data_codewords) // codewords


# How the image is turned, and at which ends (0: top or left, 1: bottom or
# right) the symbol's own top-left corner then lies.
GEOMETRY = [
    ("upright", lambda g: g, dict(orientation=0, mirrored=False, inverted=False), (0, 0)),
    ("turned clockwise", lambda g: np.rot90(g, -1), dict(orientation=90, mirrored=False), (1, 0)),
    ("flipped top to bottom", lambda g: g[::-1], dict(mirrored=True), (0, 1)),
    ("light on dark", lambda g: 255 - g, dict(inverted=True, orientation=0), (0, 0)),
]


@pytest.mark.parametrize("name, turn, expected, ends", GEOMETRY, ids=[row[0] for row in GEOMETRY])
def test_the_position_and_orientation_are_those_of_the_image(aztec, name, turn, expected, ends):
    gray = aztec(DATA)  # 19 x 19 modules of 4 pixels, 16 pixels from each edge
    (symbol,) = talavex.read(turn(gray), inverted=True)
    assert symbol.bytes == DATA.encode()
    assert {field: getattr(symbol, field) for field in expected} == expected
    assert symbol.corners[0] == pytest.approx([16 + 76 * end for end in ends], abs=1.5)
    assert symbol.module_size == pytest.approx(4, abs=0.1)


def _red_minus_blue(gray):
    # The symbol lies in red and, inverted, in blue: read with red and blue
    # swapped, it turns light-on-dark and an upright search misses it.
    return np.dstack([gray, np.full_like(gray, 128), 255 - gray])


def _padded_rows(array, extra):
    wide = np.zeros((array.shape[0], array.shape[1] + extra) + array.shape[2:], dtype=np.uint8)
    wide[:, : array.shape[1]] = array
    return wide[:, : array.shape[1]]


def _bgra_bytes_with_padded_rows(gray, extra):
    bgra = np.dstack([_red_minus_blue(gray)[:, :, ::-1], np.full_like(gray, 255)])
    padded = np.pad(bgra, ((0, 0), (0, extra), (0, 0)))
    return bytearray(padded.tobytes()), dict(width=gray.shape[1], height=gray.shape[0], format="bgra", stride=padded.shape[1] * 4)


INPUTS = [  # how the image is handed over: image -> (argument, keyword arguments)
    ("gray array", lambda g: (g, {})),
    ("RGB array", lambda g: (_red_minus_blue(g), {})),
    ("RGBA array", lambda g: (np.dstack([_red_minus_blue(g), g]), {})),
    ("BGR array", lambda g: (_red_minus_blue(g)[:, :, ::-1], dict(format="bgr"))),
    ("array with padded rows", lambda g: (_padded_rows(_red_minus_blue(g), 5), {})),
    ("array of every other column", lambda g: (np.repeat(g, 2, axis=1)[:, ::2], {})),
    ("PIL gray image", lambda g: (Image.fromarray(g), {})),
    ("PIL RGB image", lambda g: (Image.fromarray(_red_minus_blue(g)), {})),
    ("PIL bilevel image", lambda g: (Image.fromarray(g).convert("1"), {})),
    ("PIL palette image", lambda g: (Image.fromarray(_red_minus_blue(g)).quantize(2), {})),
    ("gray bytes", lambda g: (g.tobytes(), dict(width=g.shape[1], height=g.shape[0]))),
    ("BGRA bytearray with padded rows", lambda g: _bgra_bytes_with_padded_rows(g, 3)),
]


@pytest.mark.parametrize("name, handed", INPUTS, ids=[row[0] for row in INPUTS])
def test_every_kind_of_image_reads_the_same(aztec, name, handed):
    image, keywords = handed(aztec(DATA))
    symbols = talavex.read(image, inverted=False, **keywords)
    assert [(s.bytes, s.inverted) for s in symbols] == [(DATA.encode(), False)]


@pytest.mark.parametrize("shape", [(0, 5), (0, 10**8), (5, 0, 4)], ids=str)
def test_an_array_without_pixels_is_refused_as_empty(shape):
    with pytest.raises(talavex.Error, match="the image is empty"):
        talavex.read(np.zeros(shape, np.uint8), format="bgra" if len(shape) == 3 else None)


def test_a_blank_image_reads_nothing():
    assert talavex.read(np.full((64, 64), 255, dtype=np.uint8), where="anywhere", budget_ms=100) == []


FAILURES = [  # arguments, the exception, its message
    ((b"\0" * 64,), dict(width=8, height=8, stride=4), talavex.Error, "stride is smaller than a row"),
    ((b"\0" * 63,), dict(width=8, height=8), ValueError, "64 bytes needed"),
    ((b"\0" * 64,), {}, TypeError, "width= and height="),
    ((np.zeros((8, 8)),), {}, TypeError, "uint8"),
    ((np.zeros((8, 8), np.uint8),), dict(format="rgb"), ValueError, "does not fit"),
    ((np.zeros((8, 8), np.uint8), "nowhere"), {}, ValueError, "where must be"),
    ((np.zeros((8, 8), np.uint8),), dict(budget_ms=0), ValueError, "budget_ms"),
    ((np.zeros((8, 8), np.uint8),), dict(budget_ms=float("nan")), ValueError, "budget_ms must be positive.*not nan"),
    ((np.zeros((8, 8), np.uint8),), dict(budget_ms=float("inf")), ValueError, "budget_ms must be positive.*not inf"),
    ((np.zeros((8, 8), np.uint8),), dict(max_pixels=-1), ValueError, "max_pixels must be a whole number.*not -1"),
    ((np.zeros((8, 8), np.uint8),), dict(max_pixels=64.0), ValueError, "max_pixels must be a whole number.*not 64.0"),
    ((np.zeros((8, 8), np.uint8),), dict(max_pixels=2**64), ValueError, "max_pixels must be a whole number"),
]


@pytest.mark.parametrize("arguments, keywords, exception, message", FAILURES, ids=[row[3] for row in FAILURES])
def test_bad_arguments_raise_with_the_reason(arguments, keywords, exception, message):
    with pytest.raises(exception, match=message) as raised:
        talavex.read(*arguments, **keywords)
    if exception is talavex.Error:
        assert raised.value.status == 1  # TALAVEX_INVALID_ARGUMENT


PIXEL_LIMITS = [  # max_pixels from the image's pixel count, and whether the image is read
    ("the default", lambda pixels: None, True),
    ("no limit", lambda pixels: 0, True),
    ("exactly the image", lambda pixels: pixels, True),
    ("one pixel fewer", lambda pixels: pixels - 1, False),
]


@pytest.mark.parametrize("name, limit, read", PIXEL_LIMITS, ids=[row[0] for row in PIXEL_LIMITS])
def test_an_image_is_read_up_to_max_pixels_and_refused_above(aztec, name, limit, read):
    gray = aztec(DATA)
    if read:
        assert [s.bytes for s in talavex.read(gray, max_pixels=limit(gray.size))] == [DATA.encode()]
    else:
        with pytest.raises(talavex.Error, match="^the image has more pixels than the limit allows$") as raised:
            talavex.read(gray, max_pixels=limit(gray.size))
        assert raised.value.status == 4  # TALAVEX_IMAGE_TOO_LARGE


def test_the_default_limit_refuses_8193_by_8192_pixels_unread():
    # Zeros from calloc: their pages are only mapped if the reader reads them.
    # A reader without the limit would search the blank image until the budget.
    with pytest.raises(talavex.Error, match="more pixels than the limit allows") as raised:
        talavex.read(np.zeros((8192, 8193), np.uint8), budget_ms=1000)
    assert raised.value.status == 4

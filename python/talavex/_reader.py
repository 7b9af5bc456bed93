"""talavex.read: the reader API of talavex/reader.h as a list of Symbol."""

from __future__ import annotations

import ctypes
import math
import numbers
from dataclasses import dataclass
from typing import List, Optional, Tuple

from ._library import Image, lib
from ._pixels import FORMATS, pixel_view

_WHERE = {"auto": 0, "centre": 1, "center": 1, "anywhere": 2}
_KINDS = {0: "compact", 1: "full", 2: "rune"}
_UINT32_MAX = 0xFFFFFFFF
_UINT64_MAX = 0xFFFFFFFFFFFFFFFF


class Error(Exception):
    """A failure the library reported: invalid arguments, an image of more pixels than
    max_pixels allows, memory, or an internal error; `status` is the library's status."""

    def __init__(self, message: str, status: int):
        super().__init__(message)
        self.status = status


@dataclass(frozen=True)
class Eci:
    designator: int
    byte_offset: int  # where in `bytes` the designator starts to apply


@dataclass(frozen=True)
class StructuredAppend:
    position: int  # 1-based
    count: int
    id: str  # "" when the symbols carry none


@dataclass(frozen=True)
class Symbol:
    status: str  # "read", or "unreadable": located, but its data could not be read
    bytes: bytes  # exactly the data, zero bytes kept; a structured-append header removed
    text: Optional[str]  # UTF-8 per ECI; None when the character set is not converted
    identifier: str  # "]z0" .. "]zC"
    ecis: List[Eci]
    gs1: bool
    reader_init: bool
    structured_append: Optional[StructuredAppend]
    kind: str  # "compact", "full" or "rune"
    layers: int
    data_codewords: int
    ecc_percent: int
    codewords_corrected: int
    corners: Optional[Tuple[Tuple[float, float], ...]]  # top-left first, clockwise; None when not known
    orientation: int  # 0, 90, 180 or 270 degrees clockwise
    mirrored: bool
    inverted: bool
    module_size: float  # pixels per module; 0 when not known


def _symbol(results, index: int) -> Symbol:
    length = ctypes.c_size_t()
    address = lib.talavex_symbol_bytes(results, index, ctypes.byref(length))
    data = ctypes.string_at(address, length.value) if address else b""
    text = lib.talavex_symbol_text(results, index)
    ecis = []
    for k in range(lib.talavex_symbol_eci_count(results, index)):
        offset = ctypes.c_size_t()
        designator = lib.talavex_symbol_eci(results, index, k, ctypes.byref(offset))
        ecis.append(Eci(designator, offset.value))
    position = ctypes.c_uint32()
    append_id = ctypes.c_char_p()
    count = lib.talavex_symbol_structured_append(results, index, ctypes.byref(position), ctypes.byref(append_id))
    append = StructuredAppend(position.value, count, (append_id.value or b"").decode()) if count else None
    corners = (ctypes.c_double * 8)()
    known = lib.talavex_symbol_corners(results, index, ctypes.byref(corners)) == 0
    return Symbol(
        status="read" if lib.talavex_symbol_status_of(results, index) == 0 else "unreadable",
        bytes=data,
        text=text.decode("utf-8") if text is not None else None,
        identifier=lib.talavex_symbol_identifier(results, index).decode(),
        ecis=ecis,
        gs1=bool(lib.talavex_symbol_gs1(results, index)),
        reader_init=bool(lib.talavex_symbol_reader_init(results, index)),
        structured_append=append,
        kind=_KINDS.get(lib.talavex_symbol_kind(results, index), "unknown"),
        layers=lib.talavex_symbol_layers(results, index),
        data_codewords=lib.talavex_symbol_data_codewords(results, index),
        ecc_percent=lib.talavex_symbol_ecc_percent(results, index),
        codewords_corrected=lib.talavex_symbol_codewords_corrected(results, index),
        corners=tuple((corners[2 * k], corners[2 * k + 1]) for k in range(4)) if known else None,
        orientation=lib.talavex_symbol_orientation(results, index),
        mirrored=bool(lib.talavex_symbol_mirrored(results, index)),
        inverted=bool(lib.talavex_symbol_inverted(results, index)),
        module_size=lib.talavex_symbol_module_size(results, index),
    )


def _options(where: str, all: bool, inverted: bool, budget_ms, max_pixels) -> int:
    if where not in _WHERE:
        raise ValueError(f"talavex: where must be 'auto', 'centre' or 'anywhere', not {where!r}")
    # NaN and the infinities have no whole number of milliseconds to round to.
    finite = budget_ms is None or (isinstance(budget_ms, numbers.Real) and math.isfinite(budget_ms))
    budget = 0 if budget_ms is None or not finite else math.ceil(budget_ms)
    if budget_ms is not None and not (finite and 0 < budget <= _UINT32_MAX):
        raise ValueError(f"talavex: budget_ms must be positive (or None for no limit), not {budget_ms!r}")
    if max_pixels is not None and not (isinstance(max_pixels, numbers.Integral) and 0 <= max_pixels <= _UINT64_MAX):
        raise ValueError(f"talavex: max_pixels must be a whole number (0 for no limit), not {max_pixels!r}")
    options = lib.talavex_options_new()
    if not options:
        raise MemoryError("talavex: no memory for the options")
    lib.talavex_options_set_where(options, _WHERE[where])
    lib.talavex_options_set_max_symbols(options, _UINT32_MAX if all else 1)
    lib.talavex_options_set_inverted(options, int(bool(inverted)))
    lib.talavex_options_set_time_budget_ms(options, budget)
    if max_pixels is not None:
        lib.talavex_options_set_max_pixels(options, int(max_pixels))
    return options


def read(
    image,
    where: str = "auto",
    all: bool = False,
    inverted: bool = True,
    budget_ms: Optional[float] = None,
    max_pixels: Optional[int] = None,
    *,
    width: Optional[int] = None,
    height: Optional[int] = None,
    format: Optional[str] = None,
    stride: Optional[int] = None,
) -> List[Symbol]:
    """Reads the Aztec Code symbols in an image.

    `image` is a numpy uint8 array (H x W gray, H x W x 3 RGB, H x W x 4 RGBA;
    format="bgr"/"bgra" for OpenCV's order; any strides), a PIL image, or raw
    bytes with width=, height= and format= ("gray", "rgb", "rgba", "bgr",
    "bgra"; stride= when rows are padded). `where` is "auto" (the centre first,
    then anywhere), "centre" (a camera frame) or "anywhere" (a photo).
    `inverted` also looks for light-on-dark symbols; `budget_ms` bounds the
    time spent. An image of more than `max_pixels` pixels (None: the library's
    default, 8192 x 8192; 0: no limit) is refused with talavex.Error before it
    is read. Reading nothing returns []; failures raise talavex.Error.
    """
    # `keep` holds the pixels' owner until the call returns.
    keep, address, w, h, row_stride, name = pixel_view(image, width, height, format, stride)
    view = Image(address, w, h, row_stride, FORMATS[name])
    options = _options(where, all, inverted, budget_ms, max_pixels)
    try:
        results = lib.talavex_read(ctypes.byref(view), options)
    finally:
        lib.talavex_options_free(options)
    if not results:
        raise MemoryError("talavex: no memory for the results")
    try:
        status = lib.talavex_results_status(results)
        if status != 0:
            raise Error(lib.talavex_results_message(results).decode(), status)
        return [_symbol(results, k) for k in range(lib.talavex_results_count(results))]
    finally:
        lib.talavex_results_free(results)

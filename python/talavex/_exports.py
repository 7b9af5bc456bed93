"""The library's three exports, recognizeY, recognizeBGRA and recognizePhotoBGRA.

Each returns the bytes the C function returns: the data read (up to its first
zero byte), b"" when nothing was read, or b"error" for invalid input or an
internal failure. The C string is freed here, whatever happens.
"""

import ctypes

from ._library import lib, libc_free
from ._pixels import pixel_view


def _packed(pixels, width, height, format):
    # The exports take tightly packed rows only: a padded view is copied.
    keep, address, w, h, stride, _ = pixel_view(pixels, width, height, format)
    pixel_size = 1 if format == "gray" else 4
    if w and h and stride != w * pixel_size:
        rows = ctypes.string_at(address, stride * (h - 1) + w * pixel_size)
        packed = b"".join(rows[y * stride : y * stride + w * pixel_size] for y in range(h))
        keep, address, w, h, stride, _ = pixel_view(packed, w, h, format)
    return keep, address, w, h


def _call(function, pixels, width, height, format):
    keep, address, w, h = _packed(pixels, width, height, format)  # keep: the pixels' owner, alive during the call
    result = function(address, w, h)
    if not result:
        raise MemoryError("talavex: no memory for the result")
    try:
        return ctypes.string_at(result)
    finally:
        libc_free(result)


def recognize_y(pixels, width=None, height=None) -> bytes:
    """8-bit luminance (H x W uint8 array or bytes), symbol near the centre."""
    return _call(lib.recognizeY, pixels, width, height, "gray")


def recognize_bgra(pixels, width=None, height=None) -> bytes:
    """BGRA frame (H x W x 4 uint8 array in B, G, R, A order, or bytes), symbol near the centre."""
    return _call(lib.recognizeBGRA, pixels, width, height, "bgra")


def recognize_photo_bgra(pixels, width=None, height=None) -> bytes:
    """BGRA photo, same layout as recognize_bgra; the symbol may be anywhere."""
    return _call(lib.recognizePhotoBGRA, pixels, width, height, "bgra")

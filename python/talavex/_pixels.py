"""Turns numpy arrays, PIL images and raw bytes into pixel views for the C library.

A view is (keep_alive, address, width, height, stride, format): the address
stays valid while keep_alive is referenced. Buffers are shared, not copied,
whenever the library can read their layout (rows of packed pixels, any
positive row stride); anything else is copied once into packed rows.
"""

import ctypes
import sys

FORMATS = {"gray": 0, "bgra": 1, "rgba": 2, "bgr": 3, "rgb": 4}
PIXEL_SIZES = {"gray": 1, "bgra": 4, "rgba": 4, "bgr": 3, "rgb": 3}
_UINT32_MAX = 0xFFFFFFFF


def _address_of(buffer):
    """The address of a bytes-like object's first byte, and the object to keep alive."""
    if isinstance(buffer, bytes):
        return buffer, ctypes.cast(ctypes.c_char_p(buffer), ctypes.c_void_p).value
    view = memoryview(buffer).cast("B")
    if view.readonly:
        copy = bytes(view)
        return copy, ctypes.cast(ctypes.c_char_p(copy), ctypes.c_void_p).value
    if len(view) == 0:
        return view, None
    return view, ctypes.addressof(ctypes.c_char.from_buffer(view))


def _from_bytes(buffer, width, height, format, stride):
    if width is None or height is None:
        raise TypeError("talavex: raw pixel bytes need width= and height=")
    format = format or "gray"
    if format not in FORMATS:
        raise ValueError(f"talavex: unknown format {format!r}; one of {', '.join(FORMATS)}")
    if stride is None:
        stride = width * PIXEL_SIZES[format]
    if min(width, height, stride) < 0 or max(width, height, stride) > _UINT32_MAX:
        raise ValueError("talavex: width, height and stride must be between 0 and 2**32 - 1")
    needed = stride * (height - 1) + width * PIXEL_SIZES[format] if height and width else 0
    keep, address = _address_of(buffer)
    if len(memoryview(keep).cast("B")) < needed:
        raise ValueError(f"talavex: {needed} bytes needed for a {width} x {height} {format} image")
    return keep, address, width, height, stride, format


def _from_numpy(array, format):
    import numpy

    if array.dtype != numpy.uint8:
        raise TypeError(f"talavex: arrays must hold uint8 pixels, not {array.dtype}")
    if array.ndim == 3 and array.shape[2] == 1:
        array = array[:, :, 0]
    channels = 1 if array.ndim == 2 else array.shape[2] if array.ndim == 3 else 0
    default = {1: "gray", 3: "rgb", 4: "rgba"}.get(channels)
    if default is None:
        raise ValueError(f"talavex: expected an H x W, H x W x 3 or H x W x 4 array, not shape {array.shape}")
    format = format or default
    if PIXEL_SIZES.get(format) != channels:
        raise ValueError(f"talavex: format {format!r} does not fit {channels} channel(s)")
    pixel_step = array.strides[1] if array.ndim >= 2 else 0
    channel_step = array.strides[2] if array.ndim == 3 else 1
    packed_pixels = pixel_step == channels and channel_step == 1
    if not (packed_pixels and 0 < array.strides[0] <= _UINT32_MAX and array.strides[0] >= array.shape[1] * channels):
        array = numpy.ascontiguousarray(array)
    height, width = array.shape[:2]
    if array.size == 0:
        # numpy gives an empty array strides of 0 and an address that holds
        # nothing: an image without pixels has packed rows of no bytes to read.
        return array, None, width, height, width * channels, format
    return array, array.ctypes.data, width, height, array.strides[0], format


def _pil_image_class():
    pil = sys.modules.get("PIL.Image")  # a PIL image can only exist once PIL is imported
    return pil.Image if pil else None


def _from_pil(image):
    if image.mode not in ("L", "RGB", "RGBA"):
        gray = image.mode in ("1", "I", "F") or image.mode.startswith(("L", "I;"))
        image = image.convert("L" if gray else "RGB" if "A" not in image.getbands() else "RGBA")
    format = {"L": "gray", "RGB": "rgb", "RGBA": "rgba"}[image.mode]
    return _from_bytes(image.tobytes(), image.width, image.height, format, None)


def pixel_view(image, width=None, height=None, format=None, stride=None):
    pil_class = _pil_image_class()
    if pil_class is not None and isinstance(image, pil_class):
        return _from_pil(image)
    if hasattr(image, "__array_interface__") and hasattr(image, "dtype"):
        return _from_numpy(image, format)
    return _from_bytes(image, width, height, format, stride)

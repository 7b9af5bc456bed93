"""talavex: reads Aztec Code symbols from images held in memory.

    import talavex
    for symbol in talavex.read(numpy_array_or_pil_image):
        print(symbol.text, symbol.identifier)

A thin ctypes layer over the talavex shared library (see _library.py for
where it is looked for).
"""

from ._exports import recognize_bgra, recognize_photo_bgra, recognize_y
from ._library import lib as _lib
from ._reader import Eci, Error, StructuredAppend, Symbol, read


def version() -> str:
    """The version of the loaded talavex library."""
    return _lib.talavex_version().decode()


__all__ = [
    "Eci",
    "Error",
    "StructuredAppend",
    "Symbol",
    "read",
    "recognize_bgra",
    "recognize_photo_bgra",
    "recognize_y",
    "version",
]

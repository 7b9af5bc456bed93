"""Loads the talavex shared library and declares the C functions it uses.

Where the library comes from, first found wins:
  1. the file named by the environment variable TALAVEX_LIBRARY;
  2. a copy next to this package (put there by `pip install` with TALAVEX_PREFIX);
  3. the system loader (an install under /usr/local after ldconfig, LD_LIBRARY_PATH).
"""

import ctypes
import ctypes.util
import os
import sys
from pathlib import Path

_NEXT_TO_PACKAGE = ("libtalavex.so.*", "libtalavex.*.dylib", "talavex.dll", "libtalavex.dll")


def _candidates():
    here = Path(__file__).resolve().parent
    for pattern in _NEXT_TO_PACKAGE:
        yield from (str(path) for path in sorted(here.glob(pattern)))
    found = ctypes.util.find_library("talavex")
    if found:
        yield found
    yield {"win32": "talavex.dll", "darwin": "libtalavex.dylib"}.get(sys.platform, "libtalavex.so")


def _load():
    explicit = os.environ.get("TALAVEX_LIBRARY")
    if explicit:
        # A path the user named must be the one used: no silent fallback.
        return ctypes.CDLL(explicit)
    tried = []
    for candidate in _candidates():
        try:
            return ctypes.CDLL(candidate)
        except OSError as error:
            tried.append(f"{candidate}: {error}")
    raise ImportError(
        "talavex: the shared library was not found; set TALAVEX_LIBRARY to its path, or reinstall "
        "this package with TALAVEX_PREFIX set to the talavex install prefix. Tried:\n  " + "\n  ".join(tried)
    )


def _libc():
    if sys.platform == "win32":
        return ctypes.cdll.msvcrt  # the C runtime the MinGW-built DLL allocates with
    return ctypes.CDLL(None)


lib = _load()
libc_free = _libc().free
libc_free.argtypes = [ctypes.c_void_p]
libc_free.restype = None


class Image(ctypes.Structure):
    _fields_ = [
        ("pixels", ctypes.c_void_p),
        ("width", ctypes.c_uint32),
        ("height", ctypes.c_uint32),
        ("stride", ctypes.c_uint32),
        ("format", ctypes.c_int),
    ]


_c = ctypes
_results = _c.c_void_p
_size = _c.c_size_t
_SIGNATURES = {
    "talavex_version": (_c.c_char_p, []),
    "talavex_options_new": (_c.c_void_p, []),
    "talavex_options_free": (None, [_c.c_void_p]),
    "talavex_options_set_where": (_c.c_int, [_c.c_void_p, _c.c_int]),
    "talavex_options_set_max_symbols": (_c.c_int, [_c.c_void_p, _c.c_uint32]),
    "talavex_options_set_inverted": (_c.c_int, [_c.c_void_p, _c.c_int]),
    "talavex_options_set_time_budget_ms": (_c.c_int, [_c.c_void_p, _c.c_uint32]),
    "talavex_options_set_max_pixels": (_c.c_int, [_c.c_void_p, _c.c_uint64]),
    "talavex_read": (_results, [_c.POINTER(Image), _c.c_void_p]),
    "talavex_results_free": (None, [_results]),
    "talavex_results_status": (_c.c_int, [_results]),
    "talavex_results_message": (_c.c_char_p, [_results]),
    "talavex_results_count": (_size, [_results]),
    "talavex_symbol_status_of": (_c.c_int, [_results, _size]),
    # The bytes may hold zero bytes: a plain pointer, read with string_at and the length.
    "talavex_symbol_bytes": (_c.c_void_p, [_results, _size, _c.POINTER(_size)]),
    "talavex_symbol_text": (_c.c_char_p, [_results, _size]),
    "talavex_symbol_identifier": (_c.c_char_p, [_results, _size]),
    "talavex_symbol_eci_count": (_size, [_results, _size]),
    "talavex_symbol_eci": (_c.c_uint32, [_results, _size, _size, _c.POINTER(_size)]),
    "talavex_symbol_gs1": (_c.c_int, [_results, _size]),
    "talavex_symbol_reader_init": (_c.c_int, [_results, _size]),
    "talavex_symbol_structured_append": (
        _c.c_uint32,
        [_results, _size, _c.POINTER(_c.c_uint32), _c.POINTER(_c.c_char_p)],
    ),
    "talavex_symbol_kind": (_c.c_int, [_results, _size]),
    "talavex_symbol_layers": (_c.c_int, [_results, _size]),
    "talavex_symbol_data_codewords": (_c.c_int, [_results, _size]),
    "talavex_symbol_ecc_percent": (_c.c_int, [_results, _size]),
    "talavex_symbol_codewords_corrected": (_c.c_int, [_results, _size]),
    "talavex_symbol_corners": (_c.c_int, [_results, _size, _c.POINTER(_c.c_double * 8)]),
    "talavex_symbol_orientation": (_c.c_int, [_results, _size]),
    "talavex_symbol_mirrored": (_c.c_int, [_results, _size]),
    "talavex_symbol_inverted": (_c.c_int, [_results, _size]),
    "talavex_symbol_module_size": (_c.c_double, [_results, _size]),
    # The exports return malloc'ed strings that the caller frees: declared as
    # c_void_p, since c_char_p would copy the text and lose the pointer to free.
    "recognizeY": (_c.c_void_p, [_c.c_void_p, _c.c_uint32, _c.c_uint32]),
    "recognizeBGRA": (_c.c_void_p, [_c.c_void_p, _c.c_uint32, _c.c_uint32]),
    "recognizePhotoBGRA": (_c.c_void_p, [_c.c_void_p, _c.c_uint32, _c.c_uint32]),
}

for _name, (_restype, _argtypes) in _SIGNATURES.items():
    _function = getattr(lib, _name)
    _function.restype = _restype
    _function.argtypes = _argtypes

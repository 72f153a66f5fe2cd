"""libquillion.so.0 through ctypes: the C declarations of <quillion/quillion.h> this package uses.

The library is loaded by its soname, or from the path in the environment variable
QUILLION_LIBRARY (a build tree's library, for tests). The calls that do the work (painting,
encoding a file, finding a symbol, the RGBA pixels) go through ctypes.CDLL, which lets go of the
GIL for their length, so renders on several threads run at once; the calls that only read a
result go through ctypes.PyDLL, which keeps it: handing the GIL over and taking it back costs
more than they do, and with several threads at work every hand-over is a wait.
"""

from __future__ import annotations

import ctypes
import os
from typing import Any

SONAME = "libquillion.so.0"

# Symbologies, result formats and error codes (the enums of quillion.h; fixed within soname 0).
PNG, JPEG, SVG = 0, 1, 2
OK = 0
ERROR_ARGUMENT = 1
ERROR_UNSUPPORTED = 2
ERROR_REJECTED = 3
ERROR_FAILED = 4
ERROR_TOO_LARGE = 5
ERROR_ENCODE = 6
ERROR_TOO_LONG = 7
ERROR_WRITE = 8
ERROR_CODE128_ILLEGAL_CHARACTER = 54548
SYMBOLOGY_COUNT = 12  # QUILLION_CODE128 (0) to QUILLION_GS1_DATAMATRIX (11)


class Colour(ctypes.Structure):
    _fields_ = [("r", ctypes.c_uint8), ("g", ctypes.c_uint8), ("b", ctypes.c_uint8),
                ("a", ctypes.c_uint8)]


class Length(ctypes.Structure):
    _fields_ = [("value", ctypes.c_double), ("unit", ctypes.c_int)]


class Options(ctypes.Structure):
    """quillion_options as this package knows it. Only `size` and `dpi` are read here; every
    option is set by name through quillion_options_set, and the library gives the fields it
    has beyond these their defaults."""

    _fields_ = [
        ("size", ctypes.c_size_t),
        ("caption", ctypes.c_int),
        ("caption_style", ctypes.c_int),
        ("module_width", ctypes.c_int),
        ("bar_height", ctypes.c_int),
        ("quiet_zones", ctypes.c_int),
        ("margin", ctypes.c_int),
        ("foreground", Colour),
        ("background", Colour),
        ("rotation", ctypes.c_int),
        ("scale", ctypes.c_int),
        ("dpi", ctypes.c_double),
        ("code_set", ctypes.c_int),
        ("check_digit", ctypes.c_int),
        ("module", Length),
        ("height", Length),
        ("fit_width", Length),
        ("window_stand_ins", ctypes.c_int),
        ("ecc", ctypes.c_int),
        ("keep_ecc", ctypes.c_int),
        ("qr_version", ctypes.c_int),
        ("mask", ctypes.c_int),
        ("dm_rows", ctypes.c_int),
        ("dm_columns", ctypes.c_int),
        ("dm_square", ctypes.c_int),
        ("dm_rect_extensions", ctypes.c_int),
        ("eci", ctypes.c_int),
        ("no_quiet_zones", ctypes.c_int),
    ]


# quillion_result handles and the byte pointers into them are plain addresses (Python ints):
# the cheapest values for ctypes to pass and return.
ResultP = ctypes.c_void_p
OptionsP = ctypes.POINTER(Options)
_u8p = ctypes.c_void_p
_c_int_p = ctypes.POINTER(ctypes.c_int)
_size_p = ctypes.POINTER(ctypes.c_size_t)
_double_p = ctypes.POINTER(ctypes.c_double)

# The calls that do the work, without the GIL.
_WORK = {"quillion_render_n", "quillion_symbol", "quillion_encode", "quillion_rgba",
         "quillion_save", "quillion_encode_many"}

# name: (result type, argument types)
_SIGNATURES = {
    "quillion_options_init_sized": (None, [OptionsP, ctypes.c_size_t]),
    "quillion_options_set": (ctypes.c_int, [OptionsP, ctypes.c_char_p, ctypes.c_char_p]),
    "quillion_options_error_message": (ctypes.c_char_p, []),
    "quillion_render_n": (ResultP, [ctypes.c_int, ctypes.c_char_p, ctypes.c_size_t, OptionsP]),
    "quillion_symbol": (ResultP, [ctypes.c_int, ctypes.c_char_p, ctypes.c_size_t, OptionsP]),
    "quillion_encode": (ResultP, [ResultP, ctypes.c_int, ctypes.c_int]),
    "quillion_save": (ResultP, [ResultP, ctypes.c_int, ctypes.c_int, ctypes.c_char_p]),
    "quillion_encode_many": (ctypes.c_size_t, [ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p,
                                               ctypes.c_size_t, OptionsP, ctypes.c_int,
                                               ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p]),
    "quillion_error_code": (ctypes.c_int, [ResultP]),
    "quillion_system_error": (ctypes.c_int, [ResultP]),
    "quillion_error_message": (ctypes.c_char_p, [ResultP]),
    "quillion_width": (ctypes.c_int, [ResultP]),
    "quillion_height": (ctypes.c_int, [ResultP]),
    "quillion_rgba": (_u8p, [ResultP]),
    "quillion_bytes": (_u8p, [ResultP, _size_p]),
    "quillion_modules": (_u8p, [ResultP, _c_int_p, _c_int_p]),
    "quillion_quiet_zone": (ctypes.c_int, [ResultP, ctypes.c_int]),
    "quillion_text_count": (ctypes.c_int, [ResultP]),
    "quillion_text": (ctypes.c_char_p, [ResultP, ctypes.c_int, _double_p]),
    "quillion_reading": (_u8p, [ResultP, _size_p]),
    "quillion_free": (None, [ResultP]),
    "quillion_symbology_name": (ctypes.c_char_p, [ctypes.c_int]),
    "quillion_symbology_from_name": (ctypes.c_int, [ctypes.c_char_p]),
    "quillion_version": (ctypes.c_char_p, []),
}


class Library:
    """The functions of _SIGNATURES as attributes (lib.quillion_render_n(...))."""


def load() -> Any:
    """The library's functions with their signatures set; OSError when it cannot be loaded or
    lacks one of them."""
    path = os.environ.get("QUILLION_LIBRARY") or SONAME
    without_gil = ctypes.CDLL(path)
    with_gil = ctypes.PyDLL(path)  # the same library, loaded once
    lib = Library()
    for name, (restype, argtypes) in _SIGNATURES.items():
        try:
            function = getattr(without_gil if name in _WORK else with_gil, name)
        except AttributeError:
            raise OSError(f"{path} has no {name}: libquillion is older than this package") from None
        function.restype = restype
        function.argtypes = argtypes
        setattr(lib, name, function)
    return lib

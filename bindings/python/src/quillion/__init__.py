"""Quillion's barcodes from Python, through libquillion.so.0.

    >>> import quillion
    >>> label = quillion.render("code128", "ABC-123", dpi=300, module_width="0.33mm",
    ...                         quiet_zones=True)
    >>> label.save("label.png")

render() paints a barcode (a Barcode: png(), jpeg(), svg(), save(), to_pil(), modules);
render_many() and save_many() make the files of many texts in one call of the library;
encode() gives the symbol without painting it (a Symbol: modules, quiet zones, printed texts,
what a reader reports). Symbologies go by quillion-render's names (symbologies() lists them),
options by quillion-render's option names with "_" for "-". Failures raise quillion.Error (with
.code and .message) or one of its subclasses; a file that cannot be written raises OSError.
Any number of threads may render at once: the library paints, encodes and writes without the
GIL, and render_many()/save_many() on chunks of texts keep it free nearly all the time
(docs/python.md).
"""

from __future__ import annotations

import ctypes
import functools
import os
from typing import (TYPE_CHECKING, Any, Dict, List, NamedTuple, Optional, Sequence, Tuple,
                    Union)

from . import _native
from ._version import __version__

if TYPE_CHECKING:  # pragma: no cover
    import numpy
    import numpy.typing
    from PIL import Image  # type: ignore[import]

__all__ = [
    "ArgumentError",
    "Barcode",
    "Error",
    "QuietZones",
    "RejectedError",
    "Symbol",
    "Text",
    "TooLargeError",
    "TooLongError",
    "UnsupportedError",
    "__version__",
    "encode",
    "library_version",
    "render",
    "render_many",
    "save_many",
    "symbologies",
]

OptionValue = Union[str, int, float, bool, None]
Items = Tuple[Tuple[str, str], ...]  # options by the library's names, as text
PathLike = Union[str, "os.PathLike[str]"]

try:
    _lib = _native.load()
except OSError as error:
    raise ImportError(
        f"quillion needs libquillion.so.0 (Debian package libquillion0, or set "
        f"QUILLION_LIBRARY to the library's path): {error}") from error


# Errors ------------------------------------------------------------------------------------


class Error(Exception):
    """A failure reported by libquillion: `code` is the library's error number (see
    <quillion/quillion.h>), `message` its text."""

    def __init__(self, code: int, message: str) -> None:
        super().__init__(code, message)
        self.code = code
        self.message = message

    def __str__(self) -> str:
        return self.message

    def __reduce__(self) -> Tuple[Any, ...]:
        return (type(self), (self.code, self.message))


class ArgumentError(Error, ValueError):
    """An unknown symbology or option, a value out of range, a text that is not Unicode."""


class UnsupportedError(ArgumentError):
    """A symbology or option this libquillion does not have (yet)."""


class RejectedError(Error, ValueError):
    """The symbology refuses the text (a letter in a UPC-A, a wrong check digit, ...)."""


class TooLongError(RejectedError):
    """More text than the symbol can hold."""


class TooLargeError(Error):
    """The picture would be too large."""


_ERRORS = {
    _native.ERROR_ARGUMENT: ArgumentError,
    _native.ERROR_UNSUPPORTED: UnsupportedError,
    _native.ERROR_REJECTED: RejectedError,
    _native.ERROR_CODE128_ILLEGAL_CHARACTER: RejectedError,
    _native.ERROR_TOO_LONG: TooLongError,
    _native.ERROR_TOO_LARGE: TooLargeError,
}


def _error(code: int, message: str) -> Error:
    return _ERRORS.get(code, Error)(code, message)


def _failure(result: Any, path: Optional[str] = None) -> Optional[Exception]:
    """The exception of a result that holds an error (OSError for a file not written), or
    None."""
    if not result:
        return MemoryError("libquillion ran out of memory")
    code = _lib.quillion_error_code(result)
    if code == _native.OK:
        return None
    if code == _native.ERROR_WRITE:
        number = _lib.quillion_system_error(result)
        return OSError(number, os.strerror(number), path)
    return _error(code, _lib.quillion_error_message(result).decode("utf-8", "replace"))


def _checked(result: Any, path: Optional[str] = None) -> Any:
    """result when it holds a value; else frees it and raises its error."""
    failure = _failure(result, path)
    if failure is not None:
        _lib.quillion_free(result)
        raise failure
    return result


# Arguments ---------------------------------------------------------------------------------


@functools.lru_cache(maxsize=None, typed=True)
def _symbology_number(symbology: Union[str, int]) -> int:
    if isinstance(symbology, str):
        number = -1 if "\0" in symbology else int(
            _lib.quillion_symbology_from_name(symbology.encode("utf-8", "replace")))
    elif isinstance(symbology, int) and not isinstance(symbology, bool):
        known = 0 <= symbology < _native.SYMBOLOGY_COUNT
        number = symbology if known and _lib.quillion_symbology_name(symbology) else -1
    else:
        raise TypeError(f"a symbology is a name or a number, not {type(symbology).__name__}")
    if number < 0:
        raise ArgumentError(_native.ERROR_ARGUMENT,
                            f"unknown symbology {symbology!r} (known: {', '.join(symbologies())})")
    return number


def _option_text(value: OptionValue) -> str:
    if isinstance(value, bool):
        return "1" if value else "0"
    return str(value)


def _option_items(options: Dict[str, OptionValue]) -> Items:
    return tuple([(name.replace("_", "-"), _option_text(value))
                  for name, value in options.items() if value is not None])


@functools.lru_cache(maxsize=512)
def _prepared(items: Items) -> _native.Options:
    """quillion_options with the defaults and then items set in their order. The structure is
    only read by the library afterwards, so one may serve any number of threads."""
    options = _native.Options()
    _lib.quillion_options_init_sized(ctypes.byref(options), ctypes.sizeof(options))
    for name, value in items:
        if "\0" in name or "\0" in value:  # C would see the text before it
            raise ArgumentError(_native.ERROR_ARGUMENT,
                                f"the option {name} cannot be {value!r} (a NUL character)")
        if _lib.quillion_options_set(ctypes.byref(options), name.encode(), value.encode()) != 0:
            why = (_lib.quillion_options_error_message() or b"").decode("utf-8", "replace")
            raise ArgumentError(_native.ERROR_ARGUMENT,
                                why or f"option {name} cannot be {value!r}")
    return options


# The options of a call as given (names, values and the values' types, so that 1, 1.0 and True
# stay apart) -> their items and prepared structure: a render with the options of an earlier one
# converts nothing. Cleared when full.
_BY_CALL: Dict[Any, Tuple[Items, _native.Options]] = {}


def _prepare(options: Dict[str, OptionValue]) -> Tuple[Items, _native.Options]:
    try:
        key: Any = (tuple(options.items()), tuple(map(type, options.values())))
        hit = _BY_CALL.get(key)
    except TypeError:  # a value that cannot be hashed: converted every time
        key, hit = None, None
    if hit is None:
        items = _option_items(options)
        hit = (items, _prepared(items))
        if key is not None:
            if len(_BY_CALL) >= 512:
                _BY_CALL.clear()
            _BY_CALL[key] = hit
    return hit


def _text_bytes(text: Union[str, bytes]) -> bytes:
    if isinstance(text, str):
        try:
            return text.encode("utf-8")
        except UnicodeEncodeError as error:
            raise ArgumentError(_native.ERROR_ARGUMENT,
                                f"the text is not valid Unicode: {error}") from None
    if isinstance(text, (bytes, bytearray, memoryview)):
        return bytes(text)
    raise TypeError(f"a barcode's text is str or bytes, not {type(text).__name__}")


@functools.lru_cache(maxsize=None)
def _symbology_name(number: int) -> str:
    return str(_lib.quillion_symbology_name(number).decode())


def symbologies() -> Tuple[str, ...]:
    """The names of every symbology libquillion has, as quillion-render -t takes them."""
    names = (_lib.quillion_symbology_name(n) for n in range(_native.SYMBOLOGY_COUNT))
    return tuple(name.decode() for name in names if name is not None)


def library_version() -> str:
    """The version of the loaded libquillion ("MAJOR.MINOR.PATCH")."""
    return str(_lib.quillion_version().decode())


# The symbol --------------------------------------------------------------------------------


class QuietZones(NamedTuple):
    """The light margin a symbol needs on each side, in modules."""

    left: int
    right: int
    top: int
    bottom: int


class Text(NamedTuple):
    """A text printed with the symbol and its centre, in modules from the first module."""

    text: str
    x: float


class Symbol:
    """A barcode's symbol without a picture: `modules` (rows of 0 light and 1 dark; one row
    from the first bar to the last for a linear symbol), `quiet_zones`, the printed `texts` and
    `reading`, the bytes a reader reports."""

    def __init__(self, symbology: str, text: Union[str, bytes], result: Any) -> None:
        self.symbology = symbology
        self.text = text
        rows, columns = ctypes.c_int(), ctypes.c_int()
        data = _lib.quillion_modules(result, ctypes.byref(rows), ctypes.byref(columns))
        self.rows, self.columns = rows.value, columns.value
        flat = ctypes.string_at(data, self.rows * self.columns) if data else b""
        self.modules = [list(flat[r * self.columns:(r + 1) * self.columns])
                        for r in range(self.rows)]
        self.quiet_zones = QuietZones(*(_lib.quillion_quiet_zone(result, s) for s in range(4)))
        texts = []
        for index in range(_lib.quillion_text_count(result)):
            x = ctypes.c_double()
            printed = _lib.quillion_text(result, index, ctypes.byref(x)) or b""
            texts.append(Text(printed.decode("utf-8", "replace"), x.value))
        self.texts = texts
        length = ctypes.c_size_t()
        reading = _lib.quillion_reading(result, ctypes.byref(length))
        self.reading = ctypes.string_at(reading, length.value) if reading else b""

    def __repr__(self) -> str:
        return (f"<quillion.Symbol {self.symbology} {self.text!r}: "
                f"{self.rows} x {self.columns} modules>")


def encode(symbology: Union[str, int], text: Union[str, bytes], **options: OptionValue) -> Symbol:
    """The symbol of text (str, or bytes taken as they are) without painting it. Options as for
    render(); those about the picture are accepted and have no effect here."""
    number = _symbology_number(symbology)
    data = _text_bytes(text)
    result = _checked(_lib.quillion_symbol(number, data, len(data),
                                           ctypes.byref(_prepare(options)[1])))
    try:
        return Symbol(_symbology_name(number), text, result)
    finally:
        _lib.quillion_free(result)


# The picture -------------------------------------------------------------------------------

_FORMATS = {".png": "png", ".jpg": "jpeg", ".jpeg": "jpeg", ".svg": "svg"}


def _format_of(path: str, format: Optional[str]) -> str:
    if format is not None:
        name = format.lower()
        if name in ("png", "jpeg", "jpg", "svg"):
            return "jpeg" if name == "jpg" else name
        raise ArgumentError(_native.ERROR_ARGUMENT,
                            f"unknown format {format!r} (png, jpeg or svg)")
    ending = os.path.splitext(path)[1].lower()
    if ending not in _FORMATS:
        raise ArgumentError(
            _native.ERROR_ARGUMENT,
            f"cannot tell the format of {path!r} from its ending: name it .png, .jpg, .jpeg or "
            f".svg, or pass format=")
    return _FORMATS[ending]


_FILE_FORMATS = {"png": _native.PNG, "jpeg": _native.JPEG, "svg": _native.SVG}


def _check_quality(quality: int) -> None:
    if isinstance(quality, bool) or not isinstance(quality, int) or not 1 <= quality <= 100:
        raise ArgumentError(_native.ERROR_ARGUMENT,
                            f"JPEG quality must be a whole number 1-100, not {quality!r}")


def _path_bytes(path: str) -> bytes:
    if "\0" in path:
        raise ArgumentError(_native.ERROR_ARGUMENT, f"a path cannot hold NUL: {path!r}")
    return os.fsencode(path)


def _sync(path: str) -> None:
    """Puts the file at path and the folder's entry for it on the disk."""
    for name, flags in ((path, os.O_RDONLY), (os.path.dirname(path) or ".", os.O_DIRECTORY)):
        fd = os.open(name, flags | os.O_CLOEXEC)
        try:
            os.fsync(fd)
        finally:
            os.close(fd)


class _Handle:
    """Owns one quillion_result and frees it with the object."""

    __slots__ = ("pointer",)

    def __init__(self, pointer: Any) -> None:
        self.pointer = pointer

    def __del__(self, free: Any = _lib.quillion_free) -> None:
        free(self.pointer)


def _rebuild(symbology: str, text: Union[str, bytes],
             items: Items) -> "Barcode":
    return render(symbology, text, **dict(items))


class Barcode:
    """A painted barcode: `width` and `height` in pixels, `dpi` (the resolution its files
    record), the file formats (png(), jpeg(), svg(), save()), the pixels (rgba(), to_pil(),
    to_numpy()) and the symbol (`symbol`, `modules`). Immutable; usable from any thread."""

    def __init__(self, symbology: str, text: Union[str, bytes],
                 items: Items, result: Any, dpi: float) -> None:
        self.symbology = symbology
        self.text = text
        self._items = items
        self._handle = _Handle(result)
        self._size: Optional[Tuple[int, int]] = None
        self.dpi: float = dpi
        self._png: Optional[bytes] = None
        self._symbol: Optional[Symbol] = None

    @property
    def width(self) -> int:
        """The picture's width in pixels."""
        return self._picture_size()[0]

    @property
    def height(self) -> int:
        """The picture's height in pixels."""
        return self._picture_size()[1]

    def _picture_size(self) -> Tuple[int, int]:
        if self._size is None:
            pointer = self._handle.pointer
            self._size = (_lib.quillion_width(pointer), _lib.quillion_height(pointer))
        return self._size

    @property
    def options(self) -> Dict[str, str]:
        """The options given, by their library names ("module-width": "0.33mm")."""
        return dict(self._items)

    def _file(self, format: int, quality: int = 0) -> bytes:
        result = _lib.quillion_encode(self._handle.pointer, format, quality)
        size = ctypes.c_size_t()
        data = _lib.quillion_bytes(result, ctypes.byref(size))
        if data is None:  # no file: the result holds an error (or is NULL)
            _checked(result)
        try:
            return ctypes.string_at(data, size.value) if data else b""
        finally:
            _lib.quillion_free(result)

    def png(self) -> bytes:
        """The PNG file (lossless; 1-bit grey for black and white)."""
        if self._png is None:
            self._png = self._file(_native.PNG)
        return self._png

    def jpeg(self, quality: int = 80) -> bytes:
        """The JPEG file at quality 1-100 (80: the window's Save As JPG)."""
        _check_quality(quality)
        return self._file(_native.JPEG, quality)

    def svg(self) -> str:
        """The SVG file: every bar a rectangle, the printed texts as text."""
        return self._file(_native.SVG).decode("utf-8")

    def save(self, path: PathLike, format: Optional[str] = None, *, quality: int = 80,
             sync: bool = False) -> None:
        """Writes the barcode to path as PNG, JPEG or SVG (format, else the ending: .png, .jpg,
        .jpeg, .svg in any case), in one call of the library without the GIL. A file is replaced
        whole or not at all (a temporary file beside it is renamed over it; a symbolic link's
        target is written); sync=True also puts it on the disk before returning."""
        path = os.fspath(path)
        kind = _format_of(path, format)
        if kind == "jpeg":
            _check_quality(quality)
        result = _checked(_lib.quillion_save(self._handle.pointer, _FILE_FORMATS[kind],
                                             quality, _path_bytes(path)), path)
        _lib.quillion_free(result)
        if sync:
            _sync(path)

    def rgba(self) -> bytes:
        """The pixels: width * height * 4 bytes, R G B A, row by row from the top."""
        pixels = _lib.quillion_rgba(self._handle.pointer)
        if not pixels:
            raise MemoryError("libquillion ran out of memory")
        return ctypes.string_at(pixels, self.width * self.height * 4)

    def to_pil(self) -> "Image.Image":
        """The picture as a Pillow image (mode RGBA, info["dpi"] set); needs Pillow."""
        from PIL import Image

        image = Image.frombytes("RGBA", (self.width, self.height), self.rgba())
        image.info["dpi"] = (self.dpi, self.dpi)
        return image

    def to_numpy(self) -> "numpy.typing.NDArray[numpy.uint8]":
        """The picture as a height x width x 4 array of uint8 (RGBA); needs NumPy."""
        import numpy

        return numpy.frombuffer(self.rgba(), dtype=numpy.uint8).reshape(
            self.height, self.width, 4)

    @property
    def symbol(self) -> Symbol:
        """The symbol behind the picture (see encode())."""
        if self._symbol is None:
            self._symbol = encode(self.symbology, self.text, **dict(self._items))
        return self._symbol

    @property
    def modules(self) -> List[List[int]]:
        """The symbol's modules: rows of 0 (light) and 1 (dark)."""
        return self.symbol.modules

    def _repr_png_(self) -> bytes:
        return self.png()

    def _repr_svg_(self) -> str:
        return self.svg()

    def __reduce__(self) -> Tuple[Any, ...]:
        return (_rebuild, (self.symbology, self.text, self._items))

    def __repr__(self) -> str:
        return (f"<quillion.Barcode {self.symbology} {self.text!r}: "
                f"{self.width} x {self.height} pixels at {self.dpi:g} dpi>")


def render(symbology: Union[str, int], text: Union[str, bytes], **options: OptionValue) -> Barcode:
    """Paints text (str, or bytes taken as they are) as a barcode of the symbology (a name of
    symbologies(), any case and quillion-render's aliases, or the library's number).

    Options are quillion-render's, with "_" for "-": dpi=300, module_width="0.33mm",
    height="15mm", fit_width="40mm", quiet_zones=True, margin=4, fg="336699",
    bg="transparent", rotate=90, scale=2, caption=False, position="top", style="bold",
    code_set="auto", check_digit=True, ecc="H", ... Each value is passed as str(value), True
    and False as "1" and "0"; None leaves the option at its default.
    """
    number = _symbology_number(symbology)
    data = _text_bytes(text)
    items, prepared = _prepare(options)
    result = _checked(_lib.quillion_render_n(number, data, len(data), ctypes.byref(prepared)))
    return Barcode(_symbology_name(number), text, items, result, prepared.dpi)


def _many(symbology: Union[str, int], texts: Sequence[Union[str, bytes]],
          paths: Optional[List[str]], kind: str, quality: int, errors: str,
          options: Dict[str, OptionValue]) -> List[Any]:
    """What quillion_encode_many gives for texts: each file's bytes (or None when written to
    its path), or each failure as an exception (raised, the first one, with errors="raise")."""
    if errors not in ("raise", "return"):
        raise ValueError(f'errors is "raise" or "return", not {errors!r}')
    if kind == "jpeg":
        _check_quality(quality)
    number = _symbology_number(symbology)
    prepared = _prepare(options)[1]
    data = [_text_bytes(text) for text in texts]
    count = len(data)
    results = (ctypes.c_void_p * count)()
    file_paths = None
    if paths is not None:
        if len(paths) != count:
            raise ArgumentError(_native.ERROR_ARGUMENT,
                                f"{count} texts and {len(paths)} paths")
        file_paths = (ctypes.c_char_p * count)(*map(_path_bytes, paths))
    _lib.quillion_encode_many(number, (ctypes.c_char_p * count)(*data),
                              (ctypes.c_size_t * count)(*map(len, data)), count,
                              ctypes.byref(prepared), _FILE_FORMATS[kind], quality, file_paths,
                              results)
    out: List[Any] = []
    first: Optional[Exception] = None
    size = ctypes.c_size_t()
    free, file_bytes, string_at = _lib.quillion_free, _lib.quillion_bytes, ctypes.string_at
    for index, result in enumerate(results):
        bytes_at = file_bytes(result, ctypes.byref(size)) if paths is None else None
        if bytes_at:
            out.append(string_at(bytes_at, size.value))
        else:
            failure = _failure(result, paths[index] if paths is not None else None)
            if failure is not None and first is None:
                first = failure
            out.append(failure if failure is not None or paths is not None else b"")
        free(result)
    if first is not None and errors == "raise":
        raise first
    return out


def render_many(symbology: Union[str, int], texts: Sequence[Union[str, bytes]], *,
                format: str = "png", quality: int = 80, errors: str = "raise",
                **options: OptionValue) -> List[Any]:
    """The files (bytes: format "png", "jpeg" or "svg") of many texts of one symbology with the
    same options, made in one call of the library that keeps the GIL free while it works:

        files = quillion.render_many("code128", ["A-1", "A-2"], dpi=300, quiet_zones=True)

    Options as for render(). A text that fails raises its error (after the others are made)
    or, with errors="return", stands in the list as its exception."""
    return _many(symbology, texts, None, _format_of("", format), quality, errors, options)


def save_many(symbology: Union[str, int], texts: Sequence[Union[str, bytes]],
              paths: Sequence[PathLike], *, format: Optional[str] = None, quality: int = 80,
              errors: str = "raise", **options: OptionValue) -> List[Optional[Exception]]:
    """Writes the barcode of texts[i] to paths[i] for every i, in one call of the library that
    keeps the GIL free; each file as Barcode.save writes it. The format is format or the
    paths' common ending. Returns None for each file written; a failure raises (after the
    others are written) or, with errors="return", stands in the list as its exception
    (quillion.Error, or OSError when the file could not be written)."""
    names = [os.fspath(path) for path in paths]
    kinds = {_format_of(name, format) for name in names} or {"png"}
    if len(kinds) > 1:
        raise ArgumentError(_native.ERROR_ARGUMENT,
                            f"the paths name several formats ({', '.join(sorted(kinds))}): "
                            f"pass format=")
    return _many(symbology, texts, names, kinds.pop(), quality, errors, options)

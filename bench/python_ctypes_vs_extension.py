#!/usr/bin/python3
"""What ctypes costs the quillion package: COUNT Code 128 PNGs (in memory) made three ways, in
turns of 200, so that a change in the machine's load falls on all alike:

- "package": quillion.render(...).png(), the package as it is (ctypes, options cached);
- "ctypes": the same C calls through ctypes with no Python around them (what a leaner binding
  could reach);
- "extension": one call into a compiled extension module that makes the same C calls (what a
  compiled binding would cost), built here with cc and Python's headers (python3-dev).

    QUILLION_LIBRARY=build/library/libquillion.so.0 PYTHONPATH=bindings/python/src \
        /usr/bin/python3 bench/python_ctypes_vs_extension.py [COUNT]
"""

import ctypes
import os
import pathlib
import subprocess
import sys
import sysconfig
import tempfile
import time

import quillion
from quillion import _native

COUNT = int(sys.argv[1]) if len(sys.argv) > 1 else 20_000
ROUND = 200
SOURCE = pathlib.Path(__file__).resolve().parents[1]
OPTIONS = {"module_width": 2, "height": 40, "quiet_zones": True}

EXTENSION = r"""
#define PY_SSIZE_T_CLEAN
#include <Python.h>
#include <quillion/quillion.h>

static quillion_options options;

static PyObject* png(PyObject* self, PyObject* arg) {
    Py_ssize_t length;
    const char* text = PyUnicode_AsUTF8AndSize(arg, &length);
    if (text == NULL)
        return NULL;
    quillion_result* picture;
    quillion_result* file = NULL;
    Py_BEGIN_ALLOW_THREADS
    picture = quillion_render_n(QUILLION_CODE128, text, (size_t)length, &options);
    if (picture != NULL && quillion_error_code(picture) == 0)
        file = quillion_encode(picture, QUILLION_PNG, 0);
    Py_END_ALLOW_THREADS
    PyObject* out = NULL;
    size_t size;
    const unsigned char* bytes = quillion_bytes(file, &size);
    if (bytes != NULL)
        out = PyBytes_FromStringAndSize((const char*)bytes, (Py_ssize_t)size);
    else
        PyErr_SetString(PyExc_RuntimeError, quillion_error_message(file ? file : picture));
    quillion_free(file);
    quillion_free(picture);
    return out;
}

static PyMethodDef methods[] = {{"png", png, METH_O, NULL}, {NULL, NULL, 0, NULL}};
static struct PyModuleDef module = {PyModuleDef_HEAD_INIT, "qext", NULL, -1, methods};

PyMODINIT_FUNC PyInit_qext(void) {
    quillion_options_init(&options);
    quillion_options_set(&options, "module-width", "2");
    quillion_options_set(&options, "height", "40");
    quillion_options_set(&options, "quiet-zones", "1");
    return PyModule_Create(&module);
}
"""


def build_extension(folder):
    library = os.path.abspath(os.environ.get("QUILLION_LIBRARY", "")) or None
    source = pathlib.Path(folder, "qext.c")
    source.write_text(EXTENSION)
    target = pathlib.Path(folder, "qext" + sysconfig.get_config_var("EXT_SUFFIX"))
    command = ["cc", "-O2", "-shared", "-fPIC", "-I" + sysconfig.get_paths()["include"],
               "-I" + str(SOURCE / "include"), str(source), "-o", str(target)]
    if library:
        command += [library, "-Wl,-rpath," + os.path.dirname(library)]
    else:
        command += ["-l:libquillion.so.0"]
    subprocess.run(command, check=True)
    sys.path.insert(0, folder)
    import qext

    return qext.png


def raw_ctypes():
    lib = quillion._lib
    options = quillion._prepared(quillion._option_items(OPTIONS))
    pointer = ctypes.byref(options)
    size = ctypes.c_size_t()

    def png(text):
        data = text.encode()
        picture = lib.quillion_render_n(0, data, len(data), pointer)
        file = lib.quillion_encode(picture, _native.PNG, 0)
        out = ctypes.string_at(lib.quillion_bytes(file, ctypes.byref(size)), size.value)
        lib.quillion_free(file)
        lib.quillion_free(picture)
        return out

    return png


def main():
    texts = [f"QX-{n:05d}" for n in range(COUNT)]
    with tempfile.TemporaryDirectory() as folder:
        makers = {
            "package": lambda text: quillion.render("code128", text, **OPTIONS).png(),
            "ctypes": raw_ctypes(),
            "extension": build_extension(folder),
        }
        first = {name: make(texts[0]) for name, make in makers.items()}
        if len(set(first.values())) != 1:
            sys.exit("the three ways make different files")
        spent = dict.fromkeys(makers, 0.0)
        for start in range(0, COUNT, ROUND):
            for name, make in makers.items():
                begin = time.perf_counter()
                for text in texts[start:start + ROUND]:
                    make(text)
                spent[name] += time.perf_counter() - begin
    print(f"libquillion {quillion.library_version()}, {COUNT} Code 128 PNGs each, "
          f"load average {os.getloadavg()[0]:.1f}")
    for name, seconds in spent.items():
        print(f"  {name:9s} {seconds / COUNT * 1e6:7.1f} us each "
              f"({seconds / spent['extension']:.2f}x the extension's time)")


if __name__ == "__main__":
    main()

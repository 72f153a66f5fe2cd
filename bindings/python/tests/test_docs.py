"""The examples of docs/python.md, run in their order in one empty folder; their barcodes are
read back."""

import ast
import os
import pathlib
import re
import subprocess
import sys

import pytest
from PIL import Image

from conftest import zxingcpp

SOURCE = pathlib.Path(os.environ.get("QUILLION_SOURCE_DIR") or
                      pathlib.Path(__file__).resolve().parents[3])
DOC = SOURCE / "docs" / "python.md"


def examples():
    """{file name: program} of the ```python blocks, each named by its first line."""
    blocks = re.findall(r"^```python\n(.*?)^```$", DOC.read_text(), re.M | re.S)
    return {re.match(r"# (\S+\.py):", block).group(1): block for block in blocks}


@pytest.fixture(scope="module")
def folder(tmp_path_factory):
    return tmp_path_factory.mktemp("examples")


def run(folder, name):
    path = folder / name
    path.write_text(examples()[name])
    done = subprocess.run([sys.executable, name], cwd=folder, capture_output=True, text=True,
                          timeout=280)
    assert done.returncode == 0, done.stderr
    return done.stdout


def read_file(path):
    return [(r.format.name, r.text) for r in zxingcpp.read_barcodes(Image.open(path))]


def test_the_examples_are_these():
    assert list(examples()) == ["label.py", "notebook.py", "items.py", "labels_threads.py",
                                "labels_dask.py"]


def test_label(folder):
    assert run(folder, "label.py").startswith("label.png: ")
    image = Image.open(folder / "label.png")
    assert image.info["dpi"] == pytest.approx((300, 300), abs=0.1)
    # 15 mm bars at 300 dpi: 177 pixels and a caption below.
    assert image.height > 177
    assert read_file(folder / "label.png") == [("Code128", "ABC-123")]


def test_notebook(folder, monkeypatch):
    monkeypatch.chdir(folder)
    tree = ast.parse(examples()["notebook.py"])
    last = tree.body.pop()
    assert isinstance(last, ast.Expr)
    names = {}
    exec(compile(tree, "notebook.py", "exec"), names)
    shown = eval(compile(ast.Expression(last.value), "notebook.py", "eval"), names)
    svg = shown._repr_svg_()
    assert svg.lstrip().startswith("<") and "<svg" in svg
    (folder / "notebook.png").write_bytes(shown._repr_png_())
    assert read_file(folder / "notebook.png") == [("Code128", "Shelf 12-B")]


def test_labels_threads_and_dask(folder):
    run(folder, "items.py")
    assert len((folder / "items.csv").read_text().splitlines()) == 10_001
    assert run(folder, "labels_threads.py").startswith("10000 written, 0 failed")
    assert run(folder, "labels_dask.py").startswith("10000 files in ")
    threads = sorted(os.listdir(folder / "labels"))
    assert threads == sorted(os.listdir(folder / "labels-dask"))
    assert threads[0] == "QX-00000.png" and len(threads) == 10_000
    for name in threads:
        assert (folder / "labels" / name).read_bytes() == \
            (folder / "labels-dask" / name).read_bytes()
    for name in threads[::997]:
        assert read_file(folder / "labels" / name) == [("Code128", name[:-4])]

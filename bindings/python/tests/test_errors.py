"""Failures are exceptions with the library's code and message; save() writes whole files or
nothing."""

import os
import stat

import pytest

import quillion
from conftest import built

# call, exception class, code, words of the message.
FAILURES = [
    (lambda: quillion.render("code93", "X"), quillion.ArgumentError, 1, "unknown symbology"),
    (lambda: quillion.render(2**40, "X"), quillion.ArgumentError, 1, "unknown symbology"),
    (lambda: quillion.render("code39\0", "X"), quillion.ArgumentError, 1, "unknown symbology"),
    (lambda: quillion.render("code39", "X", fg="336699\0"), quillion.ArgumentError, 1, "NUL"),
    (lambda: quillion.render("code128", "X", colour_depth=8), quillion.ArgumentError, 1, ""),
    (lambda: quillion.render("code128", "X", dpi="many"), quillion.ArgumentError, 1, ""),
    (lambda: quillion.render("code128", "X", rotate=45), quillion.ArgumentError, 1, ""),
    (lambda: quillion.render("code128", "\ud800"), quillion.ArgumentError, 1, "Unicode"),
    (lambda: quillion.render("code128", b"\xff\xfe"), quillion.ArgumentError, 1, "UTF-8"),
    (lambda: quillion.render("upca", "03600029145X"), quillion.RejectedError, 3, "numeric"),
    (lambda: quillion.render("upca", "036000291453"), quillion.RejectedError, 3,
     "check digit must be 2"),
    (lambda: quillion.render("code39", "ABC").jpeg(quality=0), quillion.ArgumentError, 1,
     "1-100"),
    (lambda: quillion.render("code39", "ABC").save("a.gif"), quillion.ArgumentError, 1,
     ".png"),
]


@pytest.mark.parametrize("call,kind,code,words", FAILURES, ids=range(len(FAILURES)))
def test_failures(call, kind, code, words, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    with pytest.raises(kind) as caught:
        call()
    assert caught.value.code == code
    assert words in caught.value.message and str(caught.value) == caught.value.message
    assert isinstance(caught.value, quillion.Error)
    assert os.listdir(tmp_path) == []


def test_too_long_is_a_rejection():
    if not built("datamatrix", "9"):
        pytest.skip("this libquillion has no datamatrix yet")
    with pytest.raises(quillion.TooLongError) as caught:
        quillion.render("datamatrix", "9" * 8000)
    assert caught.value.code == 7
    assert isinstance(caught.value, quillion.RejectedError)


def test_errors_name_their_class_and_type():
    assert issubclass(quillion.ArgumentError, ValueError)
    with pytest.raises(TypeError):
        quillion.render("code128", 123)
    with pytest.raises(TypeError):
        quillion.render(1.5, "X")


def test_save_is_whole_or_nothing(tmp_path):
    barcode = quillion.render("code128", "SAVE-1")
    target = tmp_path / "label.PNG"
    target.write_bytes(b"old")
    os.chmod(target, 0o640)
    barcode.save(target)
    assert target.read_bytes() == barcode.png()
    assert stat.S_IMODE(os.stat(target).st_mode) == 0o640
    (tmp_path / "b.jpeg").write_bytes(b"")
    barcode.save(str(tmp_path / "b.jpeg"), sync=True)
    assert (tmp_path / "b.jpeg").read_bytes()[:2] == b"\xff\xd8"
    barcode.save(tmp_path / "c.dat", format="svg")
    assert (tmp_path / "c.dat").read_text() == barcode.svg()
    # A folder in the way: the rename fails, the folder stays and no temporary file is left.
    (tmp_path / "d.png").mkdir()
    with pytest.raises(OSError):
        barcode.save(tmp_path / "d.png")
    assert sorted(os.listdir(tmp_path)) == ["b.jpeg", "c.dat", "d.png", "label.PNG"]
    with pytest.raises(FileNotFoundError):
        barcode.save(tmp_path / "missing" / "e.png")

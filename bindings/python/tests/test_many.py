"""render_many() and save_many(): each text's file is the one render() gives it alone, failures
stay with their text, and chunks on a thread pool give what one thread gives."""

from concurrent.futures import ThreadPoolExecutor

import pytest

import quillion

OPTIONS = dict(dpi=300, module_width="0.25mm", quiet_zones=True)


def test_each_text_gets_its_own_file_or_failure():
    texts = ["MANY-1", "A\x11B", b"MANY-3"]
    for format, made in (("png", lambda b: b.png()), ("svg", lambda b: b.svg().encode())):
        got = quillion.render_many("code128", texts, format=format, errors="return", **OPTIONS)
        assert got[0] == made(quillion.render("code128", texts[0], **OPTIONS))
        assert got[2] == made(quillion.render("code128", texts[2], **OPTIONS))
        assert isinstance(got[1], quillion.RejectedError) and got[1].code == 54548
    with pytest.raises(quillion.RejectedError):
        quillion.render_many("code128", texts)


def test_chunks_on_threads_give_the_files_of_one_thread():
    chunks = [[f"POOL-{n}-{i}" for i in range(20)] for n in range(8)]
    alone = [quillion.render_many("qr", chunk) for chunk in chunks]
    with ThreadPoolExecutor(max_workers=4) as pool:
        assert list(pool.map(lambda chunk: quillion.render_many("qr", chunk), chunks)) == alone


def test_save_many_writes_every_file_it_can(tmp_path):
    paths = [tmp_path / "a.png", tmp_path / "missing" / "b.png", tmp_path / "c.png"]
    got = quillion.save_many("code39", ["A", "B", "c!"], paths, errors="return")
    assert got[0] is None and paths[0].read_bytes() == quillion.render("code39", "A").png()
    assert isinstance(got[1], FileNotFoundError) and got[1].filename == str(paths[1])
    assert isinstance(got[2], quillion.RejectedError) and not paths[2].exists()
    with pytest.raises(FileNotFoundError):
        quillion.save_many("code39", ["A", "B"], paths[:2])
    with pytest.raises(quillion.ArgumentError):
        quillion.save_many("code39", ["A", "B"], [tmp_path / "a.png", tmp_path / "b.svg"])
    with pytest.raises(quillion.ArgumentError):
        quillion.save_many("code39", ["A"], paths)

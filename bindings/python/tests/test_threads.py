"""Renders on many threads at once give the files one thread gives."""

from concurrent.futures import ThreadPoolExecutor

import quillion

JOBS = [(symbology, text) for n in range(40)
        for symbology, text in (("code128", f"THREAD-{n}"), ("code39", f"T{n}"),
                                ("ean13", f"{590123412000 + n}"))]


def files(job):
    barcode = quillion.render(*job, dpi=300, module_width="0.25mm", quiet_zones=True)
    return barcode.png(), barcode.svg(), quillion.encode(*job).modules


def test_threads_give_the_files_of_one_thread():
    alone = [files(job) for job in JOBS]
    with ThreadPoolExecutor(max_workers=8) as pool:
        together = list(pool.map(files, JOBS))
    assert together == alone


def test_one_barcode_encoded_on_many_threads():
    barcode = quillion.render("code128", "SHARED", scale=3)
    expected = barcode.jpeg(quality=90)
    with ThreadPoolExecutor(max_workers=8) as pool:
        got = list(pool.map(lambda _: barcode.jpeg(quality=90), range(64)))
    assert got == [expected] * 64

# SPDX-License-Identifier: MIT
"""The nessel package on the shipped default configuration, in a private
store: the name vectors and CJK examples the library's own tests use, the
failure table shared with the C++ tests, str/bytes handling, the codec
registration, the listings against the nessel program's, and threads
converting at once."""

import codecs
import os
import re
import subprocess
import sys
import threading
import time

import pytest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
VECTORS = os.path.join(ROOT, "tests", "vectors")


def rows(name):
    with open(os.path.join(VECTORS, name), encoding="utf-8") as f:
        lines = [l.rstrip("\n") for l in f if l.strip() and not l.startswith("#")]
    return [["" if c == "-" else c for c in l.split("\t")] for l in lines]


def units(text):
    """U+XXXX lists (surrogates paired as str does) or plain text."""
    if "U+" not in text:
        return text
    raw = b"".join(int(t[2:], 16).to_bytes(2, "little") for t in text.split())
    return raw.decode("utf-16-le", "surrogatepass")


def escaped(text):
    return re.sub(rb"\\x([0-9A-Fa-f]{2})", lambda m: bytes([int(m.group(1), 16)]),
                  text.encode("utf-8"))


@pytest.fixture(scope="session")
def nessel(tmp_path_factory):
    home = tmp_path_factory.mktemp("home")
    os.environ.update(HOME=str(home), XDG_CONFIG_HOME="", TMPDIR=str(home))
    # No update is due, and none could leave this machine.
    program = os.environ.get("NESSEL_PROGRAM")
    if program:
        key = r"SOFTWARE\Talvex international inc.\Talvex Client"
        subprocess.run([program, "reg", "set", key, "UpdateServerURL", "http://127.0.0.1:1"],
                       check=True)
        subprocess.run([program, "reg", "set", key, "LastUpdateTime", str(int(time.time())),
                        "--dword"], check=True)
    os.chdir(str(home))  # the default configuration must come from the package
    import nessel
    return nessel


def test_names_convert_and_decode_back(nessel):
    for name, ace, back in rows("domain/idna2003.tsv"):
        assert nessel.to_ace(name) == ace
        assert nessel.to_ace_codec(name) == (ace, "PUNYCODE" if "xn--" in ace else "")
        assert nessel.to_unicode(ace) == back
    assert nessel.to_ace("info@bücher.de") == "info@xn--bcher-kva.de"


def test_cjk_examples(nessel):
    for enc, direction, given, expected, result, *_ in rows("cjk/examples.tsv"):
        ok = result != "0"
        if direction == "dec":
            call = lambda: nessel.decode(escaped(given), enc)
            want = units(expected)
        elif "\0" in units(given):
            # A zero unit cannot cross into the library: refused, never cut.
            with pytest.raises(nessel.Error) as e:
                nessel.encode(units(given), enc)
            assert e.value.code == 6001
            continue
        else:
            call = lambda: nessel.encode(units(given), enc)
            want = escaped(expected)
        if ok:
            assert call() == want, (enc, direction, given)
        else:
            with pytest.raises(nessel.Error) as e:
                call()
            assert e.value.code == (201 if direction == "dec" else 202)


def test_failures_raise_error_with_code(nessel):
    calls = {
        "to_ace": lambda text, arg: nessel.to_ace(text),
        "to_unicode": nessel.to_unicode,
        "nameprep": lambda text, arg: nessel.nameprep(text, int(arg)),
        "encode": nessel.encode,
        "decode": lambda text, arg: nessel.decode(text.encode("utf-8"), arg),
    }
    for call, text, arg, code, name in rows("api/errors.tsv"):
        with pytest.raises(nessel.Error) as e:
            calls[call](text, arg)
        assert (e.value.code, e.value.name) == (int(code), name)
        assert str(e.value) == f"{code} {name}: {e.value.message}"
    assert issubclass(nessel.Error, ValueError)


def test_str_and_bytes(nessel):
    data = "中文".encode("gbk")
    for form in (data, bytearray(data), memoryview(data)):
        assert nessel.decode(form, "gbk") == "中文"
    assert nessel.encode("中文", nessel.enctype("gbk")) == data
    with pytest.raises(TypeError):
        nessel.encode(b"abc", "ascii")
    with pytest.raises(TypeError):
        nessel.decode("abc", "ascii")
    with pytest.raises(TypeError):
        nessel.to_ace(b"example.com")
    assert nessel.nameprep("ＡＢＣ") == "abc"


def test_codecs_registration(nessel):
    assert "中文".encode("nessel-gbk") == "中文".encode("gbk")
    assert b"\xd6\xd0\xce\xc4".decode("nessel-GBK") == "中文"
    assert "bücher".encode("nessel-iso8859-1") == b"b\xfccher"
    for name, _ in nessel.encodings():
        assert codecs.lookup("nessel-" + name).name == "nessel-" + name
    with pytest.raises(LookupError):
        codecs.lookup("nessel-no-such-encoding")
    with pytest.raises(UnicodeEncodeError):
        "ü".encode("nessel-ascii")
    with pytest.raises(UnicodeDecodeError):
        b"ra--zz".decode("nessel-race")


def test_listings_match_the_program(nessel):
    program = os.environ.get("NESSEL_PROGRAM")
    if not program:
        pytest.skip("NESSEL_PROGRAM not set")
    listed = "".join(f"{t}\t{n}\n" for n, t in nessel.encodings())
    assert listed == subprocess.run([program, "encodings"], capture_output=True, text=True,
                                    check=True).stdout
    assert len(nessel.encodings()) == 54
    table = subprocess.run([program, "zones"], capture_output=True, check=True).stdout
    lines = table.decode("latin-1").split("\n")[1:-1]
    zones = nessel.zones()
    assert len(zones) == len(lines) > 1000
    for i, (z, line) in enumerate(zip(zones, lines), 1):
        fields = [str(i), *z[:9], f"0x{z.prep_flags:X}"]
        assert line.split("\t")[:11] == fields


def test_threads_convert_at_once(nessel):
    names = rows("domain/idna2003.tsv")
    failures = []

    def work():
        for _ in range(50):
            for name, ace, back in names:
                if nessel.to_ace(name) != ace or nessel.to_unicode(ace) != back:
                    failures.append(name)

    threads = [threading.Thread(target=work) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert failures == []

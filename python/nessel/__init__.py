# SPDX-License-Identifier: MIT
"""Internationalized domain names and e-mail addresses to ACE and back.

    >>> import nessel
    >>> nessel.to_ace("bücher.de")
    'xn--bcher-kva.de'
    >>> nessel.to_unicode("xn--bcher-kva.de")
    'bücher.de'
    >>> "中文".encode("nessel-gbk")
    b'\\xd6\\xd0\\xce\\xc4'

The library starts on the first call: it loads the zone table from the
per-user store, filling the store from the default configuration shipped
with this package when it holds fewer than six zones.  Failures raise
:class:`nessel.Error`, whose ``code`` is the library's result code.  Every
conversion releases the interpreter lock while it runs.
"""

import codecs as _codecs
import os as _os
from typing import NamedTuple

from . import _nessel

# The default configuration travels inside the package: it stands in for the
# installed data directory that the library searches for it.
_nessel._set_data_directory(_os.path.dirname(_os.path.abspath(__file__)))

Error = _nessel.Error
__version__ = "4.0.31"

#: Nameprep option bits (for :func:`nameprep`).
PREP_LOCAL_RULES = 0x0001
PREP_TO_SIMPLIFIED = 0x0002
PREP_MAP_IDEOGRAPHIC_STOP = 0x0004
PREP_CHECK_ALLOWED = 0x0008
PREP_JAPANESE_PREMAP = 0x0010
PREP_DELIMITERS = 0x0020
PREP_ALLOW_UNDERSCORE = 0x0080
PREP_KOREAN_PREMAP = 0x0100
PREP_TO_TRADITIONAL = 0x0200
#: The options name conversion uses.
DEFAULT_PREP_FLAGS = 0xA5


class Zone(NamedTuple):
    """One record of the zone table."""

    zone: str
    codec: str
    prefix: str
    suffix: str
    alt_codec: str
    alt_prefix: str
    alt_suffix: str
    strip_tail: str
    append_tail: str
    prep_flags: int


# The hot calls are the extension's own functions (docstrings there): a
# Python wrapper would cost as much as the conversion of a short name.
to_ace = _nessel.to_ace
to_ace_codec = _nessel.to_ace_codec


def to_unicode(ace, codec="amc-z"):
    """Decode an ACE name with codec "race", "lace", "racex", "dude", "dudex"
    or "amc-z" (the default, which decodes Punycode "xn--" labels)."""
    return _nessel.to_unicode(ace, codec)


def nameprep(name, flags=DEFAULT_PREP_FLAGS):
    """Nameprep alone with the given option bits (``PREP_*``)."""
    return _nessel.nameprep(name, flags)


def encode(text, encoding):
    """Encode text with a registered encoding or codec, named (any letter
    case) or given by its enctype; returns bytes."""
    return _nessel.encode(text, encoding)


def decode(data, encoding):
    """Decode bytes (or any bytes-like object) from a registered encoding or
    codec; returns str."""
    return _nessel.decode(data, encoding)


def enctype(encoding):
    """The enctype of an encoding name (0 when it is not registered)."""
    return _nessel.enctype(encoding)


def encodings():
    """The registered encodings as ``(name, enctype)`` pairs in registration
    order."""
    return _nessel.encodings()


def zones():
    """The zone table as the per-user store holds it, as :class:`Zone`
    records."""
    return [Zone(*z) for z in _nessel.zones()]


def version():
    """The library's version string."""
    return _nessel.version()


# Python's codecs: "nessel-" before any registered name ("nessel-gbk",
# "nessel-race", "nessel-iso8859-1").  Python hands the search function the
# name in lower case with "-" and " " turned into "_".
_PREFIX = "nessel_"
_codec_names = None


def _normalized(name):
    return name.lower().replace("-", "_").replace(" ", "_")


def _search(name):
    global _codec_names
    if not name.startswith(_PREFIX):
        return None
    if _codec_names is None:
        _codec_names = {_normalized(n): n for n, _ in encodings()}
    real = _codec_names.get(name[len(_PREFIX):])
    if real is None:
        return None

    def encode_text(text, errors="strict"):
        try:
            return _nessel.encode(text, real), len(text)
        except Error as e:
            raise UnicodeEncodeError("nessel-" + real, text, 0, len(text), str(e)) from e

    def decode_bytes(data, errors="strict"):
        try:
            return _nessel.decode(data, real), len(data)
        except Error as e:
            raise UnicodeDecodeError("nessel-" + real, bytes(data), 0, len(data), str(e)) from e

    return _codecs.CodecInfo(encode_text, decode_bytes, name="nessel-" + real)


_codecs.register(_search)

__all__ = [
    "Error", "Zone", "to_ace", "to_ace_codec", "to_unicode", "nameprep", "encode", "decode",
    "enctype", "encodings", "zones", "version", "DEFAULT_PREP_FLAGS",
]

# SPDX-License-Identifier: MIT
from typing import NamedTuple, Union

__version__: str

PREP_LOCAL_RULES: int
PREP_TO_SIMPLIFIED: int
PREP_MAP_IDEOGRAPHIC_STOP: int
PREP_CHECK_ALLOWED: int
PREP_JAPANESE_PREMAP: int
PREP_DELIMITERS: int
PREP_ALLOW_UNDERSCORE: int
PREP_KOREAN_PREMAP: int
PREP_TO_TRADITIONAL: int
DEFAULT_PREP_FLAGS: int

class Error(ValueError):
    """A conversion failed; code is the library's result code."""
    code: int
    name: str
    message: str

class Zone(NamedTuple):
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

Encoding = Union[str, int]
BytesLike = Union[bytes, bytearray, memoryview]

def to_ace(name: str) -> str: ...
def to_ace_codec(name: str) -> tuple[str, str]: ...
def to_unicode(ace: str, codec: str = "amc-z") -> str: ...
def nameprep(name: str, flags: int = 0xA5) -> str: ...
def encode(text: str, encoding: Encoding) -> bytes: ...
def decode(data: BytesLike, encoding: Encoding) -> str: ...
def enctype(encoding: Encoding) -> int: ...
def encodings() -> list[tuple[str, int]]: ...
def zones() -> list[Zone]: ...
def version() -> str: ...

# SPDX-License-Identifier: MIT
"""examples/hello.py: the same through the Python package."""

import nessel

for name in ["bücher.de", "中文网.中国", "ü.no-such-tld"]:
    try:
        ace, codec = nessel.to_ace_codec(name)
    except nessel.Error as e:
        print(f"{name}\t{e}")
        continue
    print(f"{ace}\t{codec}\t{nessel.to_unicode(ace)}")
print("GBK:", "中文网.中国".encode("nessel-gbk").hex(" ").upper())
print(f"{len(nessel.encodings())} encodings, {len(nessel.zones())} zones")

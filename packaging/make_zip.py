"""Zips the files at the top of a folder so that the same files give the same bytes on any machine.

Usage: make_zip.py <folder> <zip> <mtime>   (mtime: seconds since 1970, UTC)

Entries are in byte order of their UTF-8 names; every entry has the given time (as UTC), the same attributes and
no extra fields. Tools that take times, owners and access times from the disk (CPack, `cmake -E tar`) write those
into each entry. Names outside ASCII are flagged as UTF-8, which Explorer needs to show 使用说明.txt right.
"""

import os
import sys
import time
import zipfile

# The earliest time a zip entry can hold.
ZIP_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC


def main(folder, output, mtime):
    stamp = time.gmtime(max(int(mtime), ZIP_EPOCH))[:6]
    names = sorted(os.listdir(folder), key=lambda name: name.encode("utf-8"))
    partial = output + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in names:
            path = os.path.join(folder, name)
            if not os.path.isfile(path):
                sys.exit(f"{path}: only plain files go into the zip")
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.create_system = 3  # Unix, so that the mode below means what it says
            entry.external_attr = 0o100644 << 16
            with open(path, "rb") as source:
                archive.writestr(entry, source.read(), compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(partial, output)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])

#!/usr/bin/python3
"""Prints the ID3 tags of MP3 files as an independent reader (mutagen) sees
them: one block per file, the ID3v2 version, each text frame, the pictures
and the ID3v1 tag.

    show_tags.py FILE...
"""
import os
import sys

try:
    from mutagen.id3 import ID3, ID3NoHeaderError
except ImportError:
    # Another python3 first on the PATH (a virtual environment, a local
    # build) may lack the system's mutagen (python3-mutagen): use the
    # system's own interpreter then.
    SYSTEM_PYTHON = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and os.access(
        SYSTEM_PYTHON, os.X_OK
    ):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON, os.path.abspath(__file__)] + sys.argv[1:])
    sys.exit("show_tags.py: needs mutagen (Debian package python3-mutagen)")


def id3v1_of(path):
    with open(path, "rb") as f:
        f.seek(0, 2)
        if f.tell() < 128:
            return None
        f.seek(-128, 2)
        block = f.read(128)
    if block[:3] != b"TAG":
        return None

    def text(a, b):
        return block[a:b].split(b"\0", 1)[0].decode("latin-1").rstrip()

    fields = {"title": text(3, 33), "artist": text(33, 63), "album": text(63, 93),
              "year": text(93, 97)}
    if block[125] == 0 and block[126] != 0:
        fields["track"] = str(block[126])
    return fields


def show(path):
    print("== " + path.rsplit("/", 1)[-1])
    with open(path, "rb") as f:
        has_id3v2 = f.read(3) == b"ID3"
    try:
        if not has_id3v2:
            raise ID3NoHeaderError(path)
        tag = ID3(path, translate=False)
        print("ID3v2.%d" % tag.version[1])
        for key in sorted(tag.keys()):
            frame = tag[key]
            if key.startswith("APIC"):
                print("APIC: %s, %d bytes" % (frame.mime, len(frame.data)))
            elif hasattr(frame, "text"):
                print("%s: %s" % (frame.FrameID, " / ".join(str(t) for t in frame.text)))
            else:
                print("%s: (%s)" % (frame.FrameID, type(frame).__name__))
    except ID3NoHeaderError:
        print("no ID3v2 tag")
    v1 = id3v1_of(path)
    if v1 is None:
        print("no ID3v1 tag")
    else:
        print("ID3v1: " + ", ".join("%s=%s" % (k, v) for k, v in v1.items()))


def main(paths):
    for path in paths:
        show(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

#!/usr/bin/python3
"""Makes real MP3 files: MPEG-1 Layer III frames of silence (each file's
distinct) with the ID3 tags described, written by mutagen.

    make_mp3.py < DESCRIPTION

One file a line, its fields separated by tabs: the path first, then any of
    seed=N        makes the audio distinct (default 1)
    bytes=N       audio size (default 48000, about three seconds)
    v2=3|4        the ID3v2 version (default 3); v2=0 for no ID3v2 tag
    enc=0..3      text encoding of the frames: Latin-1, UTF-16, UTF-16BE, UTF-8
    pad=N         padding bytes inside the tag
    v1=TITLE|ARTIST|ALBUM|YEAR|COMMENT|TRACK|GENRE   an ID3v1 tag at the end
    TXXX=DESC|TEXT, COMM=TEXT, APIC=MIME|DATA, EQU2=DESC (a flat equalisation),
    or ID=TEXT|TEXT... for a text frame
"""
import random
import sys

from mutagen import id3

FRAME_HEADER = bytes([0xFF, 0xFB, 0x90, 0x40])  # 128 kbit/s, 44100 Hz, joint stereo
FRAME_SIZE = 417
SIDE_INFO = 32  # all zero: silence, so every later byte is ancillary data


def audio(size, seed):
    rng = random.Random(seed)
    frames = bytearray()
    while len(frames) < size:
        frames += FRAME_HEADER + bytes(SIDE_INFO) + rng.randbytes(FRAME_SIZE - 4 - SIDE_INFO)
    return bytes(frames)


def id3v1(fields):
    title, artist, album, year, comment, track, genre = (fields.split("|") + [""] * 7)[:7]

    def fixed(text, width):
        return text.encode("latin-1")[:width].ljust(width, b"\0")

    block = b"TAG" + fixed(title, 30) + fixed(artist, 30) + fixed(album, 30) + fixed(year, 4)
    if track:
        block += fixed(comment, 28) + b"\0" + bytes([int(track)])
    else:
        block += fixed(comment, 30)
    return block + bytes([int(genre) if genre else 255])


def frame(key, value, encoding):
    if key == "TXXX":
        desc, text = value.split("|", 1)
        return id3.TXXX(encoding=encoding, desc=desc, text=[text])
    if key == "COMM":
        return id3.COMM(encoding=encoding, lang="eng", desc="", text=[value])
    if key == "EQU2":
        return id3.EQU2(method=1, desc=value, adjustments=[(100.0, 0.5)])
    if key == "APIC":
        mime, data = value.split("|", 1)
        return id3.APIC(encoding=0, mime=mime, type=3, desc="", data=data.encode("latin-1"))
    return getattr(id3, key)(encoding=encoding, text=value.split("|"))


def make(fields):
    path, options = fields[0], dict(field.split("=", 1) for field in fields[1:])
    frames = [(k, v) for k, v in options.items() if k.isupper()]
    with open(path, "wb") as out:
        out.write(audio(int(options.get("bytes", 48000)), int(options.get("seed", 1))))
    version = int(options.get("v2", 3))
    if version and frames:
        tag = id3.ID3()
        for key, value in frames:
            tag.add(frame(key, value, int(options.get("enc", 0))))
        pad = int(options.get("pad", 0))
        tag.save(path, v1=0, v2_version=version, padding=lambda info: pad)
    if "v1" in options:
        with open(path, "ab") as out:
            out.write(id3v1(options["v1"]))


def make_all(lines):
    for line in lines:
        if line.strip():
            make(line.rstrip("\n").split("\t"))


if __name__ == "__main__":
    make_all(sys.stdin)

#!/usr/bin/python3
"""Makes the demo album: a folder of real MP3 files of the bundled
catalogue's release "Night Ferry" (Harbour Lights, release 100101), named and
tagged the way people's own rips are: some fully, some partly, some not at
all, names in several styles.

    make_demo_album.py PARENT    creates PARENT/<album folder>, prints its path
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_mp3  # noqa: E402

FOLDER = "Harbour_Lights - Night Ferry [HL_007] - (2005)"


def full(title, track):
    return ["TPE1=Harbour Lights", "TIT2=" + title, "TALB=Night Ferry", "TRCK=%d/12" % track]


FILES = [
    ("01 - Salt Road.mp3", full("Salt Road", 1)),
    ("02 - Night Ferry.mp3", full("Night Ferry", 2)),
    ("03 - lanterns over water.mp3", []),
    ("04 Harbour Wall.mp3", ["v1=Harbour Wall|Harbour Lights"]),
    ("05 The Quiet Deck.mp3", ["v2=4", "enc=3", "TIT2=The Quiet Deck"]),
    ("06_low_tide_signal.mp3", []),
    ("07 gulls at four.mp3", ["enc=1", "TPE1=harbour lights"]),
    ("08 - Crossing.mp3", full("Crossing", 8)),
    ("09 - Paper Boats.mp3", []),
    ("10 - Foghorn Lullaby.mp3", ["TIT2=Foghorn Lullaby", "TRCK=10"]),
    ("11 pier lights.mp3", []),
    ("12 - Morning Landfall.mp3", full("Morning Landfall", 12)),
]


def main(parent):
    folder = os.path.join(parent, FOLDER)
    os.mkdir(folder)
    make_mp3.make_all("\t".join([os.path.join(folder, name), "seed=%d" % (i + 1), "pad=256"] + tags)
                      for i, (name, tags) in enumerate(FILES))
    print(folder)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_demo_album.py PARENT_FOLDER")
    main(sys.argv[1])

#!/usr/bin/python3
"""Makes a small demo library: album folders of real MP3 files of the
bundled catalogue, named and tagged as people's own rips are, for the
unattended library run (plinth --batch).

    make_demo_library.py PARENT    creates PARENT/library/..., prints its path

The albums, and what a careful tagger makes of them:
    Harbour Lights/Harbour_Lights - Night Ferry [HL_007] - (2005)
                                the demo album (some files tagged): tagged
    Celeste Vardahl - Sma Ljus  accents left out of every name: tagged
    Nils Arvo - Slow Weather (2012)
                                two pressings of one tracklist, the year
                                says which: tagged as the reissue
    Nils Arvo - Slow Weather    the same without a year: left, two fit
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_demo_album  # noqa: E402
import make_mp3  # noqa: E402

WEATHER = ["Low Pressure", "Drizzle Map", "Isobar", "Fog Bank", "Clearing Later", "Barometer"]
SMA_LJUS = ["Over Isen", "Cafe Nocturne", "Ljusar", "Sjon Sover", "Noel A Bergen"]


def numbered(titles, seed):
    return [("%02d %s.mp3" % (i + 1, title), ["seed=%d" % (seed + i)]) for i, title in enumerate(titles)]


ALBUMS = [
    ("Harbour Lights/" + make_demo_album.FOLDER,
     [(name, ["seed=%d" % (i + 1), "pad=256"] + tags)
      for i, (name, tags) in enumerate(make_demo_album.FILES)]),
    ("Celeste Vardahl - Sma Ljus", numbered(SMA_LJUS, 100)),
    ("Nils Arvo - Slow Weather (2012)", numbered(WEATHER, 200)),
    ("Nils Arvo - Slow Weather", numbered(WEATHER, 300)),
]


def make_library(library, albums):
    lines = []
    for folder, files in albums:
        path = os.path.join(library, *folder.split("/"))
        os.makedirs(path)
        lines += ["\t".join([os.path.join(path, name)] + fields) for name, fields in files]
    make_mp3.make_all(lines)


def main(parent):
    library = os.path.join(parent, "library")
    make_library(library, ALBUMS)
    print(library)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_demo_library.py PARENT_FOLDER")
    main(sys.argv[1])

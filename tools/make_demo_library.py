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
    Marta Vey - Paper Moons     the database's "Marta Vey (2)": tagged
    The Persuader - Stockholm   the sort form "Persuader, The", sides A
                                and B: tagged
    Pale Harrow - Darkroom Soundtrack
                                catalogue number "none": tagged
    Harbour Nights Vol. 1       a compilation, each file tagged with its
                                own artist: tagged
    Juno Berg - Deep Water Sessions
                                two discs of ten tracks: tagged
    Mirelle Dax - Copper Fields eight files, so not the deluxe edition's
                                eleven: tagged
    New Folder (3)              a useless name over fully tagged files:
                                tagged
    Tomas Quill - Lowlands      one file of two tracks: left
    Sable Reyes - Kiln Nights   a credit "S. Reyes Feat. Orin Vale (2)", side
                                headings and a suite of two parts: tagged
    Quay Signals                a compilation with a track artist's "(2)":
                                tagged
    Kuon Minato                 tags in Japanese under a romanised folder
                                name, none of them the album's title: left
                                (the wizard finds it)
    Harbour Lights - Tidal Lines EP
                                a hidden track beyond the release's four:
                                left
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_demo_album  # noqa: E402
import make_mp3  # noqa: E402

WEATHER = ["Low Pressure", "Drizzle Map", "Isobar", "Fog Bank", "Clearing Later", "Barometer"]
SMA_LJUS = ["Over Isen", "Cafe Nocturne", "Ljusar", "Sjon Sover", "Noel A Bergen"]
PAPER_MOONS = ["Paper Moons", "Telegraph Hill", "Winter Orchard", "Small Hours", "Glasshouse",
               "Goodnight, Satellite"]
DEEP_WATER = ["Sounding Line", "Cold Current", "Trench", "Ballast", "Keel Light",
              "Surface Interval", "Brine Choir", "Undertow", "Last Buoy", "Harbour Mouth"]
COPPER_FIELDS = ["Rust Belt Morning", "Copper Fields", "Wire Fence", "Harvest Static",
                 "Long Furrow", "Silo Song", "Tin Roof Rain", "Evening Threshing"]
HARBOUR_NIGHTS = [("Quayside", "Wren Hollis"), ("Night Bus Home", "Mirelle Dax"),
                  ("Lamp Post Waltz", "Nils Arvo"), ("Wet Cobbles", "Juno Berg"),
                  ("Last Orders", "Odile Stray")]
KILN_NIGHTS = ["Ember Road", "Slow Glaze", "Firing", "Cooling", "Ash Garden"]
KUON = "\u4e45\u9060\u30df\u30ca\u30c8"
DAWN_HARBOUR = [("Shiosai", "\u6f6e\u9a12"), ("Shiroi Todai", "\u767d\u3044\u706f\u53f0"),
                ("Tide Clock", "Tide Clock")]
LOWLANDS = ["Marsh Gate", "Reed Bed", "Lowlands", "Heron Watch", "Sluice", "Wide Sky"]


def numbered(titles, seed):
    return [("%02d %s.mp3" % (i + 1, title), ["seed=%d" % (seed + i)]) for i, title in enumerate(titles)]


def sides(positions_and_titles, seed):
    return [("%s %s.mp3" % pair, ["seed=%d" % (seed + i)])
            for i, pair in enumerate(positions_and_titles)]


def japanese(romanised_and_titles, seed):
    return [("%02d %s.mp3" % (i + 1, name),
             ["seed=%d" % (seed + i), "v2=4", "enc=3", "TPE1=" + KUON, "TIT2=" + title])
            for i, (name, title) in enumerate(romanised_and_titles)]


def tagged(titles_and_artists, album, seed):
    return [("track%d.mp3" % (i + 1),
             ["seed=%d" % (seed + i), "TIT2=" + title, "TPE1=" + artist, "TALB=" + album])
            for i, (title, artist) in enumerate(titles_and_artists)]


ALBUMS = [
    ("Harbour Lights/" + make_demo_album.FOLDER,
     [(name, ["seed=%d" % (i + 1), "pad=256"] + tags)
      for i, (name, tags) in enumerate(make_demo_album.FILES)]),
    ("Celeste Vardahl - Sma Ljus", numbered(SMA_LJUS, 100)),
    ("Nils Arvo - Slow Weather (2012)", numbered(WEATHER, 200)),
    ("Nils Arvo - Slow Weather", numbered(WEATHER, 300)),
    ("Marta Vey - Paper Moons", numbered(PAPER_MOONS, 400)),
    ("The Persuader - Stockholm",
     sides([("A", "Ostermalm"), ("B1", "Gamla Stan"), ("B2", "Norrmalm")], 500)),
    ("Pale Harrow - Darkroom Soundtrack", numbered(["Red Light", "Fixer Bath"], 600)),
    ("Harbour Nights Vol. 1", tagged(HARBOUR_NIGHTS, "Harbour Nights Vol. 1", 700)),
    ("Juno Berg - Deep Water Sessions",
     sides([("%d-%02d" % (i // 5 + 1, i % 5 + 1), title) for i, title in enumerate(DEEP_WATER)],
           800)),
    ("Mirelle Dax - Copper Fields", numbered(COPPER_FIELDS, 900)),
    ("New Folder (3)", tagged([(title, "Wren Hollis") for title in LOWLANDS], "Lowlands", 1000)),
    ("Tomas Quill - Lowlands", sides([("A", "Lowlands")], 1100)),
    ("Sable Reyes - Kiln Nights", numbered(KILN_NIGHTS, 1200)),
    ("Quay Signals", numbered(["Static Bloom", "Low Beacon"], 1300)),
    ("Kuon Minato", japanese(DAWN_HARBOUR, 1400)),
    ("Harbour Lights - Tidal Lines EP",
     sides([("A1", "Tidal Lines"), ("A2", "Undertow"), ("B1", "Brine"), ("B2", "Tidal Lines Dub"),
            ("B3", "Hidden Track")], 1500)),
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

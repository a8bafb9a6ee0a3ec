"""The catalogue behind the stand-in database: artists, labels, releases,
cover pictures and the maker's site files, loaded from one folder.

Folder layout:
  catalogue.json   artists, labels and releases (see tools/README.md)
  covers/          cover pictures named by the releases' "cover" field
  site/            files of the maker's web site (the help page)
  pages/           optional hand-made pages that replace rendered ones
"""

import json
import os
import re
import unicodedata
import urllib.parse

REMIX_CREDIT = re.compile(r"\(Remix:\s*([^()]*(?:\([^()]*\))?[^()]*)\)")


class CatalogueError(Exception):
    pass


def link_name(name):
    """The name as the site writes it in a link: blanks as '+', the rest
    percent-encoded UTF-8."""
    return urllib.parse.quote_plus(name, safe="")


SORT_FORM = re.compile(r"^(.*\S), (The|An|A)((?: \(\d+\))?)$")


def display_name(name):
    """A name kept in sort form ("Persuader, The (2)") as the site's pages
    show it ("The Persuader (2)"); links keep the sort form."""
    found = SORT_FORM.match(name)
    return "%s %s%s" % (found.group(2), found.group(1), found.group(3)) if found else name


def decode_link_text(raw):
    """Decodes a path segment or query value as it came in the request line.
    The request line arrives as Latin-1 text of its bytes; escapes decode to
    bytes that are UTF-8 from today's clients, Windows-1252 from older ones."""
    data = urllib.parse.unquote_to_bytes(raw.replace("+", " ").encode("latin-1", "replace"))
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1252", "replace")


def search_words(text):
    """Lower-case words without accents, for matching a search term."""
    plain = unicodedata.normalize("NFKD", text)
    plain = "".join(c for c in plain if not unicodedata.combining(c))
    return re.findall(r"\w+", plain.casefold())


def _words_match(term_words, name):
    name_words = search_words(name)
    return all(any(w.startswith(t) for w in name_words) for t in term_words)


class Track:
    """A tracklist entry. "type" is "track" (the default), "heading" or
    "index"; an index holds its "sub_tracks"."""

    def __init__(self, data, where):
        self.position = _text(data, "position", where)
        self.title = _text(data, "title", where)
        self.duration = _text(data, "duration", where)
        self.artists = _names(data, "artists", where)
        self.credits = _credits(data, self.artists, where)
        self.type = _text(data, "type", where) or "track"
        if self.type not in ("track", "heading", "index"):
            raise CatalogueError(where + ": 'type' must be track, heading or index")
        subs = data.get("sub_tracks", [])
        if not isinstance(subs, list):
            raise CatalogueError(where + ": 'sub_tracks' must be a list")
        self.sub_tracks = [Track(t, "%s sub-track %d" % (where, i + 1)) for i, t in enumerate(subs)]

    def remixers(self):
        return [m.strip() for m in REMIX_CREDIT.findall(self.title) if m.strip()]


class Release:
    def __init__(self, data, where):
        if not isinstance(data.get("id"), int) or data["id"] <= 0:
            raise CatalogueError(where + ": 'id' must be a positive whole number")
        self.id = data["id"]
        self.artists = _names(data, "artists", where)
        if not self.artists:
            raise CatalogueError(where + ": a release needs at least one artist")
        self.title = _text(data, "title", where)
        self.label = _text(data, "label", where)
        self.catno = _text(data, "catno", where)
        self.format = _text(data, "format", where)
        self.country = _text(data, "country", where)
        self.released = _text(data, "released", where)
        self.genres = _names(data, "genres", where)
        self.styles = _names(data, "styles", where)
        self.cover = _text(data, "cover", where)
        self.notes = _text(data, "notes", where)
        tracks = data.get("tracks", [])
        if not isinstance(tracks, list):
            raise CatalogueError(where + ": 'tracks' must be a list")
        # The tracklist as the API gives it; `tracks` as the site's page lists
        # them: headings left out, an index replaced by its sub-tracks.
        self.tracklist = [Track(t, "%s track %d" % (where, i + 1)) for i, t in enumerate(tracks)]
        self.tracks = [s for t in self.tracklist if t.type != "heading"
                       for s in (t.sub_tracks if t.type == "index" and t.sub_tracks else [t])]
        self.credits = _credits(data, self.artists, where)
        master = data.get("master", 0)
        if not isinstance(master, int) or master < 0:
            raise CatalogueError(where + ": 'master' must be a positive whole number")
        self.master = master

    def year(self):
        found = re.search(r"\b(\d{4})\b", self.released)
        return found.group(1) if found else ""

    def credited(self, name):
        return name in self.artists

    def remixed_by(self, name):
        return any(name in t.remixers() for t in self.tracks)

    def has_track_by(self, name):
        return any(name in t.artists for t in self.tracks)


class Person:
    """An artist or a label: a name and the texts of its profile."""

    def __init__(self, data, where):
        self.name = _text(data, "name", where)
        if not self.name:
            raise CatalogueError(where + ": 'name' must not be empty")
        self.profile = _text(data, "profile", where)
        self.real_name = _text(data, "real_name", where)
        self.contact = _text(data, "contact", where)
        self.members = _names(data, "members", where)


class Catalogue:
    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        path = os.path.join(self.folder, "catalogue.json")
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as e:
            raise CatalogueError("cannot read %s: %s" % (path, e))
        if not isinstance(data, dict):
            raise CatalogueError(path + ": the top level must be an object")
        self.releases = [Release(r, "release %d" % (i + 1))
                         for i, r in enumerate(_list(data, "releases", path))]
        self._by_id = {}
        for r in self.releases:
            if r.id in self._by_id:
                raise CatalogueError("release id %d is used twice" % r.id)
            self._by_id[r.id] = r
        self.artists = _people(_list(data, "artists", path), "artist")
        self.labels = _people(_list(data, "labels", path), "label")
        # Names that releases use are artists and labels too, so a small
        # test catalogue needs no separate lists.
        for r in self.releases:
            for name in r.artists + [n for t in r.tracks for n in t.artists + t.remixers()]:
                self.artists.setdefault(name, Person({"name": name}, "artist"))
            if r.label:
                self.labels.setdefault(r.label, Person({"name": r.label}, "label"))

    def release(self, release_id):
        return self._by_id.get(release_id)

    def artist(self, name):
        return _lookup(self.artists, name)

    def label(self, name):
        return _lookup(self.labels, name)

    def releases_of(self, artist):
        return [r for r in self.releases if r.credited(artist)]

    def remixes_of(self, artist):
        return [r for r in self.releases if r.remixed_by(artist)]

    def appearances_of(self, artist):
        return [r for r in self.releases
                if not r.credited(artist) and r.has_track_by(artist)]

    def releases_on(self, label):
        return [r for r in self.releases if r.label == label]

    def search(self, term):
        """Artists, labels and releases whose names hold every word of the
        term (as the start of a word, without regard to case or accents)."""
        words = search_words(term)
        if not words:
            return [], [], []
        artists = [a for a in self.artists.values() if _words_match(words, a.name)]
        labels = [l for l in self.labels.values() if _words_match(words, l.name)]
        releases = [r for r in self.releases
                    if _words_match(words, " ".join(r.artists) + " " + r.title)]
        return artists, labels, releases

    def cover_file(self, name):
        return _file_in(os.path.join(self.folder, "covers"), name)

    def site_file(self, relative):
        return _file_in(os.path.join(self.folder, "site"), relative)

    def hand_made_page(self, kind, raw_name):
        """A page that the catalogue brings as it is, for pages that the
        renderer would never write (cut pages, missing markers)."""
        return _file_in(os.path.join(self.folder, "pages", kind), raw_name + ".html")


def _file_in(folder, relative):
    """The file under folder, never one outside it."""
    parts = [p for p in relative.split("/") if p]
    if not parts or any(p.startswith(".") or "\\" in p or "\0" in p for p in parts):
        return None
    path = os.path.realpath(os.path.join(folder, *parts))
    if not path.startswith(os.path.realpath(folder) + os.sep) or not os.path.isfile(path):
        return None
    return path


def _lookup(table, name):
    if name in table:
        return table[name]
    folded = name.casefold()
    for key, value in table.items():
        if key.casefold() == folded:
            return value
    return None


def _people(entries, kind):
    table = {}
    for i, entry in enumerate(entries):
        person = Person(entry, "%s %d" % (kind, i + 1))
        table[person.name] = person
    return table


def _list(data, key, where):
    value = data.get(key, [])
    if not isinstance(value, list) or not all(isinstance(v, dict) for v in value):
        raise CatalogueError("%s: '%s' must be a list of objects" % (where, key))
    return value


def _text(data, key, where):
    if not isinstance(data, dict):
        raise CatalogueError(where + ": must be an object")
    value = data.get(key, "")
    if not isinstance(value, str):
        raise CatalogueError("%s: '%s' must be a text" % (where, key))
    return value


def _credits(data, names, where):
    """The artist credits of the API: "credits" as objects with name, anv and
    join where the catalogue gives them, else one per name, joined by ""."""
    value = data.get("credits")
    if value is None:
        return [{"name": n, "anv": "", "join": ""} for n in names]
    if not isinstance(value, list) or not all(isinstance(v, dict) for v in value):
        raise CatalogueError(where + ": 'credits' must be a list of objects")
    return [{"name": _text(v, "name", where), "anv": _text(v, "anv", where),
             "join": _text(v, "join", where)} for v in value]


def _names(data, key, where):
    value = data.get(key, [])
    if not isinstance(value, list) or not all(isinstance(v, str) and v for v in value):
        raise CatalogueError("%s: '%s' must be a list of texts" % (where, key))
    return value

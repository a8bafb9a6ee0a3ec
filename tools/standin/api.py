"""The catalogue as the database's REST API serves it (JSON): search, an
artist's or a label's releases, releases and masters. Every request needs
"Authorization: Discogs token=TOKEN"; answers carry the rate-limit headers,
and the first N requests can be refused with 429 on purpose."""

import json
import re
import threading
import time

from standin.catalogue import search_words

API_PATHS = ("/database/", "/artists/", "/labels/", "/releases/", "/masters/")
ARTIST_IDS = 200001
LABEL_IDS = 300001
RATE_LIMIT = 60
WINDOW_SECONDS = 60.0


def is_api_path(path):
    return path.startswith(API_PATHS)


class Api:
    def __init__(self, catalogue, api_base, image_base, token, too_many=0, retry_after=None,
                 rate_limit=RATE_LIMIT, enforce_limit=False, clock=time.monotonic):
        self.catalogue = catalogue
        self.rate_limit = rate_limit
        self.enforce_limit = enforce_limit
        self.clock = clock
        self._window = []  # when each request of the last minute came
        self.api_base = api_base
        self.image_base = image_base
        self.token = token
        self.too_many = too_many
        self.retry_after = retry_after
        self._refused_until = 0.0  # a 429's Retry-After holds until then
        self._lock = threading.Lock()
        self._answered = 0
        self.artist_ids = {name: ARTIST_IDS + i for i, name in enumerate(catalogue.artists)}
        self.label_ids = {name: LABEL_IDS + i for i, name in enumerate(catalogue.labels)}

    def answer(self, path, query, headers):
        """(status, body object, extra headers)."""
        with self._lock:
            self._answered += 1
            count = self._answered
            now = self.clock()
            used = self._count_in_window(now)
            # As the database does, a request before the time a 429 named
            # is refused again.
            too_early = now < self._refused_until
            if count <= self.too_many and self.retry_after is not None:
                self._refused_until = now + self.retry_after
        limits = [("X-Discogs-Ratelimit", str(self.rate_limit)),
                  ("X-Discogs-Ratelimit-Used", str(min(used, self.rate_limit))),
                  ("X-Discogs-Ratelimit-Remaining", str(max(self.rate_limit - used, 0)))]
        if headers.get("authorization", "") != "Discogs token=" + self.token:
            return 401, {"message": "You must authenticate to access this resource."}, limits
        if count <= self.too_many or too_early or (self.enforce_limit and used > self.rate_limit):
            extra = [("Retry-After", str(self.retry_after))] if self.retry_after is not None else []
            return 429, {"message": "You are making requests too quickly."}, limits + extra
        status, body = self.route(path.rstrip("/").split("/")[1:], query)
        return status, body, limits

    def _count_in_window(self, now):
        """The requests of the last minute, this one included: the database
        counts a moving window of 60 seconds."""
        self._window = [t for t in self._window if now - t < WINDOW_SECONDS] + [now]
        return len(self._window)

    def route(self, parts, query):
        if parts == ["database", "search"]:
            return 200, self.search(query)
        if len(parts) == 3 and parts[0] in ("artists", "labels") and parts[2] == "releases":
            return self.discography(parts[0], _number(parts[1]), query)
        if len(parts) == 2 and parts[0] == "releases":
            release = self.catalogue.release(_number(parts[1]))
            if release:
                return 200, self.release(release)
            return 404, {"message": "Release not found."}
        if len(parts) == 2 and parts[0] == "masters":
            main = self.main_release(_number(parts[1]))
            if main:
                return 200, {"id": main.master, "title": main.title, "main_release": main.id,
                             "main_release_url": "%s/releases/%d" % (self.api_base, main.id)}
            return 404, {"message": "Master Release not found."}
        return 404, {"message": "The requested resource was not found."}

    def search(self, query):
        wanted = query.get("type", "")
        if wanted == "release":
            return _paged(self.release_results(query), query, "results")
        artists, labels, _ = self.catalogue.search(query.get("q", ""))
        results = []
        if wanted in ("", "artist"):
            results += [{"id": self.artist_ids[a.name], "type": "artist", "title": a.name,
                         "resource_url": "%s/artists/%d" % (self.api_base, self.artist_ids[a.name])}
                        for a in artists]
        if wanted in ("", "label"):
            results += [{"id": self.label_ids[l.name], "type": "label", "title": l.name,
                         "resource_url": "%s/labels/%d" % (self.api_base, self.label_ids[l.name])}
                        for l in labels]
        return _paged(results, query, "results")

    def release_results(self, query):
        """Releases that share words with the query's artist, release_title
        and q (loosely, as the database matches: words without regard to
        case and accents), the most words shared first."""
        fields = [(search_words(query.get("artist", "")), lambda r: " ".join(r.artists)),
                  (search_words(query.get("release_title", "")), lambda r: r.title),
                  (search_words(query.get("q", "")),
                   lambda r: " ".join(r.artists + [r.title, r.label, r.catno]))]
        scored = []
        for order, r in enumerate(self.catalogue.releases):
            shared = 0
            for words, text in fields:
                own = set(search_words(text(r)))
                shared += sum(1 for w in words if w in own)
            if shared:
                scored.append((-shared, order, r))
        return [self.release_result(r) for _, _, r in sorted(scored, key=lambda s: s[:2])]

    def release_result(self, r):
        formats = [f.strip() for f in r.format.split(",") if f.strip()]
        quantity = 1
        if formats:
            many = re.match(r"(\d+)x(.+)", formats[0])
            if many:
                quantity, formats[0] = int(many.group(1)), many.group(2)
        return {"id": r.id, "type": "release", "master_id": r.master,
                "master_url": "%s/masters/%d" % (self.api_base, r.master) if r.master else None,
                "title": "%s - %s" % (_stored_names(r.credits), r.title),
                "uri": "/release/%d" % r.id,
                "resource_url": "%s/releases/%d" % (self.api_base, r.id),
                "thumb": "", "cover_image": "", "catno": r.catno, "year": _year_text(r),
                "country": r.country, "format": formats, "format_quantity": quantity,
                "label": [r.label] if r.label else [], "genre": r.genres, "style": r.styles,
                "barcode": []}

    def discography(self, kind, number, query):
        if kind == "artists":
            name = next((n for n, i in self.artist_ids.items() if i == number), None)
            if name is None:
                return 404, {"message": "Artist not found."}
            c = self.catalogue
            items = ([self.artist_item(r, "Main") for r in c.releases_of(name)] +
                     [self.artist_item(r, "Remix") for r in c.remixes_of(name)] +
                     [self.artist_item(r, "TrackAppearance") for r in c.appearances_of(name)])
        else:
            name = next((n for n, i in self.label_ids.items() if i == number), None)
            if name is None:
                return 404, {"message": "Label not found."}
            items = [{"id": r.id, "status": "Accepted", "format": r.format, "catno": r.catno,
                      "title": r.title, "year": _year(r), "artist": _display(r.credits),
                      "resource_url": "%s/releases/%d" % (self.api_base, r.id)}
                     for r in self.catalogue.releases_on(name)]
        return 200, _paged(items, query, "releases")

    def artist_item(self, r, role):
        if r.master and role == "Main":
            return {"id": r.master, "type": "master", "main_release": r.id, "title": r.title,
                    "artist": _display(r.credits), "role": role, "year": _year(r),
                    "resource_url": "%s/masters/%d" % (self.api_base, r.master)}
        return {"id": r.id, "type": "release", "status": "Accepted", "format": r.format,
                "label": r.label, "title": r.title, "role": role, "artist": _display(r.credits),
                "year": _year(r), "resource_url": "%s/releases/%d" % (self.api_base, r.id)}

    def main_release(self, master):
        return next((r for r in self.catalogue.releases if master and r.master == master), None)

    def release(self, r):
        doc = {"id": r.id, "title": r.title, "year": _year(r), "released": _api_date(r.released),
               "country": r.country, "notes": r.notes, "artists": self.credits(r.credits),
               "labels": [{"name": r.label, "catno": r.catno, "entity_type": "1",
                           "id": self.label_ids.get(r.label, 0)}] if r.label else [],
               "formats": [{"name": r.format.split(",")[0], "qty": "1",
                            "descriptions": [d.strip() for d in r.format.split(",")[1:]]}],
               "genres": r.genres, "styles": r.styles,
               "tracklist": [self.track(t) for t in r.tracklist],
               "images": [], "master_id": r.master}
        if r.cover:
            uri = "%s/R/%s" % (self.image_base, r.cover)
            doc["images"] = [{"type": "primary", "uri": uri, "resource_url": uri,
                              "uri150": "%s/R/t/%s" % (self.image_base, r.cover),
                              "width": 150, "height": 150}]
        return doc

    def track(self, t):
        entry = {"position": t.position, "type_": t.type, "title": t.title, "duration": t.duration}
        if t.artists:
            entry["artists"] = self.credits(t.credits)
        if t.type == "index":
            entry["sub_tracks"] = [self.track(s) for s in t.sub_tracks]
        return entry

    def credits(self, credits):
        return [{"name": c["name"], "anv": c["anv"], "join": c["join"], "role": "", "tracks": "",
                 "id": self.artist_ids.get(c["name"], 0)} for c in credits]


def json_body(body):
    return json.dumps(body, ensure_ascii=False, indent=1).encode("utf-8")


def _paged(items, query, key):
    per_page = min(max(_number(query.get("per_page", "50")), 1), 100)
    pages = max((len(items) + per_page - 1) // per_page, 1)
    page = min(max(_number(query.get("page", "1")), 1), pages)
    return {"pagination": {"page": page, "pages": pages, "per_page": per_page,
                           "items": len(items), "urls": {}},
            key: items[(page - 1) * per_page:page * per_page]}


def _display(credits):
    """The display string of list entries: names joined as the site writes them."""
    out = ""
    for i, c in enumerate(credits):
        out += c["anv"] or c["name"]
        if i + 1 < len(credits):
            out += ", " if c["join"] == "," else " %s " % (c["join"] or "&")
    return out


def _stored_names(credits):
    """Search titles name the artists as stored, "(2)" and all."""
    out = ""
    for i, c in enumerate(credits):
        out += c["name"]
        if i + 1 < len(credits):
            out += ", " if c["join"] == "," else " %s " % (c["join"] or "&")
    return out


def _year_text(release):
    """Search results carry the year as a text."""
    return release.year()


def _year(release):
    year = release.year()
    return int(year) if year else 0


def _api_date(released):
    """"2005" stays; "14 Mar 2003" becomes "2003-03-14" as the API writes dates."""
    months = ["Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"]
    words = released.split()
    if len(words) == 3 and words[1] in months and words[0].isdigit():
        return "%s-%02d-%02d" % (words[2], months.index(words[1]) + 1, int(words[0]))
    return released


def _number(text):
    return int(text) if text.isascii() and text.isdigit() and len(text) < 12 else -1

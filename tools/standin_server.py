#!/usr/bin/python3
"""Stand-in web database for the demo and the tests.

Serves a catalogue folder on a loopback port, both to plain requests and to
requests made through it as an HTTP proxy (absolute-form targets for the
database host, its image host and the maker's site). Every request is logged
on one line: method, target, HTTP version and user agent. See tools/README.md.
"""

import sys

sys.dont_write_bytecode = True  # keep the source tree clean when run from it

import argparse
import mimetypes
import os
import select
import signal
import socket
import socketserver
import struct
import threading
import time
import traceback
import urllib.parse

from standin import pages
from standin.api import Api, is_api_path, json_body
from standin.catalogue import Catalogue, CatalogueError, decode_link_text, link_name
from standin.faults import FaultPlan, MODES, describe

DEFAULT_CATALOGUE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "catalogue")
LOOPBACK_NAMES = ("", "127.0.0.1", "localhost", "::1", "[::1]")
MAX_LINE = 8192
MAX_HEADERS = 100
REASONS = {200: "OK", 302: "Found", 400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found",
           405: "Method Not Allowed", 429: "Too Many Requests", 500: "Internal Server Error"}


class Response:
    def __init__(self, status, content_type, body, extra_headers=()):
        self.status = status
        self.content_type = content_type
        self.body = body
        self.extra_headers = list(extra_headers)

    def head(self, content_length=None, keep_alive=False):
        length = len(self.body) if content_length is None else content_length
        lines = ["HTTP/1.%d %d %s" % (keep_alive, self.status, REASONS.get(self.status, "Unknown")),
                 "Date: " + time.strftime("%a, %d %b %Y %H:%M:%S GMT", time.gmtime()),
                 "Server: Apache/2.0.54 (Unix)",
                 "Content-Type: " + self.content_type,
                 "Content-Length: %d" % length]
        lines += ["%s: %s" % h for h in self.extra_headers]
        if not keep_alive:
            lines.append("Connection: close")
        return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1", "replace")


def html(status, page):
    return Response(status, "text/html; charset=utf-8", page.encode("utf-8"))


class Site:
    """Answers a GET for a host and path from the catalogue."""

    def __init__(self, catalogue, database_host, image_host, maker_host):
        self.catalogue = catalogue
        self.hosts = {database_host: self.database, image_host: self.images, maker_host: self.maker}
        self.image_base = "http://" + image_host

    def answer(self, host, path, query, proxied):
        serve = self.hosts.get(host)
        if serve is None and not proxied and host in LOOPBACK_NAMES:
            serve = self.database
        if serve is None:
            return html(404, pages.not_found_page(path, with_site=False))
        return serve(path, query)

    def database(self, path, query):
        c = self.catalogue
        kind, _, name = path[1:].partition("/")
        if path == "/":
            return html(200, pages.home_page(c))
        if path == "/search":
            term = query.get("q", "")
            hand_made = c.hand_made_page("search", term)
            if hand_made:
                return file_response(hand_made)
            return html(200, pages.search_page(term, *c.search(term)))
        if path == "/css/site.css":
            return Response(200, "text/css", pages.STYLESHEET.encode("utf-8"))
        if path == "/viewimages":
            release = c.release(_number(query.get("release", "")))
            if release and release.cover:
                return html(200, pages.images_page(release, self.image_base))
        if kind in ("artist", "label", "release") and name and "/" not in name:
            hand_made = c.hand_made_page(kind, name)
            if hand_made:
                return file_response(hand_made)
            if kind == "release":
                release = c.release(_number(name))
                if release:
                    return html(200, pages.release_page(release, self.image_base))
            elif kind == "artist":
                artist = c.artist(decode_link_text(name))
                if artist:
                    return html(200, pages.artist_page(c, artist))
            else:
                label = c.label(decode_link_text(name))
                if label:
                    return html(200, pages.label_page(c, label))
        return html(404, pages.not_found_page(path))

    def images(self, path, query):
        for prefix in ("/R/t/", "/R/"):
            if path.startswith(prefix):
                found = self.catalogue.cover_file(decode_link_text(path[len(prefix):]))
                if found:
                    return file_response(found)
        return html(404, pages.not_found_page(path, with_site=False))

    def maker(self, path, query):
        relative = decode_link_text(path.lstrip("/")) or "index.html"
        found = self.catalogue.site_file(relative)
        if found:
            return file_response(found)
        return html(404, pages.not_found_page(path, with_site=False))


def _number(text):
    return int(text) if text.isascii() and text.isdigit() and len(text) < 12 else -1


def file_response(path):
    with open(path, "rb") as f:
        body = f.read()
    content_type = mimetypes.guess_type(path)[0] or "application/octet-stream"
    if content_type == "text/html":
        content_type = "text/html; charset=utf-8"
    return Response(200, content_type, body)


def parse_query(raw):
    values = {}
    for pair in raw.split("&"):
        key, _, value = pair.partition("=")
        values.setdefault(decode_link_text(key), decode_link_text(value))
    return values


def host_name(header):
    """The host of a Host header, without its port."""
    header = header.strip().lower()
    if header.startswith("["):
        return header.partition("]")[0] + "]"
    return header.partition(":")[0]


def printable(text):
    """The text with control and non-ASCII characters as \\xNN (and the
    backslash doubled), so that one request stays one log line."""
    out = []
    for c in text:
        if c == "\\":
            out.append("\\\\")
        elif " " <= c <= "~":
            out.append(c)
        else:
            out.append("\\x%02x" % (ord(c) & 0xFF))
    return "".join(out)


class RequestLog:
    def __init__(self, path):
        self._lock = threading.Lock()
        self._file = open(path, "a", encoding="ascii") if path else None

    def write(self, method, target, version, agent, authorization=None, again=False):
        line = "%s %s %s %s" % (printable(method) or "-", printable(target) or "-",
                                printable(version) or "-", printable(agent) if agent else "-")
        if authorization:
            line += " [Authorization: %s]" % printable(authorization)
        if again:
            line += " [same connection]"
        with self._lock:
            if self._file:
                self._file.write(line + "\n")
                self._file.flush()
            sys.stderr.write(line + "\n")
            sys.stderr.flush()

    def close(self):
        if self._file:
            self._file.close()


class Handler(socketserver.BaseRequestHandler):
    """One request per connection, as HTTP/1.0 has it; an HTTP/1.1 connection
    stays open for the next request unless the client asks to close it, and
    a misbehaving answer closes it."""

    def handle(self):
        self.request.settimeout(30)
        self.served = 0
        try:
            with self.request.makefile("rb") as stream:
                while self.serve_one(stream):
                    self.served += 1
        except (OSError, ValueError):
            return

    def serve_one(self, stream):
        """Answers the next request; True when the connection stays open."""
        self.keep_alive = False
        request = self.read_request(stream)
        if request is None:
            return False
        method, target, version, headers = request
        self.keep_alive = version == "HTTP/1.1" and "close" not in (
            headers.get("connection", "") + headers.get("proxy-connection", "")).lower()
        try:
            self.answer(*request)
        except Exception:  # a fault of this server: say so, as a web server would
            traceback.print_exc()
            self.keep_alive = False
            self.send(html(500, pages.error_page(500, REASONS[500])), "GET")
        return self.keep_alive

    def answer(self, method, target, version, headers):
        self.server.log.write(method, target, version, headers.get("user-agent"),
                              headers.get("authorization"), again=self.served > 0)
        if not version.startswith("HTTP/") or method not in ("GET", "HEAD"):
            self.keep_alive = False  # what follows the request cannot be told apart
        if not version.startswith("HTTP/"):
            return self.send(html(400, pages.error_page(400, "Bad Request")), method)
        if method not in ("GET", "HEAD"):
            return self.send(html(405, pages.error_page(405, "Method Not Allowed")), method,
                             extra=[("Allow", "GET, HEAD")])
        proxied = "://" in target[:10]
        if proxied:
            try:
                parts = urllib.parse.urlsplit(target, allow_fragments=False)
                host, path, raw_query = (parts.hostname or ""), parts.path or "/", parts.query
            except ValueError:
                return self.send(html(400, pages.error_page(400, "Bad Request")), method)
        elif target.startswith("/"):
            host = host_name(headers.get("host", ""))
            path, _, raw_query = target.partition("?")
        else:
            return self.send(html(400, pages.error_page(400, "Bad Request")), method)
        site = self.server.site
        if host == site.api_host or (not proxied and host in LOOPBACK_NAMES and is_api_path(path)):
            status, body, extra = site.api.answer(path, parse_query(raw_query), headers)
            response = Response(status, "application/json", json_body(body), extra)
        else:
            response = site.answer(host, path, parse_query(raw_query), proxied)
        fault = self.server.fault
        if fault.applies(path, response.content_type):
            self.keep_alive = False
            return self.misbehave(fault, response, method, target, proxied, headers)
        self.send(response, method)

    def read_request(self, stream):
        line = stream.readline(MAX_LINE + 1)
        if not line:
            return None
        words = line.decode("latin-1").rstrip("\r\n").split()
        if len(words) == 2:
            words.append("")  # HTTP/0.9 has no version; answered with 400
        if len(words) != 3:
            self.server.log.write(words[0] if words else "", " ".join(words[1:]), "", None)
            self.send(html(400, pages.error_page(400, "Bad Request")), "GET")
            return None
        headers = {}
        for _ in range(MAX_HEADERS):
            raw = stream.readline(MAX_LINE + 1).decode("latin-1")
            if raw in ("", "\r\n", "\n"):
                break
            name, _, value = raw.partition(":")
            headers.setdefault(name.strip().lower(), value.strip())
        return words[0], words[1], words[2], headers

    def send(self, response, method, extra=(), content_length=None):
        response.extra_headers += list(extra)
        data = response.head(content_length, self.keep_alive)
        if method != "HEAD":
            data += response.body
        try:
            self.request.sendall(data)
        except OSError:
            pass  # the client went away; nothing to do about it

    def misbehave(self, fault, response, method, target, proxied, headers):
        mode = fault.mode
        if mode == "refuse":
            self.reset()
        elif mode == "stall":
            self.wait_for_client_to_leave()
        elif mode == "stall-after-headers":
            self.send(Response(response.status, response.content_type, b""), "HEAD",
                      content_length=len(response.body))
            self.wait_for_client_to_leave()
        elif mode == "trickle":
            try:
                self.request.sendall(response.head())
                for at in range(len(response.body)):
                    if self.server.stopping.wait(0.5):
                        break
                    self.request.sendall(response.body[at:at + 1])
            except OSError:
                pass  # the client gave up
        elif mode == "reset-mid-body":
            try:
                self.request.sendall(response.head() + response.body[:len(response.body) // 2])
                time.sleep(0.2)  # let the half body reach the client before the reset
            except OSError:
                pass
            self.reset()
        elif mode in ("status-403", "status-404", "status-500"):
            status = int(mode[-3:])
            self.send(html(status, pages.error_page(status, REASONS[status])), method)
        elif mode == "redirect-loop":
            location = target if proxied else "http://%s%s" % (
                headers.get("host") or "127.0.0.1:%d" % self.server.server_address[1], target)
            self.send(html(302, pages.error_page(302, "Found")), method, extra=[("Location", location)])
        elif mode in ("huge-page", "huge-cover", "huge-json"):
            response.body = fault.padded(response.body, response.content_type)
            self.send(response, method)
        elif mode == "empty-body":
            response.body = b""
            self.send(response, method)

    def reset(self):
        try:
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.request.close()
        except OSError:
            pass

    def wait_for_client_to_leave(self):
        sock = self.request
        while not self.server.stopping.is_set():
            try:
                readable, _, _ = select.select([sock], [], [], 0.2)
                if readable and not sock.recv(4096):
                    return
            except OSError:
                return


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    block_on_close = False
    request_queue_size = 64

    def __init__(self, port, site, log, fault):
        self.site = site
        self.log = log
        self.fault = fault
        self.stopping = threading.Event()
        super().__init__(("127.0.0.1", port), Handler)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        description="Stand-in web database: serves a catalogue folder on a loopback port.",
        epilog="fault modes:\n" + describe(), formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--port", type=int, default=0, help="port to listen on; 0 picks a free one")
    parser.add_argument("--catalogue", default=DEFAULT_CATALOGUE, help="catalogue folder")
    parser.add_argument("--log", help="file that gets one line per request")
    parser.add_argument("--port-file", help="file that gets the port once the server listens")
    parser.add_argument("--fault", choices=sorted(MODES), help="misbehave in this way")
    parser.add_argument("--fault-path", default="/", help="apply the fault only to paths that start with this")
    parser.add_argument("--fault-size", type=int, help="size in bytes for huge-page and huge-cover")
    parser.add_argument("--database-host", default="www.discogs.com")
    parser.add_argument("--image-host", default="images.discogs.com")
    parser.add_argument("--maker-host", default="www.plinth.example")
    parser.add_argument("--api-host", default="api.discogs.com")
    parser.add_argument("--api-token", default="standin-token",
                        help="the one token the API accepts")
    parser.add_argument("--api-too-many", type=int, default=0, metavar="N",
                        help="answer the first N API requests with 429")
    parser.add_argument("--api-retry-after", type=int, metavar="SECONDS",
                        help="the Retry-After of those 429 answers (none without this)")
    parser.add_argument("--api-rate-limit", type=int, default=60, metavar="N",
                        help="the requests a minute the rate-limit headers announce")
    parser.add_argument("--api-enforce-limit", action="store_true",
                        help="answer requests beyond that limit within a minute with 429")
    parser.add_argument("--write-pages", metavar="DIR",
                        help="write every page of the catalogue into DIR and exit, without serving")
    parser.add_argument("--exit-with-stdin", action="store_true",
                        help="stop when standard input reaches its end (the starter went away)")
    return parser.parse_args(argv)


def write_pages(site, folder):
    """Writes every page of the catalogue as it would be served, for readers'
    fixtures and fuzzing seeds: home.html, not-found.html, search/NAME.html
    (one per artist and label, and no-match.html), artist/NAME.html,
    label/NAME.html and release/ID.html, NAME as written in links."""
    catalogue = site.catalogue
    wanted = {"home.html": ("/", {}), "not-found.html": ("/no/such/page", {}),
              "search/no-match.html": ("/search", {"type": "all", "q": "no such thing"})}
    for kind, names in (("artist", catalogue.artists), ("label", catalogue.labels)):
        for name in names:
            wanted["search/%s.html" % link_name(name)] = ("/search", {"type": "all", "q": name})
            wanted["%s/%s.html" % (kind, link_name(name))] = ("/%s/%s" % (kind, link_name(name)), {})
    for release in catalogue.releases:
        wanted["release/%d.html" % release.id] = ("/release/%d" % release.id, {})
    for relative, (path, query) in sorted(wanted.items()):
        target = os.path.join(folder, *relative.split("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(site.database(path, query).body)
    return len(wanted)


def write_port_file(path, port):
    temporary = path + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d\n" % port)
    os.replace(temporary, path)


def wait_for_end_of_input(stop):
    # The descriptor, not sys.stdin: a thread blocked inside the buffered
    # reader would hold its lock while the interpreter shuts down.
    try:
        while os.read(0, 4096):
            pass
    except OSError:
        pass
    stop.set()


def main(argv):
    args = parse_arguments(argv)
    try:
        catalogue = Catalogue(args.catalogue)
        site = Site(catalogue, args.database_host.lower(), args.image_host.lower(), args.maker_host.lower())
        site.api_host = args.api_host.lower()
        site.api = Api(catalogue, "http://" + site.api_host, site.image_base, args.api_token,
                       args.api_too_many, args.api_retry_after, args.api_rate_limit,
                       args.api_enforce_limit)
        if args.write_pages:
            print("wrote %d pages" % write_pages(site, args.write_pages))
            return 0
        fault = FaultPlan(args.fault, args.fault_path, args.fault_size)
        log = RequestLog(args.log)
        server = Server(args.port, site, log, fault)
    except (CatalogueError, ValueError, OSError) as e:
        sys.stderr.write("standin_server: %s\n" % e)
        return 2

    stop = threading.Event()
    for number in (signal.SIGTERM, signal.SIGINT):
        signal.signal(number, lambda *_: stop.set())
    if args.exit_with_stdin:
        threading.Thread(target=wait_for_end_of_input, args=(stop,), daemon=True).start()
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.05}, daemon=True).start()

    port = server.server_address[1]
    print("listening on 127.0.0.1:%d" % port, flush=True)
    if args.port_file:
        write_port_file(args.port_file, port)
    while not stop.wait(0.5):
        pass
    server.stopping.set()
    server.shutdown()
    server.server_close()
    log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

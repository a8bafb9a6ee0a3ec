"""Fault modes: ways in which the stand-in misbehaves on purpose, so that the
program can be tested against a server that refuses, stalls, breaks off or
sends far too much."""

MODES = {
    "refuse": "reads the request, then resets the connection; nothing is sent",
    "stall": "reads the request, then sends nothing and keeps the connection open",
    "stall-after-headers": "sends the status line and headers, then nothing more",
    "reset-mid-body": "sends the headers and half the body, then resets the connection",
    "status-403": "answers 403 Forbidden with an error page, as the site's bot check does",
    "status-404": "answers 404 Not Found with an error page",
    "status-500": "answers 500 Internal Server Error with an error page",
    "redirect-loop": "answers 302 with a Location that names the same address again",
    "huge-page": "sends HTML pages padded to the fault size (default 20 MB)",
    "huge-cover": "sends cover pictures padded to the fault size (default 5 MB)",
    "huge-json": "sends API answers padded with blanks to the fault size (default 65 MB)",
    "empty-body": "answers 200 with a body of 0 bytes",
    "trickle": "sends the headers, then the body one byte every half second",
}

DEFAULT_SIZES = {"huge-page": 20 * 1024 * 1024, "huge-cover": 5 * 1024 * 1024,
                 "huge-json": 65 * 1024 * 1024}


class FaultPlan:
    """One fault mode for the requests whose path starts with a prefix."""

    def __init__(self, mode=None, path_prefix="/", size=None):
        if mode is not None and mode not in MODES:
            raise ValueError("unknown fault mode '%s'" % mode)
        self.mode = mode
        self.path_prefix = path_prefix or "/"
        self.size = size if size is not None else DEFAULT_SIZES.get(mode, 0)
        if self.size < 0:
            raise ValueError("the fault size must not be negative")

    def applies(self, path, content_type):
        if self.mode is None or not path.startswith(self.path_prefix):
            return False
        if self.mode == "huge-page":
            return content_type.startswith("text/html")
        if self.mode == "huge-cover":
            return content_type.startswith("image/")
        if self.mode == "huge-json":
            return content_type.startswith("application/json")
        return True

    def padded(self, body, content_type):
        """The body grown to the fault size: an HTML comment before the end of
        a page, trailing zero bytes behind a picture (decoders stop at the
        picture's end marker), trailing blanks behind JSON."""
        missing = self.size - len(body)
        if missing <= 0:
            return body
        if content_type.startswith("text/html"):
            line = b"<!-- padding padding padding padding padding padding padding -->\n"
            filler = line * (missing // len(line)) + b" " * (missing % len(line))
            cut = body.rfind(b"</body>")
            cut = len(body) if cut < 0 else cut
            return body[:cut] + filler + body[cut:]
        if content_type.startswith("application/json"):
            return body + b" " * missing
        return body + b"\0" * missing


def describe():
    return "\n".join("  %-20s %s" % (name, what) for name, what in MODES.items())

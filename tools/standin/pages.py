"""HTML pages of the stand-in database, rendered from the catalogue.

The pages carry the site's usual markup around the few texts that readers of
the site look for. Those texts appear only where they belong: the nav, the
header and the footer never hold "Releases:", "Discography:", "Remixes:",
"Search results", "releaseTitle", "Tracklisting:", or links that start
<a href="/artist/, <a href="/label/ or <a href="/release/.

Names are written with '&', '<' and '>' escaped and nothing else, as the site
does: quotes and apostrophes stay as they are in text.
"""

from .catalogue import display_name, link_name

SITE_NAME = "Record Index"


def text(value):
    return value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def attr(value):
    return text(value).replace('"', "&quot;")


def layout(title, body, query=""):
    return """<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN" "http://www.w3.org/TR/html4/loose.dtd">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{title}</title>
<link rel="stylesheet" type="text/css" href="/css/site.css">
</head>
<body>
<div id="page">
<div id="header">
<table width="100%" cellpadding="0" cellspacing="0" border="0"><tr>
<td class="logo"><a href="/"><span class="logo">{site}</span></a></td>
<td class="searchbox" align="right">
<form action="/search" method="get">
<select name="type">
<option value="all" selected>All</option>
<option value="artists">Artists</option>
<option value="labels">Labels</option>
<option value="releases">Releases</option>
</select>
<input type="text" name="q" size="28" value="{query}">
<input type="submit" value="Search">
</form>
</td>
</tr></table>
</div>
<div id="nav">
<a href="/">Home</a> |
<a href="/explore">Explore</a> |
<a href="/contribute">Contribute</a> |
<a href="/forum">Forum</a> |
<a href="/help">Help</a> |
<a href="/login">Log In</a>
</div>
<div id="content">
{body}
</div>
<div id="footer">
<p><a href="/about">About</a> | <a href="/terms">Terms of Use</a> | <a href="/privacy">Privacy</a> | <a href="/contact">Contact</a></p>
<p class="small">{site} is a catalogue written by its users. Made-up data for testing.</p>
</div>
</div>
</body>
</html>
""".format(title=text(title), site=SITE_NAME, query=attr(query), body=body)


def artist_href(name):
    return "/artist/" + link_name(name)


def label_href(name):
    return "/label/" + link_name(name)


def artist_links(names, joiner=" &amp; "):
    return joiner.join('<a href="%s">%s</a>' % (attr(artist_href(n)), text(display_name(n))) for n in names)


def details_table(rows):
    lines = ['<table class="details" cellpadding="2" cellspacing="0" border="0">']
    for head, value in rows:
        lines.append('<tr><td class="head">%s</td><td>%s</td></tr>' % (head, value))
    lines.append("</table>")
    return "\n".join(lines)


def home_page(catalogue):
    items = "\n".join(
        '<li><a href="/release/%d">%s - %s</a> <small>(%s)</small></li>'
        % (r.id, text(" & ".join(r.artists)), text(r.title), text(r.format))
        for r in catalogue.releases[-5:])
    body = """<h1>Welcome to {site}</h1>
<p>{site} is a catalogue of recorded music, written by its users: {n} releases so far.</p>
<h2>Recently added</h2>
<ul class="recent">
{items}
</ul>""".format(site=SITE_NAME, n=len(catalogue.releases), items=items)
    return layout(SITE_NAME, body)


def search_page(term, artists, labels, releases):
    if not (artists or labels or releases):
        body = """<h1>Search</h1>
<div class="searchresults">
<p>Your search for <b>{term}</b> did not match any artists, labels or releases.</p>
<p>Suggestions:</p>
<ul class="tips">
<li>Check the spelling.</li>
<li>Try fewer or shorter words.</li>
<li>Leave out words such as "the" or "and".</li>
</ul>
</div>""".format(term=text(term))
        return layout(SITE_NAME + " - Search", body, term)

    def section(heading, entries):
        if not entries:
            return ""
        return '<h2 class="section_header">%s (%d)</h2>\n<ul class="results">\n%s\n</ul>\n' % (
            heading, len(entries), "\n".join(entries))

    body = """<h1>Search results</h1>
<p class="summary">Search results for <b>{term}</b>: {counts}</p>
<div class="searchresults">
{artists}{labels}{releases}</div>""".format(
        term=text(term),
        counts=", ".join(_count(n, what) for n, what in
                         ((len(artists), "artist"), (len(labels), "label"), (len(releases), "release"))),
        artists=section("Artists", ['<li><a href="%s">%s</a></li>' % (attr(artist_href(a.name)), text(display_name(a.name)))
                                    for a in artists]),
        labels=section("Labels", ['<li><a href="%s">%s</a></li>' % (attr(label_href(l.name)), text(l.name))
                                  for l in labels]),
        releases=section("Releases", ['<li><a href="/release/%d">%s - %s</a> <small>%s, %s</small></li>'
                                      % (r.id, text(" & ".join(r.artists)), text(r.title),
                                         text(r.format), text(r.year()))
                                      for r in releases]))
    return layout(SITE_NAME + " - Search", body, term)


def _count(n, what):
    return "%d %s%s" % (n, what, "" if n == 1 else "s")


def _artist_rows(releases):
    """Rows of an artist's list: title and format, then the label link."""
    rows = ['<tr><th>Title (Format)</th><th>Label</th><th>Cat#</th><th>Year</th></tr>']
    for r in releases:
        rows.append('<tr><td class="title"><a href="/release/%d">%s</a> (%s)</td>'
                    '<td class="label"><a href="%s">%s</a></td>'
                    '<td class="catno">%s</td><td class="year">%s</td></tr>'
                    % (r.id, text(r.title), text(r.format), attr(label_href(r.label)),
                       text(r.label), text(r.catno), text(r.year())))
    return '<table class="discography" cellpadding="2" cellspacing="0" border="0">\n%s\n</table>' % "\n".join(rows)


def artist_page(catalogue, artist):
    profile = []
    if artist.real_name:
        profile.append(("Real Name:", text(artist.real_name)))
    if artist.profile:
        profile.append(("Profile:", text(artist.profile)))
    if artist.members:
        profile.append(("Members:", ", ".join(text(m) for m in artist.members)))
    sections = ['<h2 class="section_header">Releases:</h2>\n' + _artist_rows(catalogue.releases_of(artist.name))]
    remixes = catalogue.remixes_of(artist.name)
    if remixes:
        sections.append('<h2 class="section_header">Remixes:</h2>\n' + _artist_rows(remixes))
    appearances = catalogue.appearances_of(artist.name)
    if appearances:
        sections.append('<h2 class="section_header">Appears On:</h2>\n' + _artist_rows(appearances))
    body = """<div class="artist">
<h1>{name}</h1>
{profile}
<div class="discography">
{sections}
</div>
</div>""".format(name=text(display_name(artist.name)), profile=details_table(profile), sections="\n".join(sections))
    return layout(artist.name, body)


def label_page(catalogue, label):
    profile = []
    if label.contact:
        profile.append(("Contact Info:", text(label.contact)))
    if label.profile:
        profile.append(("Profile:", text(label.profile)))
    rows = ['<tr><th>Cat#</th><th>Artist</th><th>Title (Format)</th><th>Released</th></tr>']
    for r in catalogue.releases_on(label.name):
        rows.append('<tr><td class="catno">%s</td><td class="artist">%s</td>'
                    '<td class="title"><a href="/release/%d">%s</a> (%s)</td>'
                    '<td class="year">%s</td></tr>'
                    % (text(r.catno), artist_links(r.artists), r.id, text(r.title),
                       text(r.format), text(r.year())))
    body = """<div class="label">
<h1>{name}</h1>
{profile}
<h2 class="section_header">Discography:</h2>
<table class="discography" cellpadding="2" cellspacing="0" border="0">
{rows}
</table>
<h2 class="section_header">User Comments &amp; Reviews:</h2>
<p>No reviews yet. <a href="/login">Log in</a> to write the first one.</p>
</div>""".format(name=text(label.name), profile=details_table(profile), rows="\n".join(rows))
    return layout(label.name, body)


def _track_rows(release):
    rows = []
    for i, t in enumerate(release.tracks):
        artist_cell = artist_links(t.artists) if t.artists else "&nbsp;"
        duration = text(t.duration) if t.duration else "&nbsp;"
        rows.append('<tr class="%s"><td class="pos">%s</td><td class="artist">%s</td>'
                    '<td class="title">%s</td><td><small>%s</small></td></tr>'
                    % ("odd" if i % 2 == 0 else "even", text(t.position) or "&nbsp;",
                       artist_cell, text(t.title), duration))
    return "\n".join(rows)


def release_page(release, image_base):
    full_title = "%s - %s" % (" / ".join(release.artists), release.title)
    if release.cover:
        picture = ('<a href="/viewimages?release={id}"><img src="{base}/R/t/{cover}" width="150" height="150" '
                   'border="0" alt="{alt}"></a><br>\n<a href="/viewimages?release={id}"><small>More Images</small></a>'
                   .format(id=release.id, base=image_base, cover=attr(release.cover), alt=attr(release.title)))
    else:
        picture = '<span class="noimage">No image available</span>'
    details = details_table([
        ("Label:", '<a href="%s">%s</a>' % (attr(label_href(release.label)), text(release.label))),
        ("Catalog#:", text(release.catno)),
        ("Format:", text(release.format)),
        ("Country:", text(release.country)),
        ("Released:", text(release.released)),
        ("Genre:", text(", ".join(release.genres))),
        ("Style:", text(", ".join(release.styles))),
    ])
    notes = ""
    if release.notes:
        notes = '<div class="section">\n<h3>Notes:</h3>\n<p>%s</p>\n</div>\n' % text(release.notes)
    body = """<div class="release">
<table width="100%" cellpadding="0" cellspacing="0" border="0"><tr>
<td class="image" valign="top" width="160">
{picture}
</td>
<td class="info" valign="top">
<div class="releaseTitle"><h1>{artists} - {title}</h1></div>
{details}
</td>
</tr></table>
<div class="section">
<h3>Tracklisting:</h3>
<table class="tracklist" cellpadding="2" cellspacing="0" border="0">
{tracks}
</table>
</div>
{notes}<p class="small">Release #{id}. <a href="/help/submission">Correct this release</a></p>
</div>""".format(picture=picture, artists=artist_links(release.artists), title=text(release.title),
                 details=details, tracks=_track_rows(release), notes=notes, id=release.id)
    return layout(full_title, body)


def images_page(release, image_base):
    body = """<h1>Images for {title}</h1>
<p><img src="{base}/R/{cover}" border="0" alt="{alt}"></p>
<p><a href="/release/{id}">Back to the release</a></p>""".format(
        title=text(release.title), base=image_base, cover=attr(release.cover),
        alt=attr(release.title), id=release.id)
    return layout("Images for " + release.title, body)


def not_found_page(path, with_site=True):
    body = """<h1>Not Found</h1>
<p>The page <code>{path}</code> does not exist. It may have been removed or merged with another page.</p>
<p><a href="/">Go to the front page</a></p>""".format(path=text(path))
    if with_site:
        return layout(SITE_NAME + " - Not Found", body)
    return "<html><head><title>404 Not Found</title></head><body>\n%s\n</body></html>\n" % body


def error_page(status, reason):
    return ("<html><head><title>{s} {r}</title></head><body>\n<h1>{r}</h1>\n"
            "<p>The server could not answer this request.</p>\n</body></html>\n").format(s=status, r=reason)


STYLESHEET = """body { font-family: Verdana, Arial, sans-serif; font-size: 11px; margin: 0; }
#header { background: #222; color: #fff; padding: 6px; }
#header a, #nav a { color: #fc0; text-decoration: none; }
span.logo { font-size: 20px; font-weight: bold; }
#nav { background: #444; padding: 4px 6px; }
#content { padding: 10px; }
#footer { border-top: 1px solid #ccc; padding: 6px 10px; color: #666; }
td.head { font-weight: bold; padding-right: 8px; }
table.tracklist td, table.discography td { padding: 2px 6px; }
tr.odd { background: #f4f4f4; }
.small, small { font-size: 10px; }
"""

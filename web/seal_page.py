#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

"""Writes the page with its Content-Security-Policy filled in: nothing may be
fetched or connected to, and the only script and style allowed are the page's
own inline ones, named by their SHA-256, and its WebAssembly. The page's
notices (an HTML comment) go at the end of its head, and the page may not
outgrow 64 KiB.

Usage: seal_page.py LINKED.html PAGE.html NOTICES.html
"""
import base64
import hashlib
import re
import sys

PLACEHOLDER = "@CONTENT_SECURITY_POLICY@"
MOST_BYTES = 64 * 1024


def digest(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode("utf-8")).digest()).decode("ascii")


def only(tag, page):
    bodies = re.findall(r"<%s>(.*?)</%s>" % (tag, tag), page, re.DOTALL)
    if len(bodies) != 1 or page.count("<%s" % tag) != 1:
        sys.exit("seal_page.py: expected one <%s> in the page, found %d" % (tag, page.count("<%s" % tag)))
    return bodies[0]


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        page = f.read()
    if page.count(PLACEHOLDER) != 1:
        sys.exit("seal_page.py: the page has no policy to fill in")
    policy = "; ".join([
        "default-src 'none'",
        "script-src %s 'wasm-unsafe-eval'" % digest(only("script", page)),
        "style-src %s" % digest(only("style", page)),
        "base-uri 'none'",
        "form-action 'none'",
    ])
    with open(sys.argv[3], encoding="utf-8") as f:
        notices = f.read()
    if page.count("</head>") != 1:
        sys.exit("seal_page.py: expected one </head> in the page")
    page = page.replace(PLACEHOLDER, policy).replace("</head>", notices + "</head>")
    size = len(page.encode("utf-8"))
    if size > MOST_BYTES:
        sys.exit("seal_page.py: the page would be %d bytes, more than %d" % (size, MOST_BYTES))
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()

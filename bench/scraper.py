#!/usr/bin/python3
"""The yardstick scraper of the fresh-process benchmarks: the same import as
tembrook-export, written the way a Python user would write it.

    scraper.py URL

Fetches the release top page at URL (urllib), finds the heading and the two
table-page links after it (lxml.html), fetches both table pages at once (one
thread each, parsing in the same thread), takes every release row's five cells
(date, publisher, title, author, price) and writes one line per row, the cells
joined by tabs, first page first, in Shift-JIS. Exits 1 when a page cannot be
fetched or a row does not have five cells.
"""

import sys
import threading
import urllib.request
from urllib.parse import urljoin

import lxml.html

HEADING = "発売日順(テーブル表示)"
PARSER = lxml.html.HTMLParser(encoding="cp932")


def fetch(url):
    with urllib.request.urlopen(url, timeout=60) as response:
        return response.read()


def table_links(top_url, page):
    doc = lxml.html.document_fromstring(page, parser=PARSER)
    for heading in doc.iter("h3"):
        if heading.text_content().strip() == HEADING:
            links = [a.get("href") for a in heading.itersiblings("a")][:2]
            return [urljoin(top_url, link) for link in links if link]
    return []


def release_rows(page):
    doc = lxml.html.document_fromstring(page, parser=PARSER)
    rows = []
    for tr in doc.iter("tr"):
        cells = tr.findall("td")
        if not cells or cells[0].get("bgcolor") != "#efefef":
            continue
        texts = [" ".join(cell.text_content().split()) for cell in cells]
        if len(texts) != 5:
            raise ValueError("a row without five cells: %r" % texts)
        rows.append(texts)
    return rows


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: scraper.py URL\n")
        return 2
    top_url = sys.argv[1]
    links = table_links(top_url, fetch(top_url))
    if not links:
        sys.stderr.write("scraper.py: no table-page links on the top page\n")
        return 1

    results = [None] * len(links)
    errors = []

    def import_page(index, url):
        try:
            results[index] = release_rows(fetch(url))
        except Exception as error:  # reported below, after every thread ended
            errors.append("%s: %s" % (url, error))

    threads = [threading.Thread(target=import_page, args=(i, url)) for i, url in enumerate(links)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if errors:
        sys.stderr.write("scraper.py: %s\n" % "; ".join(errors))
        return 1

    out = sys.stdout.buffer
    for rows in results:
        out.write("".join("\t".join(row) + "\r\n" for row in rows).encode("cp932", "replace"))
    out.flush()
    return 0


if __name__ == "__main__":
    sys.exit(main())

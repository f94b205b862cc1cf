#!/usr/bin/env python3
"""Writes the fixture release site (tests/data/site, CP932, CR LF) and the
outputs expected from importing it (tests/data/expected).

The expected outputs are worked out here by hand from the rows below, not
taken from the program: each row lists the cell texts as the page writes them
and, beside them, the release as it must come out (date piece, title with
volume, author, price, publisher). The import tests pin "today" to 2026-03-20
and use the separators "/" and ",".

Run it again after changing the site: python3 tests/data/make_site.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
SITE = os.path.join(HERE, "site")
EXPECTED = os.path.join(HERE, "expected")

FS = "\u3000"  # full-width space


def write(path, text, encoding="cp932"):
    with open(path, "wb") as f:
        f.write(text.encode(encoding))


class Page:
    """A page built line by line, so that the page line of every row is known."""

    def __init__(self):
        self.lines = []

    def add(self, *lines):
        self.lines.extend(lines)
        return len(self.lines) - len(lines) + 1  # 1-based number of the first line added

    def text(self):
        return "".join(line + "\r\n" for line in self.lines)


# The top page: a heading line followed by plain text (does not count), then
# the real heading with two links (one relative, one from the server root),
# then a third link that is not read.
top = Page()
top.add(
    '<html><head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">',
    "<title>コミック発売予定</title></head>",
    "<body>",
    "<h2>コミック発売予定</h2>",
    "<p>発売日順(テーブル表示)は準備中です</p>",
    "<p>新刊のお知らせ</p>",
    "<h3>■発売日順(テーブル表示)</h3>",
    '<a href="table1.html">3月発売分</a><br>',
    '<A HREF="/comic/table2.html">4月発売分</A><br>',
    '<a href="table3.html">5月発売分</a><br>',
    "</body></html>",
)
write(os.path.join(SITE, "index.html"), top.text())

# Each release: (date piece, title piece, author, price piece, publisher), or
# None for a row that must be dropped, with the message it is dropped with.
releases = []   # in link order, page 1 first
dropped = []    # (page file, row number, page line, message)

# ---- table1.html: lower-case tags, the marker on the first row only, a header
# row above it, full-width digits and spaces, （完）, a cell over two lines,
# a whitespace-only separator line, several blank lines, a bad price.
t1 = Page()
t1.add(
    "<html><head><title>3月発売予定</title></head><body>",
    "<h3>3月発売予定</h3>",
    "<table border=1 cellpadding=2>",
    "<tr><td>発売日</td><td>出版社</td><td>書名</td><td>著者名</td><td>価格</td></tr>",
)
t1.add(
    "<tr><td width=50 bgcolor=#efefef>03/05</td>",
    "  <td>蒼海社</td>",
    f"  <td>星の航路{FS}１２</td>",
    f"  <td>山田{FS}太郎</td>",
    "  <td>580</td></tr>",
    "",
)
releases.append(("03/05", "星の航路(12)", "山田太郎", "580", "蒼海社"))
t1.add(
    "<tr><td width=50 bgcolor=#efefef>03/上旬</td>",
    "  <td>蒼海社</td>",
    "  <td>風の谷の少年（完）</td>",
    "  <td>佐藤花子</td>",
    "  <td>620</td></tr>",
    "   \t ",
)
releases.append(("03上旬", "風の谷の少年", "佐藤花子", "620", "蒼海社"))
t1.add(
    "<tr><td>03/中旬</td>",
    "  <td>ソラ出版</td>",
    f"  <td>ＳＫＹ{FS}ＢＬＵＥ",
    f"      {FS}２</td>",
    f"  <td>鈴木{FS}一郎</td>",
    "  <td>450</td></tr>",
    "",
    "",
)
releases.append(("03中旬", "SKY BLUE(2)", "鈴木一郎", "450", "ソラ出版"))
line = t1.add(
    "<tr><td>03/20</td>",
    "  <td>蒼海社</td>",
    f"  <td>月下の剣士{FS}３</td>",
    "  <td>高橋健</td>",
    "  <td>1,200</td></tr>",
    "",
)
dropped.append(("table1.html", 4, line, "'1,200' is not a valid integer value"))
t1.add(
    "<tr><td>03/下旬</td>",
    "  <td>白鷺書房</td>",
    f"  <td>青空ダイアリー{FS}５</td>",
    f"  <td>田中{FS}美咲</td>",
    "  <td></td></tr>",
    "",
)
releases.append(("03下旬", "青空ダイアリー(5)", "田中美咲", "-1", "白鷺書房"))
t1.add(
    "<tr><td>03/不明</td>",
    "  <td>白鷺書房</td>",
    "  <td>夜明けの詩</td>",
    "  <td>伊藤潤</td>",
    "  <td>1200</td></tr>",
)
releases.append(("03/20", "夜明けの詩", "伊藤潤", "1,200", "白鷺書房"))  # unknown day: today's, the 20th
t1.add(
    "</table>",
    "<p>※発売日は変更になる場合があります。</p>",
    "</body></html>",
)
write(os.path.join(SITE, "table1.html"), t1.text())

# ---- table2.html: upper-case tags and marker, full-width letters, an ASCII
# blank before digits (no volume), a bad date, a volume word after the last
# full-width space (joined without blank), no blank line before </TABLE>.
t2 = Page()
t2.add(
    "<HTML><BODY>",
    "<TABLE BORDER=1>",
    "<TR><TD>発売日</TD><TD>出版社</TD><TD>書名</TD><TD>著者名</TD><TD>価格</TD></TR>",
    "",
    "<TR><TD WIDTH=50 BGCOLOR=#EFEFEF>04/02</TD>",
    "<TD>白鷺書房</TD>",
    f"<TD>ａｂｃ物語{FS}２</TD>",
    f"<TD>中村{FS}あい</TD>",
    "<TD>480</TD></TR>",
    "",
)
releases.append(("04/02", "abc物語(2)", "中村あい", "480", "白鷺書房"))
t2.add(
    "<TR><TD>04/15</TD>",
    "<TD>蒼海社</TD>",
    "<TD>テスト作品 12</TD>",
    "<TD>小林</TD>",
    "<TD>530</TD></TR>",
    "",
)
releases.append(("04/15", "テスト作品 12", "小林", "530", "蒼海社"))
line = t2.add(
    "<TR><TD>4/18</TD>",
    "<TD>蒼海社</TD>",
    "<TD>誤記のある行</TD>",
    "<TD>木村</TD>",
    "<TD>500</TD></TR>",
    "",
)
dropped.append(("table2.html", 3, line, "'4/' is not a valid integer value"))
t2.add(
    "<TR><TD>04/下旬</TD>",
    "<TD>蒼海社</TD>",
    f"<TD>最終章{FS}上</TD>",
    f"<TD>加藤{FS}翔</TD>",
    "<TD>1980</TD></TR>",
    "</TABLE>",
    "</BODY></HTML>",
)
releases.append(("04下旬", "最終章上", "加藤翔", "1,980", "蒼海社"))
write(os.path.join(SITE, "table2.html"), t2.text())

# A third table page exists but is not linked under the heading's two lines.
write(os.path.join(SITE, "table3.html"), "<html><body>not imported</body></html>\r\n")


# ---- expected outputs
def text_line(r):
    return " ".join(r)


def html_line(r):
    return r[1] + " " + r[2]


def fold_key(s):
    """Bytes of the CP932 text with a-z folded to A-Z in single-byte characters."""
    out = bytearray()
    trail = False
    for b in s.encode("cp932"):
        if trail:
            trail = False
        elif 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC:
            trail = True
        elif 0x61 <= b <= 0x7A:
            b -= 0x20
        out.append(b)
    return bytes(out)


def title_of(r):
    # The sort looks at Title without the volume.
    t = r[1]
    if t.endswith(")") and "(" in t and t[t.rindex("(") + 1:-1].isdigit():
        t = t[: t.rindex("(")]
    return t


def price_of(r):
    return int(r[3].replace(",", ""))


def lines_file(rows):
    return "".join(text_line(r) + "\r\n" for r in rows)


write(os.path.join(EXPECTED, "site_date.txt"), lines_file(releases))
write(os.path.join(EXPECTED, "site_date_descending.txt"), lines_file(list(reversed(releases))))
write(os.path.join(EXPECTED, "site_title.txt"),
      lines_file(sorted(releases, key=lambda r: fold_key(title_of(r)))))
write(os.path.join(EXPECTED, "site_author.txt"), lines_file(sorted(releases, key=lambda r: fold_key(r[2]))))
# Descending by price; equal prices would keep link order (there are none).
write(os.path.join(EXPECTED, "site_price_descending.txt"),
      lines_file(sorted(releases, key=lambda r: -price_of(r))))
write(os.path.join(EXPECTED, "site_publisher.txt"),
      lines_file(sorted(releases, key=lambda r: fold_key(r[4]))))  # stable: link order within a publisher
html = " / ".join(html_line(r) for r in releases) + "\r\n"
write(os.path.join(EXPECTED, "site_html.txt"), html)
write(os.path.join(EXPECTED, "site_html_utf8.txt"), html, "utf-8")
write(os.path.join(EXPECTED, "site_date_utf8.txt"), lines_file(releases), "utf-8")
write(os.path.join(EXPECTED, "site_dropped.tsv"),
      "".join(f"{p}\t{n}\t{l}\t{m}\n" for p, n, l, m in dropped), "utf-8")

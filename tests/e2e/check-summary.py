#!/usr/bin/env python3
"""Checks the summary at the top of an unpacked archive.
  usage: check-summary.py <unpacked archive folder> [--golden <file> [--update]] [--browser <png>]
概要.txt must equal the golden file once its line of computer and time is set aside (--update
writes the golden file instead). Every link of 概要.html that is not within the page must name a
file or folder of the archive. With --browser, headless Chromium opens the page from the folder:
it must render (a screenshot that is not blank, written to <png>) and print (a PDF), and the links of the DOM it
parsed must resolve, as the browser resolves them, to files of the archive.
Prints one line per fault and exits 1 when there is any."""
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse
import urllib.request

args = sys.argv[1:]
root = os.path.abspath(args.pop(0))
golden = update = browser_png = None
while args:
    flag = args.pop(0)
    if flag == "--golden":
        golden = args.pop(0)
    elif flag == "--update":
        update = True
    elif flag == "--browser":
        browser_png = args.pop(0)
faults = []

text_path = os.path.join(root, "概要.txt")
html_path = os.path.join(root, "概要.html")
with open(text_path, "rb") as f:
    raw = f.read()
if not raw.startswith(b"\xef\xbb\xbf"):
    faults.append("概要.txt has no UTF-8 byte-order mark")
lines = raw[3:].decode("utf-8").split("\r\n")
if len(lines) > 2:
    lines[2] = "<computer> · <built>"
normalized = "\n".join(lines)
if golden:
    if update:
        with open(golden, "w", encoding="utf-8", newline="\n") as f:
            f.write(normalized)
    else:
        with open(golden, encoding="utf-8") as f:
            expected = f.read()
        if normalized != expected:
            import difflib
            diff = list(difflib.unified_diff(expected.split("\n"), lines, "golden", "概要.txt", lineterm="", n=1))
            faults.append("概要.txt differs from the golden file:\n" + "\n".join(diff[:60]))


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.hrefs, self.ids, self.scripts = [], set(), 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "a" and "href" in attrs:
            self.hrefs.append(attrs["href"])
        if "id" in attrs:
            self.ids.add(attrs["id"])
        if tag in ("script", "link", "img", "iframe", "object") or any(k.startswith("on") for k in attrs):
            self.scripts += 1


def check_links(page_html, resolve):
    parser = Links()
    parser.feed(page_html)
    if parser.scripts:
        faults.append(f"the page has {parser.scripts} scripts, handlers or outside resources")
    if len(parser.hrefs) < 10:
        faults.append(f"only {len(parser.hrefs)} links in the page")
    for href in parser.hrefs:
        if href.startswith("#"):
            if href[1:] not in parser.ids:
                faults.append(f"link {href} leads to no section")
            continue
        target = resolve(href)
        if target is None or not os.path.exists(target):
            faults.append(f"link {href} resolves to nothing in the archive ({target})")
    return parser


with open(html_path, encoding="utf-8") as f:
    page = f.read()


def by_path(href):
    if urllib.parse.urlsplit(href).scheme:
        return None
    return os.path.join(root, urllib.parse.unquote(href))


check_links(page, by_path)

if browser_png:
    chromium = shutil.which("chromium")
    if not chromium:
        faults.append("no chromium (scripts/setup-debian.sh installs it)")
    else:
        url = "file://" + urllib.request.pathname2url(html_path)
        profile = tempfile.mkdtemp(prefix="skelda-chromium-")
        flags = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--hide-scrollbars", f"--user-data-dir={profile}"]
        try:
            dom = subprocess.run(flags + ["--dump-dom", url], capture_output=True, timeout=120, text=True).stdout
            if "<h1>信息收集概要</h1>" not in dom:
                faults.append("the browser's DOM has no title: it did not render the page")
            # The browser resolves each link against the page's own address.
            check_links(dom, lambda href: urllib.request.url2pathname(urllib.parse.urlsplit(
                urllib.parse.urljoin(url, href)).path) if urllib.parse.urljoin(url, href).startswith("file:") else None)
            subprocess.run(flags + ["--window-size=1100,2200", f"--screenshot={os.path.abspath(browser_png)}", url],
                           capture_output=True, timeout=120)
            if not os.path.isfile(browser_png) or os.path.getsize(browser_png) < 20000:
                faults.append("the browser made no screenshot of the page, or a blank one")
            # Printable: the browser's print of it is a PDF of at least one page.
            pdf = os.path.join(profile, "summary.pdf")
            subprocess.run(flags + ["--no-pdf-header-footer", f"--print-to-pdf={pdf}", url], capture_output=True,
                           timeout=120)
            printed = open(pdf, "rb").read() if os.path.isfile(pdf) else b""
            if not printed.startswith(b"%PDF") or b"/Type /Page" not in printed and b"/Type/Page" not in printed:
                faults.append("the browser could not print the page")
        except subprocess.TimeoutExpired:
            faults.append("the browser did not end within two minutes")
        finally:
            shutil.rmtree(profile, ignore_errors=True)

for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)

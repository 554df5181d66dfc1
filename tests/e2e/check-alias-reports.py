#!/usr/bin/env python3
"""Checks the WMIC alias reports that a run without WMIC wrote from the PowerShell double's
answers (two instances per alias), byte by byte: each report must be exactly the text that
WMIC's layout gives for the double's values, and where tests/e2e/golden holds a report built
from a public capture of WMIC's own output, exactly that file.
  usage: check-alias-reports.py <extracted archive folder> <listing of ExpectedArchive aliases> [failing alias]
Prints one line per fault and exits 1 when there is any."""
import os
import sys

root, listing = sys.argv[1], sys.argv[2]
failing = sys.argv[3] if len(sys.argv) > 3 else None
golden_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "golden")
faults = []


def fault(path, what):
    faults.append(f"{path}: {what}")


def canned(wmi_class, prop, j, k, separator):
    """Value j of instance k as the PowerShell double answers it (see tests/doubles/README.md)."""
    return [f"测试值 {wmi_class} 实例{k}", "", "第一行\r\n第二行", f"{prop}-{k}",
            f"2026010{k}083000.000000+480", f'{{"甲{k}"{separator}"乙"}}'][j % 6]


def list_text(props, instances):
    # Two blank lines before each instance, one Name=Value line per property, two blank lines
    # after the last.
    text = "".join("\r\n\r\n" + "".join(f"{p}={v}\r\n" for p, v in zip(props, values)) for values in instances)
    return text + "\r\n\r\n" if instances else text


def table_text(props, instances):
    # A header and one row per instance, each column its longest entry plus two blanks, a line
    # break inside a value a blank, then one blank line.
    rows = [[v.replace("\r\n", " ") for v in values] for values in instances]
    widths = [max([len(p)] + [len(r[i]) for r in rows]) + 2 for i, p in enumerate(props)]
    lines = ["".join(c.ljust(w) for c, w in zip(cells, widths)) for cells in [props] + rows]
    return "".join(line + "\r\n" for line in lines) + "\r\n"


def expected(alias_class, form, props):
    separator = ", " if form == "table" else ","
    instances = [[canned(alias_class, p, j, k, separator) for j, p in enumerate(props)] for k in (1, 2)]
    return (table_text if form == "table" else list_text)(props, instances)


def first_difference(a, b):
    at = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
    return f"at character {at}: {a[at:at + 40]!r} instead of {b[at:at + 40]!r}"


count = goldens = 0
for entry in open(listing, encoding="utf-8").read().splitlines():
    rel, alias, form, props, wmi_class = entry.split("\t")
    props = props.split(",")
    path = os.path.join(root, rel)
    count += 1
    try:
        data = open(path, "rb").read()
    except OSError:
        fault(rel, "missing")
        continue
    if alias == failing:
        text = data[3:].decode("utf-8", "replace")
        if not data.startswith(b"\xef\xbb\xbf") or text.count("\r\n") != 1 or not text.endswith("\r\n") \
                or "WMI查询失败" not in text or alias not in text:
            fault(rel, f"the failed alias does not leave one line saying so: {text!r}")
        continue
    want = expected(wmi_class, form, props)
    if data != b"\xff\xfe" + want.encode("utf-16-le"):
        got = data[2:].decode("utf-16-le", "replace") if data.startswith(b"\xff\xfe") else repr(data[:20])
        fault(rel, "not WMIC's layout of the double's values, " + first_difference(got, want))
    golden = os.path.join(golden_dir, alias + ".txt")
    if os.path.exists(golden):
        goldens += 1
        if want != open(golden, "rb").read().decode("utf-8"):
            fault(rel, f"differs from the capture-built {os.path.relpath(golden, root)}")

for line in faults:
    print("   " + line)
print(f"   {count} alias reports checked ({goldens} against capture-built files), {len(faults)} faults")
sys.exit(1 if faults or count == 0 else 0)

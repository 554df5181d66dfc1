#!/usr/bin/env python3
"""Checks the WMIC alias reports that a run without WMIC wrote from the PowerShell double's
answers (two instances per alias), byte by byte against WMIC's layouts.
  usage: check-alias-reports.py <extracted archive folder> <listing of ExpectedArchive aliases> [failing alias]
Prints one line per fault and exits 1 when there is any."""
import os
import sys

root, listing = sys.argv[1], sys.argv[2]
failing = sys.argv[3] if len(sys.argv) > 3 else None
faults = []


def fault(path, what):
    faults.append(f"{path}: {what}")


def check_list(path, text, props):
    # Two blank lines before each instance, two after the last: the instances meet at three
    # line ends in a row, and so does the end.
    if not text.startswith("\r\n\r\n") or not text.endswith("\r\n\r\n\r\n") or text.count("\r\n\r\n\r\n") != 2:
        fault(path, "blank lines are not WMIC's")
    names = [line.split("=", 1)[0] for line in text.split("\r\n") if "=" in line]
    if names != props * 2:
        fault(path, f"property lines differ from the table row ({len(names)} lines for {len(props)} properties)")
    if len(props) > 1 and f"\r\n{props[1]}=\r\n" not in text:
        fault(path, "an empty value is not written as Name=")
    if len(props) > 2 and f"\r\n{props[2]}=第一行\r\n第二行\r\n" not in text:
        fault(path, "a two-line value does not keep its CR LF")


def check_table(path, text, props):
    lines = text.split("\r\n")
    if len(lines) != 5 or lines[3:] != ["", ""]:
        fault(path, f"expected a header, two rows and one blank line, found {len(lines)} pieces")
        return
    header, rows = lines[0], lines[1:3]
    if header.split() != props:
        fault(path, "header names differ from the table row")
        return
    starts = [header.index(" " + name + " ") + 1 if i else 0 for i, name in enumerate(props)]
    starts.append(len(header))
    if any(len(row) != len(header) for row in rows):
        fault(path, "rows are not as wide as the header")
        return
    for i in range(len(props)):
        cells = [line[starts[i]:starts[i + 1]] for line in lines[:3]]
        if starts[i + 1] - starts[i] != max(len(c.rstrip(" ")) for c in cells) + 2:
            fault(path, f"column {props[i]} is not its longest entry plus two blanks")
            return


count = 0
for entry in open(listing, encoding="utf-8").read().splitlines():
    rel, alias, form, props = entry.split("\t")
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
    if not data.startswith(b"\xff\xfe") or len(data) % 2:
        fault(rel, "not UTF-16LE with a byte-order mark")
        continue
    text = data[2:].decode("utf-16-le")
    if text.replace("\r\n", "").count("\n") or text.replace("\r\n", "").count("\r"):
        fault(rel, "a line break that is not CR LF")
    if "测试值" not in text:
        fault(rel, "the Chinese value is lost")
    (check_table if form == "table" else check_list)(rel, text, props)

for line in faults:
    print("   " + line)
print(f"   {count} alias reports checked, {len(faults)} faults")
sys.exit(1 if faults or count == 0 else 0)

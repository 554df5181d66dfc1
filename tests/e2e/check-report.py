#!/usr/bin/env python3
"""Checks the run's report inside an unpacked archive.
  usage: check-report.py <unpacked archive folder> [<outcome>=<count>|+ ...] [max-timed-out-ms=<ms>]
                         [reason-has=<text> ...]
The JSON must parse and its counts add up; the text report is UTF-8 with a byte-order mark and
CR LF line ends; every file and folder of the archive is the output of exactly one step, lies in
a copied folder's output, is a folder on the way to an output, or is one of the two reports (or
the archive check added after packing, or the summary the report lists, which must be there).
<outcome>=<count> asks for exactly that many steps with the outcome, <outcome>=+ for at least one;
reason-has=<text> for a step whose reason holds the text.
Prints one line per fault and exits 1 when there is any."""
import json
import os
import sys

root = sys.argv[1]
faults = []
OUTCOMES = ["ok", "failed", "timed-out", "skipped", "not-found", "partial"]
# archive-check.txt: added after packing where the archive lacks something.
REPORTS = {"collection-report.json", "收集报告.txt", "archive-check.txt"}

try:
    with open(os.path.join(root, "collection-report.json"), encoding="utf-8") as f:
        report = json.load(f)
except (OSError, ValueError) as e:
    print(f"collection-report.json: {e}")
    sys.exit(1)

with open(os.path.join(root, "收集报告.txt"), "rb") as f:
    text = f.read()
if not text.startswith(b"\xef\xbb\xbf"):
    faults.append("收集报告.txt has no UTF-8 byte-order mark")
if text.replace(b"\r\n", b"").find(b"\n") >= 0 or text.replace(b"\r\n", b"").find(b"\r") >= 0:
    faults.append("收集报告.txt has a line end other than CR LF")
try:
    text.decode("utf-8")
except UnicodeDecodeError as e:
    faults.append(f"收集报告.txt is not UTF-8: {e}")

summary_files = report.get("summary_files")
if summary_files != ["概要.html", "概要.txt"]:
    faults.append(f"the report lists the summary as {summary_files}")
else:
    for name in summary_files:
        if not os.path.isfile(os.path.join(root, name)):
            faults.append(f"{name} is listed in the report but not in the archive")
    REPORTS |= set(summary_files)

steps = report["steps"]
counts = {o: sum(1 for s in steps if s["outcome"] == o) for o in OUTCOMES}
if any(s["outcome"] not in OUTCOMES for s in steps):
    faults.append("a step has an unknown outcome")
if report["summary"]["steps"] != len(steps) or report["summary"]["counts"] != counts:
    faults.append(f"summary {report['summary']} does not add up to the steps {counts}")
if sum(counts.values()) != len(steps):
    faults.append("outcome counts do not add up")
if len(report["summary"]["slowest"]) != min(10, len(steps)):
    faults.append("the slowest steps are not ten (or all)")
for key in ["tool_version", "engine_version", "engine_architecture", "windows_version", "windows_build",
            "windows_64bit", "start", "end", "switches", "tool_log", "limits"]:
    if key not in report:
        faults.append(f"no {key}")
for s in steps:
    if s["outcome"] != "ok" and not s["reason"]:
        faults.append(f"step without a reason: {s['what']}")

outputs = [s["output"] for s in steps if s["output"]]
seen = {}
for o in outputs:
    seen[o] = seen.get(o, 0) + 1
for o, n in seen.items():
    if n > 1:
        faults.append(f"{o} is the output of {n} steps")
folders_on_the_way = set()
for o in outputs:
    parts = o.split("/")
    for i in range(1, len(parts)):
        folders_on_the_way.add("/".join(parts[:i]))
# A category's folder is made before its steps run, so it is there even where they left nothing.
categories = {s["category"] for s in steps if s["category"]}
for base, dirs, files in os.walk(root):
    for name in dirs + files:
        rel = os.path.relpath(os.path.join(base, name), root).replace(os.sep, "/")
        if rel in REPORTS or rel in seen or rel in folders_on_the_way or rel in categories:
            continue
        if any(rel.startswith(o + "/") for o in seen):
            continue  # inside a copied folder
        faults.append(f"{rel} belongs to no step")

for check in sys.argv[2:]:
    name, _, value = check.partition("=")
    if name == "max-timed-out-ms":
        for s in steps:
            if s["outcome"] == "timed-out" and s["duration_ms"] > int(value):
                faults.append(f"timed-out step took {s['duration_ms']} ms: {s['what']}")
    elif name == "reason-has":
        if not any(value in s["reason"] for s in steps):
            faults.append(f"no step's reason holds {value!r}: {[s['reason'] for s in steps if s['reason']]}")
    elif name in counts:
        if (value == "+" and counts[name] < 1) or (value != "+" and counts[name] != int(value)):
            faults.append(f"{counts[name]} steps {name}, expected {value}")
    else:
        faults.append(f"unknown check {check}")

for f in faults:
    print(f)
sys.exit(1 if faults else 0)

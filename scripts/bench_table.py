#!/usr/bin/env python3
"""Prints the benchmark table from the JSON results scripts/bench.sh leaves.

Each row: the figure (median of the repetitions), its baseline from the same
run where it has one, the ratio (figure / baseline, or figure / limit where
the target is a plain limit) and the target.
"""
import json
import os
import sys

out = sys.argv[1]
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def load(name):
    path = os.path.join(out, name + ".json")
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data.get("benchmarks", []):
        if b.get("error_occurred"):
            continue
        # Medians when there were repetitions, the single run otherwise.
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        key = "/".join(part for part in b["run_name"].split("/")
                       if not part.startswith(("iterations:", "real_time", "manual_time", "repeats:")))
        if b.get("run_type") == "aggregate" or key not in runs:
            runs[key] = b
    return runs


def ms(prog, bench):
    b = load(prog).get(bench)
    return None if b is None else b["real_time"] * TO_MS[b["time_unit"]]


def counter(prog, bench, name, scale=1.0):
    b = load(prog).get(bench)
    return None if b is None or name not in b else b[name] * scale


MIB = 1.0 / (1024 * 1024)
rows = [
    # label, figure, baseline, unit, limit, kind ('ratio<=', 'max', 'min')
    ("open + every summary, document (ms)", ms("datafile_open", "BM_Document/0"),
     ms("datafile_open", "BM_Baseline"), 1.0, "ratio<="),
    ("open + every summary, document, 1 thread (ms)", ms("datafile_open", "BM_Document/1"),
     ms("datafile_open", "BM_Baseline"), None, "info"),
    ("open + every summary, records (ms)", ms("datafile_open", "BM_Reader"),
     ms("datafile_open", "BM_Baseline"), None, "info"),
    ("command line to painted index window (ms)", ms("index_window_paint", "BM_CommandLineToWindow"),
     None, 1500.0, "max"),
    ("open to painted index window, in process (ms)", ms("index_window_paint", "BM_OpenToPaintedWindow"),
     None, 1500.0, "max"),
    ("new index window after the summaries (ms)", ms("index_window_paint", "BM_WindowAfterSummaries"),
     None, 300.0, "max"),
    ("one page of scrolling (ms)", ms("index_window_paint", "BM_ScrollPage"), None, 8.0, "max"),
    ("Markdown notes folder, 100,000 articles (ms)", ms("export_markdown", "BM_ExportMarkdown/100000"),
     ms("export_markdown", "BM_ReadAndInflate/100000"), 3.0, "ratio<="),
    ("RTF reader, 20 MB article (MiB/s)", counter("richtext_read", "BM_ReadRtf", "bytes_per_second", MIB),
     None, 150.0, "min"),
    ("usage report, 20,000 keywords, shown (ms)", ms("keyword_reports", "BM_UsageReport"),
     ms("keyword_reports", "BM_CountBaseline"), 1000.0, "max"),
    ("keyword cloud, 20,000 keywords, shown (ms)", ms("keyword_reports", "BM_CloudReport"),
     ms("keyword_reports", "BM_CountBaseline"), 1000.0, "max"),
    ("RTF to HTML, 20 MB article (MiB/s)", counter("html_convert", "BM_RtfToHtml", "bytes_per_second", MIB),
     None, 50.0, "min"),
    ("HTML export, one file, 100,000 articles (ms)", ms("export_text", "BM_ExportHtml/100000"),
     ms("export_text", "BM_ReadAndInflate/100000"), 3.0, "ratio<="),
    ("text export, one file, 100,000 articles (ms)", ms("export_text", "BM_ExportText/100000"),
     ms("export_text", "BM_ReadAndInflate/100000"), None, "info"),
    ("fill + sort 100,000 titles by title (ms)", ms("index_ops", "BM_Fill/TitlesAscending/0/100000"),
     ms("index_ops", "BM_Fill/DatesAscending/2/100000"), 2.0, "ratio<="),
    ("peak RSS, HTML export of 25,000 (MiB)",
     counter("peak_export_html_25000", "BM_ExportHtml/25000", "peak_rss_kb", 1 / 1024), None, None, "info"),
    ("peak RSS, HTML export of 100,000 (MiB)",
     counter("peak_export_html_100000", "BM_ExportHtml/100000", "peak_rss_kb", 1 / 1024),
     counter("peak_export_html_25000", "BM_ExportHtml/25000", "peak_rss_kb", 1 / 1024), None, "info"),
    ("peak RSS, document open + summaries (MiB)",
     counter("peak_document_open", "BM_Document", "peak_rss_kb", 1 / 1024), None, 64.0, "max"),
    ("peak RSS, open to painted window (MiB)",
     counter("peak_index_window_paint", "BM_OpenToPaintedWindow", "peak_rss_kb", 1 / 1024), None,
     64.0, "max"),
]


def fmt(v):
    return "-" if v is None else ("%.1f" % v if v < 100 else "%.0f" % v)


print()
print("%-48s %10s %10s %7s  %-14s %s" % ("figure", "value", "baseline", "ratio", "target", "met"))
for label, value, base, limit, kind in rows:
    ratio = met = None
    if kind == "ratio<=":
        target = "<= %.1f x base" % limit
        if value is not None and base:
            ratio = value / base
            met = ratio <= limit
    elif kind == "max":
        target = "<= %g" % limit
        if value is not None:
            ratio = value / limit
            met = value <= limit
    elif kind == "min":
        target = ">= %g" % limit
        if value is not None:
            ratio = value / limit
            met = value >= limit
    else:
        target = "-"
        if value is not None and base:
            ratio = value / base
    print("%-48s %10s %10s %7s  %-14s %s" % (
        label, fmt(value), fmt(base), "-" if ratio is None else "%.2f" % ratio, target,
        "-" if met is None else ("yes" if met else "NO")))

print("\nevery benchmark (median real time):")
for name in sorted(f[:-5] for f in os.listdir(out) if f.endswith(".json") and not f.startswith("peak_")):
    for bench, b in load(name).items():
        print("  %-22s %-34s %12.3f ms" % (name, bench, b["real_time"] * TO_MS[b["time_unit"]]))

#!/usr/bin/env python3
"""Reads an exported file back with standard readers and prints what it holds as JSON.

readback.py csv FILE ENCODING   -> {"rows": [[cell, ...], ...], "crlf": bool, "bom": bool}
readback.py xlsx FILE           -> {"sheets": [...], "rows": [[cell, ...]], "widths": {...},
                                    "styles": {"A1": {"bold":, "fill":, "border":,
                                                      "format":, "type":}, ...}}
A number cell reads as its value ("1234.5"); one whose number format shows a date reads as
the day, yyyy-mm-dd, with hh:mm after it when the format shows the time.
"""
import datetime
import csv
import io
import json
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}


def read_csv(path, encoding):
    raw = open(path, "rb").read()
    text = raw.decode(encoding)
    rows = list(csv.reader(io.StringIO(text, newline="")))
    lines = raw.split(b"\n")
    crlf = all(line.endswith(b"\r") for line in lines[:-1]) and lines[-1] == b""
    return {"rows": rows, "crlf": crlf, "bom": raw.startswith(b"\xef\xbb\xbf")}


def unescape(text):
    """Office Open XML writes control characters as _xHHHH_."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


def column_index(ref):
    letters = "".join(ch for ch in ref if ch.isalpha())
    n = 0
    for ch in letters:
        n = n * 26 + ord(ch) - ord("A") + 1
    return n - 1


def read_xlsx(path):
    z = zipfile.ZipFile(path)
    workbook = ET.fromstring(z.read("xl/workbook.xml"))
    sheets = [s.get("name") for s in workbook.find("m:sheets", NS)]
    shared = []
    if "xl/sharedStrings.xml" in z.namelist():
        for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", NS):
            shared.append(unescape("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"]))))
    styles = ET.fromstring(z.read("xl/styles.xml"))
    fonts = styles.find("m:fonts", NS).findall("m:font", NS)
    fills = styles.find("m:fills", NS).findall("m:fill", NS)
    borders = styles.find("m:borders", NS).findall("m:border", NS)
    xfs = styles.find("m:cellXfs", NS).findall("m:xf", NS)
    formats = {14: "m/d/yyyy", 22: "m/d/yyyy h:mm"}
    num_fmts = styles.find("m:numFmts", NS)
    for f in (num_fmts if num_fmts is not None else []):
        formats[int(f.get("numFmtId"))] = f.get("formatCode")

    def style(index):
        xf = xfs[index]
        font = fonts[int(xf.get("fontId", 0))]
        fill = fills[int(xf.get("fillId", 0))].find("m:patternFill", NS)
        fg = fill.find("m:fgColor", NS) if fill is not None else None
        border = borders[int(xf.get("borderId", 0))]
        sides = [border.find("m:" + side, NS) for side in ("left", "right", "top", "bottom")]
        return {
            "bold": font.find("m:b", NS) is not None,
            "fill": fg.get("rgb") if fg is not None else None,
            "border": all(s is not None and s.get("style") == "thin" for s in sides),
            "format": formats.get(int(xf.get("numFmtId", 0)), ""),
        }

    def shown_number(text, code):
        bare = re.sub(r'"[^"]*"', "", code)
        if not re.search(r"[ymd]", bare):
            return repr(float(text)) if "." in text else text
        day = datetime.datetime(1899, 12, 30) + datetime.timedelta(days=float(text))
        day = day + datetime.timedelta(microseconds=500000)  # to the nearest second
        return day.strftime("%Y-%m-%d %H:%M" if re.search(r"h", bare) else "%Y-%m-%d")

    sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
    widths = {}
    cols = sheet.find("m:cols", NS)
    for col in (cols if cols is not None else []):
        for c in range(int(col.get("min")), int(col.get("max")) + 1):
            widths[str(c)] = float(col.get("width"))
    rows, cell_styles = [], {}
    for row in sheet.find("m:sheetData", NS).findall("m:row", NS):
        r = int(row.get("r")) - 1
        while len(rows) <= r:
            rows.append([])
        for c in row.findall("m:c", NS):
            ref = c.get("r")
            i = column_index(ref)
            value = ""
            v = c.find("m:v", NS)
            if c.get("t") == "s" and v is not None:
                value = shared[int(v.text)]
            elif c.get("t") == "inlineStr":
                value = unescape("".join(t.text or "" for t in c.iter("{%s}t" % NS["m"])))
            elif v is not None:
                value = shown_number(v.text, style(int(c.get("s", 0)))["format"])
            while len(rows[r]) <= i:
                rows[r].append("")
            rows[r][i] = value
            cell_styles[ref] = style(int(c.get("s", 0)))
            cell_styles[ref]["type"] = c.get("t", "n")
    return {"sheets": sheets, "rows": rows, "widths": widths, "styles": cell_styles}


if __name__ == "__main__":
    mode, path = sys.argv[1], sys.argv[2]
    result = read_csv(path, sys.argv[3]) if mode == "csv" else read_xlsx(path)
    json.dump(result, sys.stdout, ensure_ascii=False)

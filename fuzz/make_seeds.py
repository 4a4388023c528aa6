#!/usr/bin/env python3
"""Writes the fuzzers' seed lists into fuzz/corpus/: a few CSV lists and small workbooks.

The workbooks are written part by part, most of them stored rather than deflated, so that the
fuzzer's changes land in the XML the reader parses; one is deflated the way Excel writes it.
The output is the same on every run (fixed dates in the archives)."""

import pathlib
import zipfile

corpus = pathlib.Path(__file__).resolve().parent / "corpus"

# CSV lists ------------------------------------------------------------------------------------

csv_lists = {
    # UTF-8 with a byte-order mark, CR LF, the history's headings, a blank row.
    "utf8-bom.csv": "\ufeff收款人全称,金额,用途,出票日期,账号,银行\r\n"
    "北京示例科技有限公司,1234.56,货款,2026-12-09,6222020200112233,工商银行\r\n"
    ",,,,,\r\n"
    "上海样例贸易有限公司,\"1,500.00\",服务费,2026年12月9日,,\r\n",
    # GB18030, the fields' identifiers as headings, full-width digits and a yuan sign.
    "gb18030.csv": (
        "票身-收款人,小写金额,票身-用途,密码,附加信息\n"
        "广州测试有限公司,￥１２３．４５,差旅费,1234567890123456,\n"
        "深圳测试有限公司,¥88,办公用品,,第二行\n"
    ).encode("gb18030"),
    # Quoted values holding commas, doubled quotes and line breaks; an unknown heading; a value
    # right of the headings; a last row without a line break.
    "quoted.csv": "收款人,金额,\"用途\",备注\n"
    "\"甲公司,北京\",100,\"第一行\n第二行\",\"说\"\"好\"\"的\"\r"
    "乙公司,200.5,\"\",,多出的值\n"
    "\n"
    "丙公司,0.01,\"回车\r\n换行\",",
    # Refused: two headings for one field, and an unclosed quote.
    "same-field.csv": "收款人,金额,小写金额\n甲公司,1,1\n",
    "open-quote.csv": "收款人,金额\n\"甲公司,1\n",
}

for name, text in csv_lists.items():
    data = text if isinstance(text, bytes) else text.encode("utf-8")
    (corpus / "csv" / name).write_bytes(data)

# Workbooks ------------------------------------------------------------------------------------

WORKBOOK_NS = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL_NS = "http://schemas.openxmlformats.org/package/2006/relationships"


def workbook(sheets, date1904=False):
    pr = '<workbookPr date1904="1"/>' if date1904 else "<workbookPr/>"
    items = "".join(
        f'<sheet name="{name}" sheetId="{i + 1}"{state} r:id="rId{i + 1}"/>'
        for i, (name, state) in enumerate(sheets)
    )
    return (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<workbook xmlns="{WORKBOOK_NS}" xmlns:r="{REL_NS}">{pr}<sheets>{items}</sheets>'
        f"</workbook>"
    )


def relationships(targets):
    items = "".join(
        f'<Relationship Id="rId{i + 1}" Type="{REL_NS}/{kind}" Target="{target}"/>'
        for i, (kind, target) in enumerate(targets)
    )
    return (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<Relationships xmlns="{PKG_REL_NS}">{items}</Relationships>'
    )


def sheet(rows):
    return (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<worksheet xmlns="{WORKBOOK_NS}"><sheetData>{"".join(rows)}</sheetData></worksheet>'
    )


def write_workbook(name, parts, compression=zipfile.ZIP_STORED):
    with zipfile.ZipFile(corpus / "xlsx" / name, "w", compression) as archive:
        for part, text in parts.items():
            info = zipfile.ZipInfo(part, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = compression
            archive.writestr(info, text.encode("utf-8"))


# Inline strings only, no shared strings and no styles; numbered rows and cells.
write_workbook(
    "inline.xlsx",
    {
        "xl/workbook.xml": workbook([("付款", "")]),
        "xl/_rels/workbook.xml.rels": relationships([("worksheet", "worksheets/sheet1.xml")]),
        "xl/worksheets/sheet1.xml": sheet(
            [
                '<row r="1"><c r="A1" t="inlineStr"><is><t>收款人</t></is></c>'
                '<c r="B1" t="inlineStr"><is><t>金额</t></is></c></row>',
                '<row r="2"><c r="A2" t="inlineStr"><is><t>甲公司</t></is></c>'
                '<c r="B2"><v>1500</v></c></row>',
                '<row r="4"><c r="A4" t="inlineStr"><is><r><t>乙</t></r><r><t>公司</t></r></is>'
                '</c><c r="B4"><v>1234.56</v></c></row>',
            ]
        ),
    },
)

# Shared strings with runs, phonetic guides and _xHHHH_ escapes; custom and built-in number
# formats; the 1904 date system; a hidden second sheet; rows and cells without numbers; every
# cell type; an absolute relationship target.
styles = (
    f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<styleSheet xmlns="{WORKBOOK_NS}"><numFmts count="2">'
    f'<numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>'
    f'<numFmt numFmtId="165" formatCode="[Red]#,##0.0_);\\(0\\)"/></numFmts>'
    f'<cellStyleXfs count="1"><xf numFmtId="0"/></cellStyleXfs>'
    f'<cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="165"/>'
    f'<xf numFmtId="14"/><xf numFmtId="4"/></cellXfs>'
    f'<dxfs count="0"/></styleSheet>'
)
shared = (
    f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<sst xmlns="{WORKBOOK_NS}" count="6" uniqueCount="6">'
    f"<si><t>收款人</t></si><si><t>金额</t></si><si><t>出票日期</t></si>"
    f"<si><r><rPr><b/></rPr><t>丙</t></r><r><t>公司</t></r><rPh sb=\"0\" eb=\"1\"><t>ヘイ</t></rPh></si>"
    f'<si><t xml:space="preserve">第一行_x000D_\n第二行 _x005F_x0041_</t></si>'
    f"<si><t>用途</t></si></sst>"
)
write_workbook(
    "shared-styles.xlsx",
    {
        "xl/workbook.xml": workbook([("付款", ""), ("隐藏", ' state="hidden"')], date1904=True),
        "xl/_rels/workbook.xml.rels": relationships(
            [
                ("worksheet", "worksheets/sheet1.xml"),
                ("worksheet", "worksheets/sheet2.xml"),
                ("sharedStrings", "/xl/sharedStrings.xml"),
                ("styles", "styles.xml"),
            ]
        ),
        "xl/sharedStrings.xml": shared,
        "xl/styles.xml": styles,
        "xl/worksheets/sheet1.xml": sheet(
            [
                '<row r="2" spans="1:4"><c r="A2" t="s"><v>0</v></c><c r="B2" t="s"><v>1</v></c>'
                '<c r="C2" t="s"><v>2</v></c><c r="D2" t="s"><v>5</v></c></row>',
                '<row r="3"><c r="A3" t="s"><v>3</v></c><c r="B3" s="2"><v>1234.56</v></c>'
                '<c r="C3" s="1"><v>45000</v></c><c r="D3" t="s"><v>4</v></c></row>',
                '<row><c t="str"><f>A3</f><v>丁公司</v></c><c s="4"><v>99.999</v></c>'
                '<c s="3"><v>60.5</v></c><c t="b"><v>1</v></c></row>',
                '<row><c r="A7" t="inlineStr"><is><t>戊公司</t></is></c><c r="B7"><v>1E-3</v></c>'
                '<c r="C7" t="d"><v>2026-12-09T10:00:00</v></c><c r="D7" t="e"><v>#N/A</v></c>'
                "</row>",
            ]
        ),
        "xl/worksheets/sheet2.xml": sheet(['<row r="1"><c r="A1"><v>1</v></c></row>']),
    },
)

# A hidden sheet before the list, hidden rows (by the attribute and by no height), a part name
# in other letter cases than the relationship's target.
write_workbook(
    "hidden.xlsx",
    {
        "xl/workbook.xml": workbook([("旧表", ' state="hidden"'), ("付款", ' state="visible"')]),
        "xl/_rels/workbook.xml.rels": relationships(
            [("worksheet", "worksheets/sheet1.xml"), ("worksheet", "worksheets/Sheet2.xml")]
        ),
        "xl/worksheets/sheet1.xml": sheet(['<row r="1"><c r="A1"><v>1</v></c></row>']),
        "xl/worksheets/sheet2.xml": sheet(
            [
                '<row r="1"><c r="A1" t="inlineStr"><is><t>收款人</t></is></c>'
                '<c r="B1" t="inlineStr"><is><t>金额</t></is></c></row>',
                '<row r="2" hidden="1"><c r="A2" t="inlineStr"><is><t>甲公司</t></is></c>'
                '<c r="B2"><v>10</v></c></row>',
                '<row r="3" ht="0" customHeight="1"><c r="A3" t="inlineStr"><is><t>乙公司</t>'
                '</is></c><c r="B3"><v>20</v></c></row>',
                '<row r="4"><c r="A4" t="inlineStr"><is><t>丙公司</t></is></c>'
                '<c r="B4"><v>30</v></c></row>',
            ]
        ),
    },
)

# The parts Excel writes, deflated: content types, document properties, a theme-less styles part.
content_types = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/xl/workbook.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
    '<Override PartName="/xl/worksheets/sheet1.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
    "</Types>"
)
package_rels = (
    f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<Relationships xmlns="{PKG_REL_NS}"><Relationship Id="rId1" '
    f'Type="{REL_NS}/officeDocument" Target="xl/workbook.xml"/></Relationships>'
)
write_workbook(
    "deflated.xlsx",
    {
        "[Content_Types].xml": content_types,
        "_rels/.rels": package_rels,
        "xl/workbook.xml": workbook([("Sheet1", "")]),
        "xl/_rels/workbook.xml.rels": relationships(
            [
                ("worksheet", "worksheets/sheet1.xml"),
                ("styles", "styles.xml"),
                ("sharedStrings", "sharedStrings.xml"),
            ]
        ),
        "xl/styles.xml": (
            f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            f'<styleSheet xmlns="{WORKBOOK_NS}"><cellXfs count="2"><xf numFmtId="0"/>'
            f'<xf numFmtId="2" applyNumberFormat="1"/></cellXfs></styleSheet>'
        ),
        "xl/sharedStrings.xml": (
            f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            f'<sst xmlns="{WORKBOOK_NS}"><si><t>票身-收款人</t></si><si><t>小写金额</t></si>'
            f"<si><t>某某公司</t></si></sst>"
        ),
        "xl/worksheets/sheet1.xml": sheet(
            [
                '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>',
                '<row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2" s="1"><v>88.5</v></c></row>',
                '<row r="3"><c r="A3" t="s"><v>2</v></c><c r="B3" s="1"><v>12.345</v></c></row>',
            ]
        ),
    },
    zipfile.ZIP_DEFLATED,
)

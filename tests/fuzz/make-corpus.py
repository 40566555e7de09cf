#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<reader>/: the
test data files of the readers, the workbook streams taken out of the
legacy workbooks, small workbooks written here part by part, and a few
hand-made tables. Run it from anywhere after changing the test data."""
import os
import shutil
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "data")
CORPUS = os.path.join(HERE, "corpus")


def put(reader, name, data):
    folder = os.path.join(CORPUS, reader)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def data(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


def workbook_stream(blob):
    """The Workbook (or Book) stream of a compound file."""
    shift = struct.unpack_from("<H", blob, 30)[0]
    size = 1 << shift
    mini_cutoff = struct.unpack_from("<I", blob, 56)[0]
    dir_start, = struct.unpack_from("<I", blob, 48)
    minifat_start, = struct.unpack_from("<I", blob, 60)
    difat = struct.unpack_from("<109I", blob, 76)

    def sector(n):
        return blob[(n + 1) * size:(n + 2) * size]

    fat = []
    for s in difat:
        if s >= 0xFFFFFFFA:
            break
        fat.extend(struct.unpack("<%dI" % (size // 4), sector(s)))

    def chain(start, table, read):
        out, n, seen = b"", start, set()
        while n < 0xFFFFFFFA and n not in seen and n < len(table):
            seen.add(n)
            out += read(n)
            n = table[n]
        return out

    directory = chain(dir_start, fat, sector)
    entries = []
    for at in range(0, len(directory), 128):
        e = directory[at:at + 128]
        length = struct.unpack_from("<H", e, 64)[0]
        name = e[:max(length - 2, 0)].decode("utf-16-le", "replace")
        start, size_low = struct.unpack_from("<II", e, 116)
        entries.append((name, start, size_low))
    root = entries[0]
    for name, start, length in entries:
        if name in ("Workbook", "Book"):
            if length >= mini_cutoff:
                return chain(start, fat, sector)[:length]
            ministream = chain(root[1], fat, sector)
            minifat = struct.unpack("<%dI" % (len(chain(minifat_start, fat, sector)) // 4),
                                    chain(minifat_start, fat, sector))
            return chain(start, minifat, lambda n: ministream[n * 64:(n + 1) * 64])[:length]
    raise ValueError("no workbook stream")


CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/></Types>')
PACKAGE_RELS = (
    '<?xml version="1.0" encoding="UTF-8"?>'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument"'
    ' Target="xl/workbook.xml"/></Relationships>')
REL = '<Relationship Id="%s" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/%s" Target="%s"/>'


def xlsx(sheets, shared=None, styles=None, date1904=False):
    """A workbook of sheets (name, sheetData inner XML), written part by part."""
    import io
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        class Fixed:
            # Members dated alike, so that the seeds come out the same each time.
            @staticmethod
            def writestr(name, text):
                info = zipfile.ZipInfo(name, date_time=(2024, 9, 1, 0, 0, 0))
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, text)
        z = Fixed
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", PACKAGE_RELS)
        rels = [REL % ("rId%d" % (i + 1), "worksheet", "worksheets/sheet%d.xml" % (i + 1))
                for i in range(len(sheets))]
        if shared is not None:
            rels.append(REL % ("rIdS", "sharedStrings", "sharedStrings.xml"))
            items = "".join("<si><t>%s</t></si>" % s for s in shared)
            z.writestr("xl/sharedStrings.xml", '<sst xmlns="http://schemas.openxmlformats.org/'
                       'spreadsheetml/2006/main" count="%d">%s</sst>' % (len(shared), items))
        if styles is not None:
            rels.append(REL % ("rIdT", "styles", "styles.xml"))
            z.writestr("xl/styles.xml", styles)
        z.writestr("xl/_rels/workbook.xml.rels",
                   '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                   + "".join(rels) + "</Relationships>")
        tabs = "".join('<sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (name, i + 1, i + 1)
                       for i, (name, _) in enumerate(sheets))
        z.writestr("xl/workbook.xml",
                   '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                   'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                   '<workbookPr%s/><sheets>%s</sheets></workbook>'
                   % (' date1904="1"' if date1904 else "", tabs))
        for i, (_, rows) in enumerate(sheets):
            z.writestr("xl/worksheets/sheet%d.xml" % (i + 1),
                       '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
                       '<dimension ref="A1:C3"/><sheetData>%s</sheetData>'
                       '<mergeCells count="1"><mergeCell ref="A1:C1"/></mergeCells></worksheet>' % rows)
    return buffer.getvalue()


STYLES = ('<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
          '<numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>'
          '</numFmts><cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="22"/></cellXfs>'
          '</styleSheet>')


def main():
    shutil.rmtree(CORPUS, ignore_errors=True)
    for name in ("students-utf8.csv", "students-utf8-bom.csv", "students-gbk.csv"):
        put("csv", name, data(name))
    put("csv", "quoted.csv", '姓名\t备注\t考号\r\n"张""三"\t"一,二\n三"\t="0085"\r\n\r\n李四\t\t\n'.encode())
    put("csv", "gbk-short.csv", "张三,男".encode("gbk"))
    put("csv", "unclosed.csv", b'a,"b\nc')

    for name in ("page-table.xls", "page-no-table.xls"):
        put("html", name, data(name))
    put("html", "utf8-page.html", ("<!DOCTYPE html><html><head><meta charset=utf-8><script>var a='<td>';</script>"
                                   "</head><body><!-- x --><TABLE><tr><th>姓名<th colspan=2>成绩<tr><td>张三<br>"
                                   "&#x4E09;&nbsp;<td>85<td>92.5</table></body></html>").encode())

    for name in ("students-mini.xls", "students-1904.xls", "notes-first.xls", "students-600.xls"):
        blob = data(name)
        put("compound", name, blob)
        put("xls", name.replace(".xls", ".stream"), workbook_stream(blob))

    put("xlsx", "shared.xlsx", xlsx(
        [("名单", '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>'
                  '<row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2"><v>85</v></c>'
                  '<c r="C2" s="1"><v>40000</v></c></row>'
                  '<row><c t="str"><f>A2</f><v>张三_x000D_</v></c><c t="b"><v>1</v></c>'
                  '<c t="d"><v>2009-09-01T08:00:00</v></c><c t="e"><v>#N/A</v></c></row>')],
        shared=["姓名", "*语文", "张&amp;三"], styles=STYLES))
    put("xlsx", "inline.xlsx", xlsx(
        [("说明", '<row r="1"><c r="A1" t="inlineStr"><is><t>说明</t></is></c></row>'),
         ("学生", '<row r="3" spans="1:2"><c r="B3" t="inlineStr"><is><r><t>姓</t></r><r><t>名</t></r>'
                  '<rPh><t>xingming</t></rPh></is></c></row><row r="4"><c r="B4" s="2"><v>1.5</v></c></row>')],
        styles=STYLES, date1904=True))


if __name__ == "__main__":
    main()

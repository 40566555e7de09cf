#!/usr/bin/env python3
"""Reads a workbook the way another program would, with nothing of ours:
checks the zip (every checksum), parses every XML part, checks that every
part has a content type and every relationship a target, then prints each
sheet's cells.

    read_xlsx_package.py FILE.xlsx

Output, one line each:
    sheet <tab> NAME-HEX
    cell <tab> REF <tab> KIND <tab> LOOK <tab> VALUE-HEX
    merge <tab> RANGE
    width <tab> MIN <tab> MAX <tab> WIDTH
KIND is s (text) or n (number); LOOK holds b (bold), g (filled), f (framed),
t (text format), c (centred and wrapped). Texts are the hex of their UTF-8
bytes. Exit status 1 with a reason on stderr when the package is damaged.
"""
import posixpath
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

MAIN = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
PKG_REL = '{http://schemas.openxmlformats.org/package/2006/relationships}'
DOC_REL = '{http://schemas.openxmlformats.org/officeDocument/2006/relationships}'
TYPES = '{http://schemas.openxmlformats.org/package/2006/content-types}'
ESCAPE = re.compile(r'_x([0-9A-Fa-f]{4})_')


def fail(reason):
    print(reason, file=sys.stderr)
    sys.exit(1)


def hexed(text):
    return text.encode('utf-8').hex()


def unescape(text):
    return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), text)


def relationships(parts, part):
    folder, name = posixpath.split(part)
    rels = posixpath.join(folder, '_rels', name + '.rels')
    if rels not in parts:
        fail('no relationships for ' + part)
    found = {}
    for rel in parts[rels].iter(PKG_REL + 'Relationship'):
        target = posixpath.normpath(posixpath.join(folder, rel.get('Target'))).lstrip('/')
        if target not in parts:
            fail('missing target ' + target)
        found[rel.get('Id')] = (rel.get('Type').rsplit('/', 1)[-1], target)
    return found


def main():
    archive = zipfile.ZipFile(sys.argv[1])
    damaged = archive.testzip()
    if damaged:
        fail('bad checksum in ' + damaged)
    parts = {}
    for name in archive.namelist():
        try:
            parts[name] = ET.fromstring(archive.read(name))
        except ET.ParseError as error:
            fail('%s: %s' % (name, error))
    types = parts.get('[Content_Types].xml')
    if types is None:
        fail('no content types')
    defaults = {d.get('Extension') for d in types.iter(TYPES + 'Default')}
    overrides = {o.get('PartName').lstrip('/') for o in types.iter(TYPES + 'Override')}
    for name in parts:
        if name != '[Content_Types].xml' and name not in overrides and name.rsplit('.', 1)[-1] not in defaults:
            fail('no content type for ' + name)
    for name in overrides:
        if name not in parts:
            fail('content type of a missing part ' + name)

    workbook = [t for kind, t in relationships(parts, '').values() if kind == 'officeDocument']
    if len(workbook) != 1:
        fail('no workbook')
    workbook = workbook[0]
    linked = relationships(parts, workbook)
    strings = []
    styles = None
    for kind, target in linked.values():
        if kind == 'sharedStrings':
            for item in parts[target].iter(MAIN + 'si'):
                strings.append(unescape(''.join(t.text or '' for t in item.iter(MAIN + 't'))))
        elif kind == 'styles':
            styles = parts[target]
    if styles is None:
        fail('no styles')
    fonts = [f.find(MAIN + 'b') is not None for f in styles.find(MAIN + 'fonts')]
    fills = [f.find(MAIN + 'patternFill').get('patternType') for f in styles.find(MAIN + 'fills')]
    borders = [b.find(MAIN + 'left').get('style') for b in styles.find(MAIN + 'borders')]
    formats = {'0': 'General', '49': '@'}
    for number_format in styles.iter(MAIN + 'numFmt'):
        formats[number_format.get('numFmtId')] = number_format.get('formatCode')
    looks = []
    for xf in styles.find(MAIN + 'cellXfs'):
        alignment = xf.find(MAIN + 'alignment')
        look = ''
        look += 'b' if fonts[int(xf.get('fontId', '0'))] else ''
        look += 'g' if fills[int(xf.get('fillId', '0'))] == 'solid' else ''
        look += 'f' if borders[int(xf.get('borderId', '0'))] == 'thin' else ''
        look += 't' if formats.get(xf.get('numFmtId', '0')) == '@' else ''
        if alignment is not None and alignment.get('horizontal') == 'center' and alignment.get('wrapText') == '1':
            look += 'c'
        looks.append(look)

    for sheet in parts[workbook].iter(MAIN + 'sheet'):
        kind, target = linked[sheet.get(DOC_REL + 'id')]
        if kind != 'worksheet':
            fail('sheet is a ' + kind)
        print('sheet\t' + hexed(sheet.get('name')))
        xml = parts[target]
        for column in xml.iter(MAIN + 'col'):
            print('width\t%s\t%s\t%s' % (column.get('min'), column.get('max'), column.get('width')))
        for cell in xml.iter(MAIN + 'c'):
            value = cell.find(MAIN + 'v')
            if value is None:
                continue
            look = looks[int(cell.get('s', '0'))]
            if cell.get('t') == 's':
                print('cell\t%s\ts\t%s\t%s' % (cell.get('r'), look, hexed(strings[int(value.text)])))
            elif cell.get('t') is None:
                print('cell\t%s\tn\t%s\t%s' % (cell.get('r'), look, hexed(repr(float(value.text)))))
            else:
                fail('cell of type ' + cell.get('t'))
        for merge in xml.iter(MAIN + 'mergeCell'):
            print('merge\t' + merge.get('ref'))


if __name__ == '__main__':
    main()

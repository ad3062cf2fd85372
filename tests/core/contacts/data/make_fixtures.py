#!/usr/bin/env python3
"""Writes names.ods and names.xls, the small workbooks the reader tests open (both hold the
same cells). Run from this folder; the output is committed so the tests need no tools."""
import datetime
import struct
import zipfile

NS = 'xmlns:{0}="urn:oasis:names:tc:opendocument:xmlns:{0}:1.0"'
CELL = '<table:table-cell office:value-type="{}"{}><text:p>{}</text:p></table:table-cell>\n'
ROWS = [[('string', '', '手机'), ('string', '', '生日')],
        [('float', ' office:value="13800138000"', '13800138000'),
         ('date', ' office:date-value="1990-07-15"', '1990-07-15')],
        [('string', '', ' 13900139000 '), ('float', ' office:value="3.25"', '3.25')]]
CONTENT = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content %s %s %s office:version="1.2">\n'
           % (NS.format('office'), NS.format('table'), NS.format('text'))
           + '<office:body><office:spreadsheet>\n<table:table table:name="名单">\n'
           + ''.join('<table:table-row>\n' + ''.join(CELL.format(*cell) for cell in row) + '</table:table-row>\n'
                     for row in ROWS)
           + '</table:table>\n<table:table table:name="空表"><table:table-row><table:table-cell/></table:table-row>'
           '</table:table>\n</office:spreadsheet></office:body></office:document-content>')
MANIFEST = '''<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest %s manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>''' % NS.format('manifest')

with zipfile.ZipFile('names.ods', 'w') as archive:
    # The media type comes first and uncompressed, as the format asks.
    for name, text, kind in (('mimetype', 'application/vnd.oasis.opendocument.spreadsheet', zipfile.ZIP_STORED),
                             ('META-INF/manifest.xml', MANIFEST, zipfile.ZIP_DEFLATED),
                             ('content.xml', CONTENT, zipfile.ZIP_DEFLATED)):
        archive.writestr(zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0)), text, compress_type=kind)


# names.xls: a BIFF8 workbook inside a compound file, written by hand so that no office
# suite is needed.
def record(kind, body=b''):
    return struct.pack('<HH', kind, len(body)) + body


def wide(text):
    return text.encode('utf-16-le')


def bof(kind):
    return record(0x0809, struct.pack('<HHHHII', 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))


def sheet(rows, cols, cells):
    return bof(0x0010) + record(0x0200, struct.pack('<IIHHH', 0, rows, 0, cols, 0)) + b''.join(cells) + record(0x000A)


STRINGS = ['手机', '生日', ' 13900139000 ']
BIRTHDAY = (datetime.date(1990, 7, 15) - datetime.date(1899, 12, 30)).days
text = lambda row, col, index: record(0x00FD, struct.pack('<HHHI', row, col, 0, index))
number = lambda row, col, value, xf=0: record(0x0203, struct.pack('<HHHd', row, col, xf, value))
xf = lambda fmt: record(0x00E0, struct.pack('<HHH', 0, fmt, 1) + bytes(14))
sheets = [('名单', sheet(3, 2, [text(0, 0, 0), text(0, 1, 1), number(1, 0, 13800138000.0), number(1, 1, BIRTHDAY, 1),
                                text(2, 0, 2), number(2, 1, 3.25)])), ('空表', sheet(0, 0, []))]
sst = struct.pack('<II', len(STRINGS), len(STRINGS)) + b''.join(struct.pack('<HB', len(s), 1) + wide(s) for s in STRINGS)
# Small streams would go to the mini stream; a harmless padding record keeps this one in
# ordinary sectors, which keeps the container trivial.
head = (bof(0x0005) + record(0x0042, struct.pack('<H', 1200)) + record(0x0022, struct.pack('<H', 0)) + xf(0) + xf(14)
        + record(0x00FC, sst) + record(0x00EB, bytes(4200)))
offset = len(head) + sum(4 + 8 + len(wide(name)) for name, _ in sheets) + 4
bounds = b''
for name, body in sheets:
    bounds += record(0x0085, struct.pack('<IBBBB', offset, 0, 0, len(name), 1) + wide(name))
    offset += len(body)
workbook = head + bounds + record(0x000A) + b''.join(body for _, body in sheets)

END, FREE = 0xFFFFFFFE, 0xFFFFFFFF
stream = workbook + bytes(-len(workbook) % 512)
sectors = len(stream) // 512
fat = [0xFFFFFFFD, END] + [3 + i for i in range(sectors - 1)] + [END]
header = (bytes.fromhex('D0CF11E0A1B11AE1') + bytes(16) + struct.pack('<HHHHH', 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
          + struct.pack('<IIIIIIIII', 0, 1, 1, 0, 0x1000, END, 0, END, 0) + struct.pack('<I', 0)
          + struct.pack('<I', FREE) * 108)


def entry(name, kind, child, start, size):
    raw = wide(name) + b'\0\0' if name else b''
    return (raw.ljust(64, b'\0') + struct.pack('<HBB', len(raw), kind, 1) + struct.pack('<III', FREE, FREE, child)
            + bytes(36) + struct.pack('<IQ', start, size))


directory = (entry('Root Entry', 5, 1, END, 0) + entry('Workbook', 2, FREE, 2, len(workbook))
             + entry('', 0, FREE, 0, 0) * 2)
with open('names.xls', 'wb') as out:
    out.write(header + struct.pack('<128I', *(fat + [FREE] * (128 - len(fat)))) + directory + stream)

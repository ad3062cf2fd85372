#!/usr/bin/env python3
"""Writes names.ods and names.xls, the small workbooks the reader tests open.

Run from this folder; the output is committed so the tests need no tools."""
import datetime
import struct
import zipfile

CONTENT = '''<?xml version="1.0" encoding="UTF-8"?>
<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" \
xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" \
xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">
<office:body><office:spreadsheet>
<table:table table:name="名单">
<table:table-row>
<table:table-cell office:value-type="string"><text:p>手机</text:p></table:table-cell>
<table:table-cell office:value-type="string"><text:p>生日</text:p></table:table-cell>
</table:table-row>
<table:table-row>
<table:table-cell office:value-type="float" office:value="13800138000"><text:p>13800138000</text:p></table:table-cell>
<table:table-cell office:value-type="date" office:date-value="1990-07-15"><text:p>1990-07-15</text:p></table:table-cell>
</table:table-row>
<table:table-row>
<table:table-cell office:value-type="string"><text:p> 13900139000 </text:p></table:table-cell>
<table:table-cell office:value-type="float" office:value="3.25"><text:p>3.25</text:p></table:table-cell>
</table:table-row>
</table:table>
<table:table table:name="空表"><table:table-row><table:table-cell/></table:table-row></table:table>
</office:spreadsheet></office:body></office:document-content>'''

MANIFEST = '''<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>'''

with zipfile.ZipFile('names.ods', 'w') as archive:
    # The media type comes first and uncompressed, as the format asks.
    fixed = zipfile.ZipInfo('mimetype', date_time=(2024, 1, 1, 0, 0, 0))
    archive.writestr(fixed, 'application/vnd.oasis.opendocument.spreadsheet', compress_type=zipfile.ZIP_STORED)
    for name, text in (('META-INF/manifest.xml', MANIFEST), ('content.xml', CONTENT)):
        info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
        archive.writestr(info, text, compress_type=zipfile.ZIP_DEFLATED)


# names.xls: the same sheets as a BIFF8 workbook inside a compound file, written by hand
# so that no office suite is needed.


def record(kind, body=b''):
    return struct.pack('<HH', kind, len(body)) + body


def bof(kind):
    return record(0x0809, struct.pack('<HHHHII', 0x0600, kind, 0x0DBB, 0x07CC, 0, 6))


def wide(text):
    return text.encode('utf-16-le')


STRINGS = ['手机', '生日', ' 13900139000 ']
GENERAL_XF, DATE_XF = 0, 1
BIRTHDAY = (datetime.date(1990, 7, 15) - datetime.date(1899, 12, 30)).days


def cell_string(row, col, index):
    return record(0x00FD, struct.pack('<HHHI', row, col, GENERAL_XF, index))


def cell_number(row, col, value, xf=GENERAL_XF):
    return record(0x0203, struct.pack('<HHHd', row, col, xf, value))


def sheet(rows, cols, cells):
    return bof(0x0010) + record(0x0200, struct.pack('<IIHHH', 0, rows, 0, cols, 0)) + b''.join(cells) + record(0x000A)


def workbook():
    sheets = [('名单', sheet(3, 2, [cell_string(0, 0, 0), cell_string(0, 1, 1), cell_number(1, 0, 13800138000.0),
                                     cell_number(1, 1, BIRTHDAY, DATE_XF), cell_string(2, 0, 2),
                                     cell_number(2, 1, 3.25)])),
              ('空表', sheet(0, 0, []))]
    xf = lambda fmt: record(0x00E0, struct.pack('<HHH', 0, fmt, 1) + bytes(14))
    sst = struct.pack('<II', len(STRINGS), len(STRINGS)) + b''.join(
        struct.pack('<HB', len(s), 1) + wide(s) for s in STRINGS)
    # Small streams would go to the mini stream; a harmless padding record keeps this one
    # in ordinary sectors, which keeps the container trivial.
    head = (bof(0x0005) + record(0x0042, struct.pack('<H', 1200)) + record(0x0022, struct.pack('<H', 0))
            + xf(0) + xf(14) + record(0x00FC, sst) + record(0x00EB, bytes(4200)))
    bound_size = sum(4 + 8 + len(wide(name)) for name, _ in sheets)
    offset = len(head) + bound_size + 4
    bounds = b''
    for name, body in sheets:
        bounds += record(0x0085, struct.pack('<IBBBB', offset, 0, 0, len(name), 1) + wide(name))
        offset += len(body)
    return head + bounds + record(0x000A) + b''.join(body for _, body in sheets)


def compound_file(stream):
    end, free, fat_mark, none = 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFF
    stream += bytes(-len(stream) % 512)
    sectors = len(stream) // 512
    header = (bytes.fromhex('D0CF11E0A1B11AE1') + bytes(16)
              + struct.pack('<HHHHH', 0x3E, 3, 0xFFFE, 9, 6) + bytes(6)
              + struct.pack('<IIIIIIIII', 0, 1, 1, 0, 0x1000, end, 0, end, 0)
              + struct.pack('<I', 0) + struct.pack('<I', free) * 108)
    fat = [fat_mark, end] + [3 + i for i in range(sectors - 1)] + [end]
    fat += [free] * (128 - len(fat))

    def entry(name, kind, child, start, size):
        raw = wide(name) + b'\0\0' if name else b''
        return (raw.ljust(64, b'\0') + struct.pack('<HBB', len(raw), kind, 1)
                + struct.pack('<III', none, none, child) + bytes(36) + struct.pack('<IQ', start, size))

    directory = (entry('Root Entry', 5, 1, end, 0) + entry('Workbook', 2, none, 2, len(workbook_bytes))
                 + entry('', 0, none, 0, 0) * 2)
    return header + struct.pack('<128I', *fat) + directory + stream


workbook_bytes = workbook()
with open('names.xls', 'wb') as out:
    out.write(compound_file(workbook_bytes))

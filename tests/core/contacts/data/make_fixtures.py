#!/usr/bin/env python3
"""Writes names.ods, the small OpenDocument workbook the reader tests open.

Run from this folder; the output is committed so the tests need no tools."""
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

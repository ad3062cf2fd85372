#!/usr/bin/env python3
"""Writes mobileArea.db: table mobileSegment (province, city, segment), one row for every
seven-digit mobile segment libphonenumber's Chinese geocoding data places in a province.

usage: make_region_db.py PHONENUMBERS_PACKAGE_DIR OUTPUT.db

Shorter prefixes of the data stand for every segment under them, unless a longer prefix
says otherwise. Names lose their 省/市/自治区/特别行政区 suffix, as the number tools
match them against what the user types ("广东", "深圳").
"""

import os
import sqlite3
import sys

import phonedata

MUNICIPALITIES = ("北京", "天津", "上海", "重庆")
# Regions the data names without their suffix ("广西南宁市"), with their full names too.
REGIONS = ("内蒙古", "广西", "西藏", "宁夏", "新疆", "香港", "澳门")
REGION_SUFFIXES = ("壮族自治区", "回族自治区", "维吾尔自治区", "自治区", "特别行政区")


def strip_suffix(name, suffixes):
    for suffix in suffixes:
        if name.endswith(suffix) and len(name) > len(suffix):
            return name[: -len(suffix)]
    return name


def split_place(text):
    """(province, city) of a name such as "广东省深圳市", or None for the whole country."""
    if text == "中国":
        return None
    for city in MUNICIPALITIES:
        if text in (city, city + "市"):
            return city, city
    if "省" in text:
        province, city = text.split("省", 1)
    else:
        region = next((r for r in REGIONS if text.startswith(r)), None)
        if region is None:
            raise ValueError(f"unknown place name: {text}")
        rest = text[len(region):]
        for suffix in REGION_SUFFIXES:
            if rest.startswith(suffix):
                rest = rest[len(suffix):]
                break
        province, city = region, rest
    city = strip_suffix(city, ("市",)) or province
    return province, city


def segments(geocode):
    by_segment = {}
    for prefix in sorted(geocode, key=len):
        if len(prefix) > 7:
            continue
        place = split_place(geocode[prefix])
        width = 7 - len(prefix)
        for i in range(10**width):
            segment = prefix + (str(i).zfill(width) if width else "")
            if place is None:
                by_segment.pop(segment, None)
            else:
                by_segment[segment] = place
    return by_segment


def main():
    package_dir, output = sys.argv[1], sys.argv[2]
    _, geocode = phonedata.load(package_dir)
    try:
        rows = segments(geocode)
    except ValueError as error:
        sys.exit(f"make_region_db: {error}")
    temporary = output + ".tmp"
    if os.path.exists(temporary):
        os.remove(temporary)
    db = sqlite3.connect(temporary)
    db.executescript(
        "CREATE TABLE mobileSegment (segment TEXT PRIMARY KEY, province TEXT NOT NULL, city TEXT NOT NULL)"
        " WITHOUT ROWID;")
    db.executemany("INSERT INTO mobileSegment (segment, province, city) VALUES (?, ?, ?)",
                   ((s, p, c) for s, (p, c) in sorted(rows.items())))
    db.commit()
    db.execute("VACUUM")
    db.close()
    os.chmod(temporary, 0o644)
    os.replace(temporary, output)
    print(f"mobileArea.db: {len(rows)} segments")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the GIS and CAD files the reading tests open.

Every plot here is invented: made-up outlines of fields and yards near
44.9° N 41.9° E (in WGS 84), the same region in the Gauss-Krüger zone 7
of Pulkovo 1942 (EPSG:28407) and in UTM zone 37N (EPSG:32637), and a
drawing in the local coordinates of a site plan. The coordinates below are
the ones the tests expect, typed there once more.

    plot.dxf           a drawing (R2000, code page ANSI_1251), written by
                       hand: two closed LWPOLYLINEs on the layers "Участок"
                       and "Строения", an open LWPOLYLINE on "Оси" (passed
                       over), an old-style closed POLYLINE with VERTEX
                       entities on "Ограждение", a CIRCLE (a boundary
                       mark, passed over) and a TEXT
    plots.geojson      WGS 84: a polygon with a hole, a multipolygon of two
                       parts and a boundary mark (a point, passed over)
    plot.kml           WGS 84: one named placemark polygon (ogr2ogr)
    plot.kmz           plot.kml zipped as doc.kml
    plot.mif, .mid     CP1251, EPSG:28407 (ogr2ogr)
    local.mif, .mid    CP1251, a local system without an EPSG code (ogr2ogr)
    fields.shp, ...    two polygons, EPSG:32637, .cpg CP1251 (ogr2ogr)
    not_gis.txt        a text that no GIS format takes

Needs ogr2ogr (Debian's gdal-bin); otherwise only the standard library.
Run from anywhere: python3 make_gis.py  (writes beside this script).
"""

import json
import os
import shutil
import subprocess
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))


def closed(points):
    """The ring as GeoJSON writes it: the first point repeated at the end."""
    return [list(p) for p in points] + [list(points[0])]


# ---- WGS 84, longitude then latitude ----

# A yard with a pond in it (the hole).
YARD = [(41.90125, 44.90210), (41.90410, 44.90195), (41.90432, 44.90016),
        (41.90140, 44.90001)]
POND = [(41.90250, 44.90120), (41.90300, 44.90118), (41.90296, 44.90080),
        (41.90248, 44.90082)]
# A plot of two contours split by a field road.
NORTH_PART = [(41.91005, 44.90530), (41.91290, 44.90522), (41.91282, 44.90401)]
SOUTH_PART = [(41.91010, 44.90380), (41.91280, 44.90372), (41.91275, 44.90250),
              (41.91015, 44.90255), (41.91008, 44.90320)]
MARK = (41.90125, 44.90210)

# The placemark of the KML and KMZ files.
GARDEN = [(41.89560, 44.89840), (41.89710, 44.89852), (41.89725, 44.89760),
          (41.89640, 44.89702), (41.89552, 44.89745)]

# ---- Pulkovo 1942 / Gauss-Kruger zone 7 (EPSG:28407): easting, northing ----

MEADOW = [(7728450.25, 4976120.50), (7728690.75, 4976135.00),
          (7728702.10, 4975940.35), (7728461.40, 4975925.80)]

# ---- A local system of the MSK kind, which EPSG does not list: a
# Gauss-Krüger strip on Pulkovo 1942 with its own meridian and offsets ----

LOCAL_SYSTEM = ("+proj=tmerc +lat_0=0 +lon_0=41.55 +k=1 +x_0=1300000 +y_0=-4511057.63 "
                "+ellps=krass +towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22 +units=m +no_defs")
PASTURE = [(1327410.20, 465180.75), (1327655.00, 465190.10), (1327640.35, 464960.00),
           (1327402.80, 464975.45)]

# ---- WGS 84 / UTM zone 37N (EPSG:32637): easting, northing ----

ARABLE = [(728310.00, 4975880.00), (728760.50, 4975895.25), (728771.00, 4975505.75),
          (728305.25, 4975490.00)]
HAYFIELD = [(728900.00, 4975900.00), (729150.00, 4975910.00), (729160.00, 4975700.00),
            (728895.00, 4975690.00), (728880.00, 4975800.00), (728890.00, 4975850.00)]

# ---- The drawing: a site plan in metres ----

# Closed LWPOLYLINE on "Участок"; its third vertex is written twice in a row.
DXF_PLOT = [(1250.00, 3480.00), (1310.50, 3482.25), (1312.75, 3420.00),
            (1312.75, 3420.00), (1248.20, 3418.60)]
# Closed LWPOLYLINE on "Строения".
DXF_HOUSE = [(1270.00, 3460.00), (1282.00, 3460.00), (1282.00, 3450.00),
             (1270.00, 3450.00)]
# Open LWPOLYLINE on "Оси".
DXF_AXIS = [(1240.00, 3490.00), (1320.00, 3490.00), (1320.00, 3410.00)]
# Old-style POLYLINE, flagged closed, on "Ограждение".
DXF_FENCE = [(1290.00, 3440.00), (1300.00, 3440.00), (1300.00, 3430.00)]


def feature(geometry, **properties):
    return {"type": "Feature", "properties": properties, "geometry": geometry}


def polygon(*rings):
    return {"type": "Polygon", "coordinates": [closed(r) for r in rings]}


def write_json(path, features, name):
    with open(path, "w", encoding="utf-8") as f:
        json.dump({"type": "FeatureCollection", "name": name, "features": features}, f,
                  ensure_ascii=False, indent=1)
        f.write("\n")


def ogr2ogr(*args):
    # The MapInfo writer warns that it keeps the system as given: it does.
    run = subprocess.run(["ogr2ogr", *args], stderr=subprocess.PIPE, text=True, check=False)
    for line in run.stderr.splitlines():
        if "not taken into account" not in line:
            print(line)
    if run.returncode != 0:
        raise SystemExit(f"ogr2ogr {' '.join(args)} failed")


def remove(*names):
    for name in names:
        path = os.path.join(HERE, name)
        if os.path.exists(path):
            os.remove(path)


# ---- DXF, by hand ----

def group(code, value):
    return f"{code:>3}\n{value}\n"


def lwpolyline(layer, points, flag, handle):
    out = group(0, "LWPOLYLINE") + group(5, handle) + group(100, "AcDbEntity")
    out += group(8, layer) + group(100, "AcDbPolyline")
    out += group(90, len(points)) + group(70, flag) + group(43, "0.0")
    for x, y in points:
        out += group(10, f"{x:.2f}") + group(20, f"{y:.2f}")
    return out


def old_polyline(layer, points, handle):
    out = group(0, "POLYLINE") + group(5, handle) + group(100, "AcDbEntity")
    out += group(8, layer) + group(100, "AcDb2dPolyline")
    out += group(66, 1) + group(10, "0.0") + group(20, "0.0") + group(30, "0.0") + group(70, 1)
    for i, (x, y) in enumerate(points):
        out += group(0, "VERTEX") + group(5, f"{int(handle, 16) + 1 + i:X}")
        out += group(100, "AcDbEntity") + group(8, layer)
        out += group(100, "AcDbVertex") + group(100, "AcDb2dVertex")
        out += group(10, f"{x:.2f}") + group(20, f"{y:.2f}") + group(30, "0.0")
    out += group(0, "SEQEND") + group(5, f"{int(handle, 16) + 1 + len(points):X}")
    out += group(100, "AcDbEntity") + group(8, layer)
    return out


def circle(layer, x, y, radius, handle):
    out = group(0, "CIRCLE") + group(5, handle) + group(100, "AcDbEntity") + group(8, layer)
    out += group(100, "AcDbCircle") + group(10, f"{x:.2f}") + group(20, f"{y:.2f}")
    out += group(30, "0.0") + group(40, f"{radius:.2f}")
    return out


def text(layer, x, y, height, value, handle):
    out = group(0, "TEXT") + group(5, handle) + group(100, "AcDbEntity") + group(8, layer)
    out += group(100, "AcDbText") + group(10, f"{x:.2f}") + group(20, f"{y:.2f}")
    out += group(30, "0.0") + group(40, f"{height:.1f}") + group(1, value)
    out += group(100, "AcDbText")
    return out


def layer_table(names):
    out = group(0, "TABLE") + group(2, "LAYER") + group(70, len(names))
    for name in names:
        out += group(0, "LAYER") + group(2, name) + group(70, 0) + group(62, 7)
        out += group(6, "CONTINUOUS")
    return out + group(0, "ENDTAB")


def write_dxf():
    layers = ["0", "Участок", "Строения", "Оси", "Ограждение", "Знаки", "Надписи"]
    out = group(0, "SECTION") + group(2, "HEADER")
    out += group(9, "$ACADVER") + group(1, "AC1015")
    out += group(9, "$DWGCODEPAGE") + group(3, "ANSI_1251")
    out += group(9, "$INSUNITS") + group(70, 6)
    out += group(0, "ENDSEC")
    out += group(0, "SECTION") + group(2, "TABLES") + layer_table(layers) + group(0, "ENDSEC")
    out += group(0, "SECTION") + group(2, "ENTITIES")
    out += lwpolyline("Участок", DXF_PLOT, 1, "100")
    out += lwpolyline("Строения", DXF_HOUSE, 1, "101")
    out += lwpolyline("Оси", DXF_AXIS, 0, "102")
    out += old_polyline("Ограждение", DXF_FENCE, "110")
    # The boundary mark at the first corner, drawn as surveyors do.
    out += circle("Знаки", DXF_PLOT[0][0], DXF_PLOT[0][1], 0.5, "118")
    out += text("Надписи", 1275.00, 3470.00, 2.5, "Участок №12, ул. Полевая", "120")
    out += group(0, "ENDSEC") + group(0, "EOF")
    # DXF lines end in CR LF, as AutoCAD writes them.
    with open(os.path.join(HERE, "plot.dxf"), "wb") as f:
        f.write(out.replace("\n", "\r\n").encode("cp1251"))


# ---- The formats ogr2ogr writes ----

def write_geojson():
    write_json(os.path.join(HERE, "plots.geojson"), [
        feature(polygon(YARD, POND), name="Усадьба с прудом"),
        feature({"type": "MultiPolygon",
                 "coordinates": [[closed(NORTH_PART)], [closed(SOUTH_PART)]]},
                name="Два контура"),
        feature({"type": "Point", "coordinates": list(MARK)}, name="Межевой знак 3"),
    ], "Участки")


def write_kml(work):
    source = os.path.join(work, "garden.geojson")
    write_json(source, [feature(polygon(GARDEN), Name="Сад «Вишнёвый»",
                                Description="Участок для садоводства")], "garden")
    remove("plot.kml", "plot.kmz")
    ogr2ogr("-f", "KML", "-nln", "Сады", os.path.join(HERE, "plot.kml"), source)
    # A fixed date keeps the archive the same from run to run.
    entry = zipfile.ZipInfo("doc.kml", date_time=(2024, 5, 14, 12, 0, 0))
    entry.compress_type = zipfile.ZIP_DEFLATED
    with open(os.path.join(HERE, "plot.kml"), "rb") as kml, \
            zipfile.ZipFile(os.path.join(HERE, "plot.kmz"), "w") as z:
        z.writestr(entry, kml.read())


def write_mif(work):
    source = os.path.join(work, "meadow.geojson")
    write_json(source, [feature(polygon(MEADOW), Name="Луг у балки", Area_ha=4.6)], "meadow")
    remove("plot.mif", "plot.mid")
    ogr2ogr("-f", "MapInfo File", "-dsco", "FORMAT=MIF", "-lco", "ENCODING=CP1251",
            "-a_srs", "EPSG:28407", os.path.join(HERE, "plot.mif"), source)


def write_local_mif(work):
    source = os.path.join(work, "pasture.geojson")
    write_json(source, [feature(polygon(PASTURE), Name="Пастбище")], "pasture")
    remove("local.mif", "local.mid")
    ogr2ogr("-f", "MapInfo File", "-dsco", "FORMAT=MIF", "-lco", "ENCODING=CP1251",
            "-a_srs", LOCAL_SYSTEM, os.path.join(HERE, "local.mif"), source)


def write_shapefile(work):
    source = os.path.join(work, "fields.geojson")
    write_json(source, [feature(polygon(ARABLE), NAME="Пашня", CROP="пшеница"),
                        feature(polygon(HAYFIELD), NAME="Сенокос", CROP="травы")], "fields")
    remove(*("fields." + ext for ext in ("shp", "shx", "dbf", "prj", "cpg")))
    ogr2ogr("-f", "ESRI Shapefile", "-lco", "ENCODING=CP1251", "-a_srs", "EPSG:32637",
            os.path.join(HERE, "fields.shp"), source)


def main():
    if not shutil.which("ogr2ogr"):
        raise SystemExit("ogr2ogr is missing: install Debian's gdal-bin")
    write_dxf()
    write_geojson()
    with tempfile.TemporaryDirectory() as work:
        write_kml(work)
        write_mif(work)
        write_local_mif(work)
        write_shapefile(work)
    with open(os.path.join(HERE, "not_gis.txt"), "w", encoding="utf-8") as f:
        f.write("Координаты участка записаны в ведомости на бумаге.\n")


if __name__ == "__main__":
    main()

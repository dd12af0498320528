#!/usr/bin/env python3
"""Writes the ЕГРН extracts read by tests/files/egrn_extract_test.cpp.

Every name, address and cadastral number here is invented. Coordinates look
like those of a local system (МСК-26): X, the northing, about 478 000, Y,
the easting, about 1 312 000, with two decimals. The outlines are made from
a seeded generator, so a run writes the same files again.

Registered areas are whole square metres, the area of the outline as
written (two decimals), worked out here by the shoelace formula, rounded;
the inaccuracy is 3.5 * 0.1 * sqrt(area), rounded. base_params.xml registers
an area off by three times its inaccuracy.

    python3 make_extracts.py            writes the small files beside this script
    python3 make_extracts.py --summary  writes them and prints what a reader
                                        must find in each
    python3 make_extracts.py --large DIR
                                        writes territory_plan_large.xml into DIR:
                                        2 000 plots, about 50 MB, for timing a
                                        reading (not kept in the repository)

Only the standard library is used.
"""

import argparse
import math
import os
import random
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))

BLOCK = "26:12:031508"
OLD_BLOCK = "26:12:031509"
SYSTEM = "МСК-26, зона 1"
SYSTEM_2 = "МСК-26, зона 2"


# ---- Geometry ----

def shoelace(ring):
    """The area of a ring of (x, y) points, without its closing point."""
    total = 0.0
    for i, (x1, y1) in enumerate(ring):
        x2, y2 = ring[(i + 1) % len(ring)]
        total += x1 * y2 - x2 * y1
    return abs(total) / 2.0


def outline(rng, cx, cy, radius, count, clockwise=True):
    """A simple (star-shaped) ring of `count` points around (cx, cy), rounded
    to centimetres. Clockwise on the map (X up, Y right) unless told."""
    angles = sorted(rng.uniform(0, 2 * math.pi) for _ in range(count))
    # Spread the angles so that no two corners sit almost on one ray.
    angles = [(2 * math.pi * i / count + a / count) for i, a in enumerate(angles)]
    points = []
    for a in angles:
        r = radius * rng.uniform(0.8, 1.2)
        # Counter-clockwise in (Y, X) is clockwise on the map: walk the
        # angle backwards for a clockwise ring.
        t = -a if clockwise else a
        points.append((round(cx + r * math.cos(t), 2), round(cy + r * math.sin(t), 2)))
    return points


def tolerance(area):
    return round(3.5 * 0.1 * math.sqrt(area))


def fmt(v):
    return "%.2f" % v


# ---- The current schema ----

class Numbering:
    """Point numbers of a plot: num_geopoint runs on across its rings."""

    def __init__(self, prefix=""):
        self.prefix = prefix
        self.next = 1

    def take(self, count):
        names = ["%s%d" % (self.prefix, self.next + i) for i in range(count)]
        self.next += count
        return names


def ordinates_xml(ring, names, indent, arcs=(), pretty=False, with_ord_nmb=True, lean=False):
    """The ordinates of a ring, closed by repeating the first point (as the
    registry writes it): the closing point has the next ord_nmb and the
    first point's num_geopoint."""
    out = []
    closed = list(ring) + [ring[0]]
    closed_names = list(names) + [names[0]]
    for i, ((x, y), name) in enumerate(zip(closed, closed_names)):
        parts = ["<x>%s</x>" % fmt(x), "<y>%s</y>" % fmt(y)]
        if with_ord_nmb:
            parts.append("<ord_nmb>%d</ord_nmb>" % (i + 1))
        parts.append("<num_geopoint>%s</num_geopoint>" % name)
        if i % len(ring) in arcs:
            parts.append("<r>25.00</r>")
        if not lean:
            parts.append("<geopoint_opred><code>692005000000</code>"
                         "<value>Геодезический метод</value></geopoint_opred>")
        parts.append("<delta_geopoint>0.10</delta_geopoint>")
        if pretty:
            inner = "".join("\n%s  %s" % (indent, p) for p in parts)
            out.append("%s<ordinate>%s\n%s</ordinate>" % (indent, inner, indent))
        else:
            out.append("%s<ordinate>%s</ordinate>" % (indent, "".join(parts)))
    return "\n".join(out)


def entity_xml(rings, numbering, indent, sk_id=SYSTEM, arcs=(), pretty=False,
               with_ord_nmb=True, lean=False):
    lines = ["%s<entity_spatial>" % indent]
    if sk_id is not None:
        lines.append("%s  <sk_id>%s</sk_id>" % (indent, sk_id))
    lines.append("%s  <spatials_elements>" % indent)
    for k, ring in enumerate(rings):
        names = numbering.take(len(ring))
        lines.append("%s    <spatial_element>" % indent)
        lines.append("%s      <ordinates>" % indent)
        lines.append(ordinates_xml(ring, names, indent + "        ",
                                   arcs if k == 0 else (), pretty, with_ord_nmb, lean))
        lines.append("%s      </ordinates>" % indent)
        lines.append("%s    </spatial_element>" % indent)
    lines.append("%s  </spatials_elements>" % indent)
    lines.append("%s</entity_spatial>" % indent)
    return "\n".join(lines)


def contours_xml(contours, indent, sk_id=SYSTEM, arcs=(), pretty=False, prefix="", lean=False):
    """contours: a list of ring lists (outer first, then holes)."""
    numbering = Numbering(prefix)
    lines = ["%s<contours_location>" % indent, "%s  <contours>" % indent]
    for n, rings in enumerate(contours, start=1):
        lines.append("%s    <contour>" % indent)
        lines.append(entity_xml(rings, numbering, indent + "      ", sk_id, arcs, pretty,
                                lean=lean))
        lines.append("%s      <number_pp>%d</number_pp>" % (indent, n))
        lines.append("%s    </contour>" % indent)
    lines.append("%s  </contours>" % indent)
    lines.append("%s</contours_location>" % indent)
    return "\n".join(lines)


def part_xml(rng, cx, cy, indent, number):
    """A part of the plot (ЧЗУ) under an encumbrance: it has an outline of its
    own, which is no contour of the plot."""
    ring = outline(rng, cx, cy, 4.0, 4)
    numbering = Numbering()
    return "\n".join([
        "%s<object_parts>" % indent,
        "%s  <object_part>" % indent,
        "%s    <part_number>%d</part_number>" % (indent, number),
        "%s    <purpose><code>022001000000</code><value>Охранная зона инженерных коммуникаций</value></purpose>" % indent,
        "%s    <area><value>%d</value><inaccuracy>1</inaccuracy></area>" % (indent, round(shoelace(ring))),
        "%s    <contours>" % indent,
        "%s      <contour>" % indent,
        entity_xml([ring], numbering, indent + "        "),
        "%s        <number_pp>1</number_pp>" % indent,
        "%s      </contour>" % indent,
        "%s    </contours>" % indent,
        "%s  </object_part>" % indent,
        "%s</object_parts>" % indent,
    ])


def land_record(cad_number, address, area, inaccuracy, geometry, indent="  ",
                extra="", cad_links="", lean=False):
    """A land record; `geometry` is the XML of its contours_location (or
    empty for a plot whose boundary is not set). A lean record leaves out
    what the registry writes beside the address and the use, to keep the
    territory plan kept in the repository small."""
    i = indent
    lines = ["%s<land_record>" % i]
    if not lean:
        lines.append("%s  <record_info><registration_date>2016-03-11T00:00:00+03:00</registration_date></record_info>" % i)
    lines += [
        "%s  <object>" % i,
        "%s    <common_data>" % i,
        "%s      <type><code>002001001000</code><value>Земельный участок</value></type>" % i,
        "%s      <cad_number>%s</cad_number>" % (i, cad_number),
        "%s      <quarter_cad_number>%s</quarter_cad_number>" % (i, cad_number.rsplit(":", 1)[0]),
        "%s    </common_data>" % i,
        "%s    <subtype><code>01</code><value>Землепользование</value></subtype>" % i,
        "%s  </object>" % i,
    ]
    if cad_links:
        lines.append(cad_links)
    lines += [
        "%s  <params>" % i,
        "%s    <category><type><code>003002000000</code><value>Земли населенных пунктов</value></type></category>" % i,
        "%s    <area><value>%s</value><inaccuracy>%s</inaccuracy></area>" % (i, area, inaccuracy),
    ]
    if not lean:
        lines.append("%s    <permitted_use><permitted_use_established><by_document>Для ведения личного подсобного хозяйства</by_document></permitted_use_established></permitted_use>" % i)
    lines += [
        "%s  </params>" % i,
        "%s  <address_location>" % i,
        "%s    <address_type><code>1</code><value>Местоположение</value></address_type>" % i,
        "%s    <address>" % i,
    ]
    if not lean:
        lines.append("%s      <address_fias><level_settlement><fias_level_1><region><code>26</code><value>Ставропольский край</value></region></fias_level_1></level_settlement></address_fias>" % i)
    lines += [
        "%s      <readable_address>%s</readable_address>" % (i, address),
        "%s    </address>" % i,
        "%s  </address_location>" % i,
        "%s  <cost><value>%s</value></cost>" % (i, fmt(area * 631.27) if isinstance(area, int) else "0.00"),
    ]
    if extra:
        lines.append(extra)
    if geometry:
        lines.append(geometry)
    lines.append("%s</land_record>" % i)
    return "\n".join(lines)


def extract(root, body):
    return "\n".join([
        '<?xml version="1.0" encoding="UTF-8"?>',
        "<%s>" % root,
        "  <details_statement>",
        "    <group_top_requisites>",
        "      <organ_registr_rights>Филиал публично-правовой компании по Ставропольскому краю</organ_registr_rights>",
        "      <date_formation>2024-05-14</date_formation>",
        "      <registration_number>КУВИ-001/2024-000000001</registration_number>",
        "    </group_top_requisites>",
        "  </details_statement>",
        body,
        "</%s>" % root,
        "",
    ])


def address(street, house):
    return "Ставропольский край, Заречный муниципальный округ, с. Ольховка, ул. %s, д. %d" % (street, house)


# ---- The files ----

CX, CY = 478500.0, 1312400.0  # the middle of the invented block


def one_contour(summary):
    rng = random.Random(101)
    ring = outline(rng, CX, CY, 16.0, 7)
    area = shoelace(ring)
    rec = land_record(BLOCK + ":117", address("Садовая", 14), round(area), tolerance(area),
                      contours_xml([[ring]], "    "),
                      extra=part_xml(rng, CX + 3, CY - 2, "    ", 1),
                      cad_links="    <cad_links><included_objects><included_object>"
                                "<cad_number>%s:245</cad_number></included_object>"
                                "</included_objects></cad_links>" % BLOCK)
    summary["one_contour.xml"] = dict(contours=1, points=[[len(ring)]], first=ring[0],
                                      area=area, registered=round(area), tol=tolerance(area))
    return extract("extract_about_property_land", rec)


def three_contours(summary):
    rng = random.Random(202)
    rings = [outline(rng, CX + 120, CY + 40, 9.0, 5),
             outline(rng, CX + 150, CY + 85, 12.0, 6),
             outline(rng, CX + 95, CY + 130, 7.0, 4)]
    area = sum(shoelace(r) for r in rings)
    rec = land_record(BLOCK + ":302", address("Луговая", 3), round(area), tolerance(area),
                      contours_xml([[r] for r in rings], "    ", sk_id=SYSTEM_2))
    summary["three_contours.xml"] = dict(contours=3, points=[[len(r)] for r in rings],
                                         first=rings[0][0], area=area,
                                         registered=round(area), tol=tolerance(area))
    return extract("extract_about_property_land", rec)


def hole(summary):
    rng = random.Random(303)
    outer = outline(rng, CX - 60, CY + 210, 30.0, 8)
    inner = outline(rng, CX - 60, CY + 210, 8.0, 4, clockwise=False)
    area = shoelace(outer) - shoelace(inner)
    rec = land_record(BLOCK + ":88", address("Родниковая", 27), round(area), tolerance(area),
                      contours_xml([[outer, inner]], "    "))
    summary["hole.xml"] = dict(contours=1, points=[[len(outer), len(inner)]], first=outer[0],
                               area=area, registered=round(area), tol=tolerance(area))
    return extract("extract_about_property_land", rec)


def arc(summary):
    rng = random.Random(404)
    ring = outline(rng, CX + 40, CY - 160, 14.0, 6)
    area = shoelace(ring)
    rec = land_record(BLOCK + ":140", address("Полевая", 2), round(area), tolerance(area),
                      contours_xml([[ring]], "    ", arcs=(2,)))
    summary["arc.xml"] = dict(contours=1, points=[[len(ring)]], first=ring[0], area=area,
                              registered=round(area), tol=tolerance(area), arc_index=2)
    return extract("extract_about_property_land", rec)


def base_params(summary):
    """The short extract, with one outline straight under contours_location,
    new points named н1..н5 and no coordinate system; the registered area is
    off by three times its inaccuracy."""
    rng = random.Random(505)
    ring = outline(rng, CX - 140, CY - 30, 18.0, 5)
    area = shoelace(ring)
    tol = tolerance(area)
    registered = round(area) + 3 * tol
    geometry = "\n".join([
        "    <contours_location>",
        entity_xml([ring], Numbering("н"), "      ", sk_id=None, with_ord_nmb=False),
        "    </contours_location>",
    ])
    rec = land_record(BLOCK + ":412", address("Заречная", 9), registered, tol, geometry)
    summary["base_params.xml"] = dict(contours=1, points=[[len(ring)]], first=ring[0],
                                      area=area, registered=registered, tol=tol)
    return extract("extract_base_params_land", rec)


def no_contours(summary):
    """A plot whose boundary is not set: only its part has an outline."""
    rng = random.Random(606)
    rec = land_record(BLOCK + ":9", address("Лесная", 1), 1500, 14, "",
                      extra=part_xml(rng, CX, CY, "    ", 1))
    summary["no_contours.xml"] = dict(contours=0)
    return extract("extract_about_property_land", rec)


def territory_plan(rng, count, pretty, points_range, summary=None, key=None):
    """A territory plan of `count` plots with outlines, plus two plots whose
    boundaries are not set (left out by a reader) and the block's own
    boundary. Plot 7 has two contours; every eleventh plot has a part. A
    plan that is not pretty-printed is also lean (see land_record)."""
    lean = not pretty
    records = []
    plots = []
    indent = "            "
    for k in range(count):
        row, col = divmod(k, 10)
        cx = CX - 400 + row * 70.0
        cy = CY - 400 + col * 70.0
        n = rng.randint(*points_range)
        rings = [[outline(rng, cx, cy, 24.0, n)]]
        if k == 7:
            rings.append([outline(rng, cx + 30, cy + 30, 5.0, 4)])
        area = sum(shoelace(r[0]) for r in rings)
        cad = "%s:%d" % (BLOCK, 1000 + k)
        extra = part_xml(rng, cx, cy, indent + "  ", 1) if k % 11 == 5 else ""
        records.append(land_record(cad, address("Степная", k + 1), round(area), tolerance(area),
                                   contours_xml(rings, indent + "  ", pretty=pretty, lean=lean),
                                   indent=indent, extra=extra, lean=lean))
        plots.append(dict(cad=cad, contours=len(rings),
                          points=[[len(r[0])] for r in rings], first=rings[0][0][0],
                          area=area, registered=round(area), parts=bool(extra)))
        if k == 20 or k == 40:
            records.append(land_record("%s:%d" % (BLOCK, 5000 + k), address("Новая", k),
                                       600, 9, "", indent=indent, lean=lean))
    block_ring = [(CX - 450, CY - 450), (CX - 450, CY + 450), (CX + 450, CY + 450),
                  (CX + 450, CY - 450)]
    body = "\n".join([
        "  <cadastral_blocks>",
        "    <cadastral_block>",
        "      <cadastral_number>%s</cadastral_number>" % BLOCK,
        "      <area_quarter><area>810000</area><unit>Квадратный метр</unit></area_quarter>",
        "      <record_data>",
        "        <base_data>",
        "          <land_records>",
        "\n".join(records),
        "          </land_records>",
        "        </base_data>",
        "      </record_data>",
        "      <spatial_data>",
        entity_xml([block_ring], Numbering(), "        "),
        "      </spatial_data>",
        "      <coord_systems><coord_system><sk_id>%s</sk_id></coord_system></coord_systems>" % SYSTEM,
        "    </cadastral_block>",
        "  </cadastral_blocks>",
    ])
    if summary is not None:
        summary[key] = dict(plots=plots)
    return extract("extract_cadastral_plan_territory", body)


# ---- The schemas before 2020 (KPT 10, KVZU, KPZU) ----

def old_entity(rings, indent, numbering, ent_sys="ID1"):
    lines = ['%s<EntitySpatial EntSys="%s">' % (indent, ent_sys)]
    for ring in rings:
        lines.append("%s  <Spa2:SpatialElement>" % indent)
        closed = ring + [ring[0]]
        names = numbering.take(len(ring))
        names.append(names[0])
        for i, ((x, y), name) in enumerate(zip(closed, names)):
            lines.append('%s    <Spa2:SpelementUnit TypeUnit="Точка" SuNmb="%d">' % (indent, i + 1))
            lines.append('%s      <Spa2:Ordinate X="%s" Y="%s" OrdNmb="%d" NumGeopoint="%s" '
                         'DeltaGeopoint="0.1"/>' % (indent, fmt(x), fmt(y), i + 1, name))
            lines.append("%s    </Spa2:SpelementUnit>" % indent)
        lines.append("%s  </Spa2:SpatialElement>" % indent)
    lines.append("%s</EntitySpatial>" % indent)
    return "\n".join(lines)


def old_parcel(cad, street, house, area, geometry, sub=""):
    return "\n".join([
        '        <Parcel CadastralNumber="%s" Name="01" State="06">' % cad,
        "          <Area><Area>%d</Area><Unit>055</Unit><Inaccuracy>%d</Inaccuracy></Area>"
        % (round(area), tolerance(area)),
        "          <Location><inBounds>2</inBounds><Address>"
        "<adrOut4:OKATO>07000000000</adrOut4:OKATO><adrOut4:Region>26</adrOut4:Region>"
        "<adrOut4:Note>%s</adrOut4:Note></Address></Location>" % address(street, house),
        "          <Category>003002000000</Category>",
        '          <Utilization Utilization="141001000000" ByDoc="Для ведения личного подсобного хозяйства"/>',
        sub,
        geometry,
        "        </Parcel>",
    ])


def old_kpt(summary):
    rng = random.Random(707)
    # A plot of one outline with a hole, straight in the parcel, with a part.
    outer = outline(rng, CX + 200, CY + 200, 20.0, 6)
    inner = outline(rng, CX + 200, CY + 200, 5.0, 4, clockwise=False)
    sub_ring = outline(rng, CX + 205, CY + 195, 3.0, 4)
    sub = "\n".join([
        "          <SubParcels>",
        '            <SubParcel NumberRecord="1" Full="false">',
        "              <Area><Area>%d</Area><Unit>055</Unit></Area>" % round(shoelace(sub_ring)),
        "              <Encumbrance><Name>Охранная зона</Name><Type>022001000000</Type></Encumbrance>",
        old_entity([sub_ring], "              ", Numbering()),
        "            </SubParcel>",
        "          </SubParcels>",
    ])
    area1 = shoelace(outer) - shoelace(inner)
    p1 = old_parcel(OLD_BLOCK + ":31", "Речная", 5, area1,
                    old_entity([outer, inner], "          ", Numbering()), sub)
    # A plot of two contours.
    c1 = outline(rng, CX + 260, CY + 140, 10.0, 5)
    c2 = outline(rng, CX + 290, CY + 170, 6.0, 4)
    numbering = Numbering()
    contours = "\n".join([
        "          <Contours>",
        '            <Contour NumberRecord="1">',
        old_entity([c1], "              ", numbering),
        "            </Contour>",
        '            <Contour NumberRecord="2">',
        old_entity([c2], "              ", numbering),
        "            </Contour>",
        "          </Contours>",
    ])
    area2 = shoelace(c1) + shoelace(c2)
    p2 = old_parcel(OLD_BLOCK + ":32", "Речная", 7, area2, contours)
    block = [(CX + 100, CY + 100), (CX + 100, CY + 300), (CX + 300, CY + 300), (CX + 300, CY + 100)]
    text = "\n".join([
        '<?xml version="1.0" encoding="utf-8"?>',
        '<KPT xmlns="urn://x-artefacts-rosreestr-ru/outgoing/kpt/10.0.1" '
        'xmlns:Spa2="urn://x-artefacts-rosreestr-ru/commons/complex-types/entity-spatial/5.0.1" '
        'xmlns:adrOut4="urn://x-artefacts-rosreestr-ru/commons/complex-types/address-output/4.0.1">',
        "  <CadastralBlocks>",
        '    <CadastralBlock CadastralNumber="%s">' % OLD_BLOCK,
        "      <Area><Total>40000</Total><Unit>055</Unit></Area>",
        "      <Parcels>",
        p1,
        p2,
        "      </Parcels>",
        "      <SpatialData>",
        old_entity([block], "        ", Numbering()),
        "      </SpatialData>",
        "      <CoordSystems>",
        '        <Spa2:CoordSystem Name="%s" CsId="ID1"/>' % SYSTEM,
        "      </CoordSystems>",
        "    </CadastralBlock>",
        "  </CadastralBlocks>",
        "</KPT>",
        "",
    ])
    summary["old_kpt.xml"] = dict(plots=[
        dict(cad=OLD_BLOCK + ":31", contours=1, points=[[len(outer), len(inner)]],
             first=outer[0], area=area1, registered=round(area1), tol=tolerance(area1)),
        dict(cad=OLD_BLOCK + ":32", contours=2, points=[[len(c1)], [len(c2)]],
             first=c1[0], area=area2, registered=round(area2), tol=tolerance(area2)),
    ])
    return text


def not_xml():
    return ("Выписка из Единого государственного реестра недвижимости\n"
            "Кадастровый номер: %s:117\n"
            "Площадь: 812 кв. м\n" % BLOCK)


def write(folder, name, text):
    with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def write_zip(folder, xml_text):
    """The extract as the registry sends it: the XML and its signature, the
    signature first, so that a reader must pass it over."""
    stem = "report-5f0c2a7e-3b1d-4c8e-9a62-0d4e7f1b2c3a-EGRN-2024-05-14"
    path = os.path.join(folder, "extract.zip")
    with zipfile.ZipFile(path, "w") as z:
        for name, data in ((stem + ".xml.sig", b"0\x82\x05\x12\x06\t*\x86H\x86\xf7\r\x01\x07\x02"
                                               + bytes(range(64))),
                           (stem + ".xml", xml_text.encode("utf-8"))):
            info = zipfile.ZipInfo(name, date_time=(2024, 5, 14, 12, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            z.writestr(info, data)


def write_small(folder, summary):
    texts = {
        "one_contour.xml": one_contour(summary),
        "three_contours.xml": three_contours(summary),
        "hole.xml": hole(summary),
        "arc.xml": arc(summary),
        "base_params.xml": base_params(summary),
        "no_contours.xml": no_contours(summary),
        "territory_plan.xml": territory_plan(random.Random(808), 50, False, (5, 9), summary,
                                             "territory_plan.xml"),
        "old_kpt.xml": old_kpt(summary),
        "not_xml.xml": not_xml(),
    }
    # A download broken off: the first 40 lines and half of the 41st.
    lines = texts["one_contour.xml"].split("\n")
    texts["broken.xml"] = "\n".join(lines[:40]) + "\n" + lines[40][: len(lines[40]) // 2]
    summary["broken.xml"] = dict(line=41)
    for name, text in texts.items():
        write(folder, name, text)
    write_zip(folder, texts["one_contour.xml"])


def print_summary(summary):
    def plot_line(p):
        return ("contours=%s points=%s first=(%s, %s) outline area=%.4f registered=%s tolerance=%s"
                % (p["contours"], p["points"], fmt(p["first"][0]), fmt(p["first"][1]), p["area"],
                   p["registered"], p.get("tol", tolerance(p["area"]))))

    for name, s in summary.items():
        if "plots" in s:
            plots = s["plots"]
            print("%s: %d plots, %d points in all" % (name, len(plots),
                  sum(sum(sum(r) for r in p["points"]) for p in plots)))
            for p in plots:
                if name != "territory_plan.xml" or p["contours"] > 1 or p["parts"] or p is plots[0]:
                    print("  %s %s%s" % (p["cad"], plot_line(p), " (has a part)" if p.get("parts") else ""))
        elif s.get("contours"):
            print("%s: %s" % (name, plot_line(s)))
        else:
            print("%s: %s" % (name, s))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--summary", action="store_true")
    parser.add_argument("--large", metavar="DIR")
    args = parser.parse_args()
    if args.large:
        os.makedirs(args.large, exist_ok=True)
        summary = {}
        text = territory_plan(random.Random(909), 2000, True, (30, 70), summary, "large")
        write(args.large, "territory_plan_large.xml", text)
        plots = summary["large"]["plots"]
        print("%s: %d plots, %d points, %d bytes" % (
            os.path.join(args.large, "territory_plan_large.xml"), len(plots),
            sum(sum(sum(r) for r in p["points"]) for p in plots), len(text.encode("utf-8"))))
        return
    summary = {}
    write_small(HERE, summary)
    if args.summary:
        print_summary(summary)


if __name__ == "__main__":
    main()

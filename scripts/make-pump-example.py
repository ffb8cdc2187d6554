#!/usr/bin/env python3
"""Writes examples/pump.vok, our small pump design, byte for byte from the
design-file layout: a 700-byte header (magic 314159, three 32-byte titles,
section starts and lengths, a reserved record, eleven 48-byte level records)
followed by the FR, DP and PV tree texts (tab-indented lines, CR LF)."""
import struct
import sys

ROWS = [
    # level, FR, DP, PV
    (0, "Deliver water at the required flow", "Centrifugal pump set", "Pump set assembly process"),
    (1, "Draw water from the tank", "Suction line", "Suction pipework layout"),
    (2, "Keep the inlet below the water line", "Foot valve depth", "Foot valve mounting height"),
    (2, "Keep solids out of the pump", "Inlet strainer", "Strainer mesh size"),
    (1, "Raise the pressure", "Impeller stage", "Impeller casting and balancing"),
    (2, "Turn shaft power into head", "Impeller diameter", "Machining of the impeller rim"),
    (2, "Keep the impeller centred", "Shaft bearings", "Bearing preload"),
    (1, "Drive the pump", "Electric motor", "Motor selection"),
    (2, "Give torque at rated speed", "Motor rating", "Nameplate power and speed"),
    (2, "Start without water hammer", "Soft starter", "Ramp-up time setting"),
    (1, "Control the flow", "Flow control loop", "Commissioning of the loop"),
    (2, "Measure the delivered flow", "Flow meter", "Meter calibration"),
    (2, "Throttle the delivery line", "Control valve", "Valve characteristic"),
    (1, "Protect the installation", "Protection devices", "Protection settings"),
    (2, "Stop when running dry", "Dry-run sensor", "Sensor trip delay"),
    (2, "Relieve excess pressure", "Relief valve", "Relief set pressure"),
]
TITLES = ["Functional Requirements", "Design Parameters", "Process Variables"]
# Level colours as 0x00BBGGRR: navy, dark green, maroon, teal, then the window-text colour.
COLOURS = [0x00800000, 0x00008000, 0x00000080, 0x00808000] + [0x80000008] * 7


def numbered(rows, column):
    counters, out = [], []
    for row in rows:
        level = row[0]
        counters = counters[: level + 1]
        while len(counters) <= level:
            counters.append(0)
        counters[level] += 1
        number = ".".join(str(c) for c in counters)
        out.append("\t" * level + number + " " + row[column] + "\r\n")
    return "".join(out).encode("cp1252")


def field(text, size):
    data = text.encode("cp1252")[:size]
    return data + b"\0" * (size - len(data))


def level_record(charset, colour, name, size, style):
    return struct.pack("<B3xI32siB3x", charset, colour, field(name, 32), size, style)


def main(path):
    sections = [numbered(ROWS, c) for c in (1, 2, 3)]
    starts = [700, 700 + len(sections[0]), 700 + len(sections[0]) + len(sections[1])]
    header = struct.pack("<I", 314159)
    header += b"".join(field(t, 32) for t in TITLES)
    header += struct.pack("<3I", *starts) + struct.pack("<3I", *(len(s) for s in sections))
    header += b"\0" * 48
    for level in range(11):
        header += level_record(0, COLOURS[level], "Tahoma", 8, 1 if level == 0 else 0)
    assert len(header) == 700
    with open(path, "wb") as out:
        out.write(header + b"".join(sections))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "examples/pump.vok")

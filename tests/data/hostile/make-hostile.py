#!/usr/bin/env python3
"""Makes the damaged legacy workbooks kept in this folder.

Each is a workbook of the test data with a few bytes changed in place, the
way a damaged disk or a careless program changes them; the container keeps
its size, so every change reaches the reader. Run it here after changing a
workbook of the test data: python3 make-hostile.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)

END_OF_CHAIN = 0xFFFFFFFE
CONTINUE = 0x003C
DIMENSION = 0x0200
LABEL = 0x0204
NUMBER = 0x0203
SST = 0x00FC
EOF = 0x000A


class Container:
    """A compound file in memory, with the places of its streams' bytes."""

    def __init__(self, path):
        self.data = bytearray(open(path, "rb").read())
        self.sector = 1 << struct.unpack_from("<H", self.data, 0x1E)[0]
        self.fat = []
        self.fat_places = []
        for i in range(109):
            sector = struct.unpack_from("<I", self.data, 0x4C + 4 * i)[0]
            if sector >= 0xFFFFFFFA:
                continue
            base = (sector + 1) * self.sector
            for k in range(self.sector // 4):
                self.fat.append(struct.unpack_from("<I", self.data, base + 4 * k)[0])
                self.fat_places.append(base + 4 * k)
        self.directory = struct.unpack_from("<I", self.data, 0x30)[0]
        self.entries = {}
        for sector in self.chain(self.directory):
            for slot in range(self.sector // 128):
                at = (sector + 1) * self.sector + slot * 128
                length = struct.unpack_from("<H", self.data, at + 0x40)[0]
                name = self.data[at:at + max(length - 2, 0)].decode("utf-16-le")
                start, size = struct.unpack_from("<II", self.data, at + 0x74)
                self.entries[name] = (start, size)

    def chain(self, start):
        sectors = []
        while start < 0xFFFFFFFA and len(sectors) < len(self.fat):
            sectors.append(start)
            start = self.fat[start]
        return sectors

    def stream_places(self, name):
        """File offset of every byte of a stream kept in regular sectors."""
        start, size = self.entries[name]
        places = []
        for sector in self.chain(start):
            base = (sector + 1) * self.sector
            places.extend(range(base, base + self.sector))
        return places[:size]


class Workbook:
    def __init__(self, name):
        self.file = Container(os.path.join(DATA, name))
        self.places = self.file.stream_places("Workbook")
        self.stream = bytes(self.file.data[p] for p in self.places)

    def records(self):
        pos = 0
        while pos + 4 <= len(self.stream):
            kind, size = struct.unpack_from("<HH", self.stream, pos)
            if kind == 0 and size == 0:
                break
            yield pos, kind, size
            pos += 4 + size

    def find(self, kind, nth=0):
        found = [pos for pos, k, _ in self.records() if k == kind]
        return found[nth]

    def put(self, at, fmt, *values):
        raw = struct.pack(fmt, *values)
        for i, byte in enumerate(raw):
            self.file.data[self.places[at + i]] = byte

    def save(self, name):
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(self.file.data)


def main():
    # A dimension record one byte short: the records after it are read
    # from the wrong place.
    book = Workbook("students-600.xls")
    book.put(book.find(DIMENSION) + 2, "<H", 13)
    book.save("dimension-13.xls")

    # A text cell that claims 65535 characters in a record of a few bytes.
    book = Workbook("students-600.xls")
    book.put(book.find(LABEL, 5) + 10, "<H", 0xFFFF)
    book.save("label-count-ffff.xls")

    # A number stored on the place of the header's first text cell.
    book = Workbook("students-600.xls")
    header = book.find(LABEL, 0)
    row, column = struct.unpack_from("<HH", book.stream, header + 4)
    book.put(book.find(NUMBER, 0) + 4, "<HH", row, column)
    book.save("number-on-text.xls")

    # A string table that claims four thousand million strings.
    book = Workbook("students-600.xls")
    book.put(book.find(SST) + 8, "<I", 0xFFFFFFFF)
    book.save("sst-count-huge.xls")

    # A text cell that goes on in the twenty records after it, made into
    # continuation records.
    book = Workbook("students-600.xls")
    first = book.find(LABEL, 10)
    book.put(first + 10, "<H", 600)
    for i in range(11, 31):
        book.put(book.find(LABEL, i), "<H", CONTINUE)
    book.save("label-continues.xls")

    # A record shorter than the fields of a text cell, and one longer than
    # any record may be.
    book = Workbook("students-600.xls")
    book.put(book.find(LABEL, 3) + 2, "<H", 3)
    book.save("label-short.xls")
    book = Workbook("students-600.xls")
    book.put(book.find(NUMBER, 100) + 2, "<H", 0xFFFF)
    book.save("record-past-end.xls")

    # The sheet's end record gone: the stream ends inside the sheet.
    book = Workbook("students-600.xls")
    last_eof = [pos for pos, kind, _ in book.records() if kind == EOF][-1]
    book.put(last_eof, "<H", 0x0001)
    book.save("sheet-without-end.xls")

    # The directory's sector chained to itself.
    book = Workbook("students-600.xls")
    place = book.file.fat_places[book.file.directory]
    book.file.data[place:place + 4] = struct.pack("<I", book.file.directory)
    book.save("directory-loop.xls")

    # A small workbook whose first sector in the mini stream is chained to
    # itself.
    container = Container(os.path.join(DATA, "students-mini.xls"))
    start, _ = container.entries["Workbook"]
    mini_table = container.chain(struct.unpack_from("<I", container.data, 0x3C)[0])
    place = (mini_table[start * 4 // container.sector] + 1) * container.sector + start * 4 % container.sector
    container.data[place:place + 4] = struct.pack("<I", start)
    with open(os.path.join(HERE, "mini-stream-loop.xls"), "wb") as out:
        out.write(container.data)


if __name__ == "__main__":
    main()

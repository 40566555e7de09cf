#!/usr/bin/env python3
"""Writes logic/pinyin/PinyinTable.cpp: one toneless upper-case pinyin syllable
for each of the 6,763 GB2312 Chinese characters.

Source of the readings: the character dictionary of Debian's package
golang-github-mozillazg-go-pinyin-dev (pinyin_dict.go, built from the
pinyin-data collection of Unihan readings). Install it only to regenerate:

    apt-get install golang-github-mozillazg-go-pinyin-dev
    scripts/make-pinyin-table.py            # rewrites logic/pinyin/PinyinTable.cpp
    scripts/make-pinyin-table.py --report   # also lists the choices it had to make

The first-level characters (zones 16 to 55) stand in GB2312 in the order of
their pronunciation. Among the readings of a character the one is taken that
keeps that order; a character none of whose readings fits gets the syllable of
its neighbours. The second-level characters (zones 56 to 87) take their most
common reading, the first one the dictionary lists, except for the few whose
first reading is not the one they have as a surname (SURNAME_READINGS): names
are what the table is looked up for.
"""

import argparse
import os
import re
import sys
import unicodedata

DICT = "/usr/share/gocode/src/github.com/mozillazg/go-pinyin/pinyin_dict.go"
PACKAGE = "golang-github-mozillazg-go-pinyin-dev"
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTPUT = os.path.join(ROOT, "logic", "pinyin", "PinyinTable.cpp")

FIRST_ZONE, LAST_FIRST_LEVEL_ZONE, LAST_ZONE = 16, 55, 87

# Second-level characters read as a surname otherwise than the dictionary's
# first reading; each reading is one the dictionary lists too.
SURNAME_READINGS = {
    "缪": "MIAO",  # Miao; mou only in a word or two
    "阚": "KAN",   # Kan, not han
}


def toneless(reading):
    """'lǘ' -> 'LV', 'lüè' -> 'LUE', 'ńg' -> 'NG'."""
    text = unicodedata.normalize("NFD", reading.strip())
    text = text.replace("u\u0308", "v")
    text = "".join(ch for ch in text if not unicodedata.combining(ch))
    text = text.upper()
    # ü is written V only where U would read differently (LV, NV); after J, Q,
    # X, Y and in LUE, NUE the plain U is the usual spelling.
    text = re.sub(r"^([LN])VE$", r"\1UE", text)
    text = re.sub(r"^([JQXY])V", r"\1U", text)
    if not re.fullmatch(r"[A-Z]+", text):
        raise ValueError("unexpected reading %r" % reading)
    return text


def order_key(syllable):
    """GB2312 sorts Ü right after U: LU < LV < LUAN."""
    return (syllable.replace("V", "U"), syllable)


def read_dictionary(path):
    readings = {}
    pattern = re.compile(r'^\s*0x([0-9A-F]+):\s*"([^"]*)"')
    with open(path, encoding="utf-8") as source:
        for line in source:
            match = pattern.match(line)
            if match:
                code = int(match.group(1), 16)
                syllables = []
                for reading in match.group(2).split(","):
                    syllable = toneless(reading)
                    if syllable not in syllables:
                        syllables.append(syllable)
                readings[code] = syllables
    return readings


def gb2312_character(zone, position):
    try:
        return bytes([zone + 0xA0, position + 0xA0]).decode("gb2312")
    except UnicodeDecodeError:
        return None


def characters(first_zone, last_zone):
    """(code, character) in GB2312 order; code = zone * 100 + position."""
    result = []
    for zone in range(first_zone, last_zone + 1):
        for position in range(1, 95):
            character = gb2312_character(zone, position)
            if character is not None:
                result.append((zone * 100 + position, character))
    return result


def choose_in_order(chars, readings):
    """Picks for each character one syllable such that the sequence does not
    fall in GB2312 order. Fewest characters off their own readings first, then
    fewest changes of syllable (a polyphonic character keeps the run it stands
    in)."""
    syllables = sorted({s for _, ch in chars for s in readings.get(ord(ch), [])}, key=order_key)
    count = len(syllables)
    inf = (1 << 30, 0)
    # best[s]: (misfits, changes) of the best choice ending in syllable s
    best = None
    back = []
    for _, ch in chars:
        own = set(readings.get(ord(ch), []))
        step = []
        choice = []
        if best is None:
            for s in range(count):
                step.append((0 if syllables[s] in own else 1, 0))
                choice.append(s)
        else:
            running, running_from = inf, -1
            for s in range(count):
                # Coming from a smaller syllable costs a change; staying does not.
                if running_from >= 0:
                    moved = (running[0], running[1] + 1)
                else:
                    moved = inf
                stay = best[s]
                if stay <= moved:
                    cost, source = stay, s
                else:
                    cost, source = moved, running_from
                misfit = 0 if syllables[s] in own else 1
                step.append((cost[0] + misfit, cost[1]))
                choice.append(source)
                if best[s] < running:
                    running, running_from = best[s], s
        back.append(choice)
        best = step
    s = min(range(count), key=lambda k: best[k])
    chosen = []
    for choice in reversed(back):
        chosen.append(syllables[s])
        s = choice[s]
    chosen.reverse()
    return chosen


def build(readings):
    table = {}
    notes = []
    first = characters(FIRST_ZONE, LAST_FIRST_LEVEL_ZONE)
    for (code, ch), syllable in zip(first, choose_in_order(first, readings)):
        table[code] = syllable
        own = readings.get(ord(ch), [])
        if syllable not in own:
            notes.append("%d %s %s: not among %s" % (code, ch, syllable, ",".join(own) or "(none)"))
        elif own[0] != syllable:
            notes.append("%d %s %s: polyphonic %s" % (code, ch, syllable, ",".join(own)))
    for code, ch in characters(LAST_FIRST_LEVEL_ZONE + 1, LAST_ZONE):
        own = readings.get(ord(ch))
        if not own:
            raise SystemExit("no reading for %s (%d)" % (ch, code))
        surname = SURNAME_READINGS.get(ch)
        if surname is not None:
            if surname not in own:
                raise SystemExit("%s (%d) is not read %s" % (ch, code, surname))
            table[code] = surname
        else:
            table[code] = own[0]
    return table, notes


def append_items(lines, items):
    row = "   "
    for item in items:
        if len(row) + len(item) + 2 > 100:
            lines.append(row)
            row = "   "
        row += " %s," % item
    lines.append(row)


def write(table, path):
    syllables = sorted(set(table.values()), key=order_key)
    index = {s: i for i, s in enumerate(syllables)}
    lines = []
    lines.append("// Generated by scripts/make-pinyin-table.py; do not edit.")
    lines.append("// Readings: pinyin_dict.go of the Debian package %s" % PACKAGE)
    lines.append("// (the pinyin-data collection of Unihan readings), one toneless syllable per")
    lines.append("// GB2312 character; the first-level characters keep GB2312's pronunciation order.")
    lines.append("#include \"logic/pinyin/PinyinConverter.h\"")
    lines.append("")
    lines.append("// %d syllables in GB2312 order." % len(syllables))
    lines.append("const std::string_view CPinyinConverter::s_syllables[] = {")
    append_items(lines, ['"%s"' % s for s in syllables])
    lines.append("};")
    lines.append("")
    lines.append("// Index into s_syllables of each code from zone %d position 1 on, 94 positions" % FIRST_ZONE)
    lines.append("// a zone; kNoSyllable where GB2312 has no character.")
    lines.append("const std::uint16_t CPinyinConverter::s_syllableOfCode[] = {")
    for zone in range(FIRST_ZONE, LAST_ZONE + 1):
        codes = [zone * 100 + position for position in range(1, 95)]
        lines.append("    // zone %d" % zone)
        append_items(lines, [str(index[table[c]]) if c in table else "kNoSyllable" for c in codes])
    lines.append("};")
    lines.append("")
    text = "\n".join(lines)
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write(text)
    return len(syllables)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--dictionary", default=DICT, help="pinyin_dict.go of %s" % PACKAGE)
    parser.add_argument("--output", default=OUTPUT)
    parser.add_argument("--report", action="store_true", help="list the characters read against the dictionary")
    args = parser.parse_args()
    if not os.path.exists(args.dictionary):
        raise SystemExit("%s not found: apt-get install %s" % (args.dictionary, PACKAGE))
    table, notes = build(read_dictionary(args.dictionary))
    count = write(table, args.output)
    print("%d characters, %d syllables -> %s" % (len(table), count, args.output))
    if args.report:
        print("\n".join(notes))


if __name__ == "__main__":
    sys.exit(main())

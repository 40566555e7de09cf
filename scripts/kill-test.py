#!/usr/bin/env python3
"""Kills `quillon-cli divide` with SIGKILL at random moments and checks what
it leaves in the task folder.

    scripts/kill-test.py [--runs 200] [--students 50000] [--cli build/bin/quillon-cli]

Each round starts from the undivided task (input.xml restored, report.txt
removed; whatever the last round left beside them stays), runs a division
and kills it after a random time between 0 and 1.1 times the length of an
undisturbed run. After each kill:

- report.txt, when there is one, is complete and its division is in
  input.xml: a success report ("分班完成") never stands beside data without
  that division;
- input.xml, when it changed, is complete;
- temporary files left by the kill are counted, and those left by the round
  before must be gone once a division has opened the task again.

A last undisturbed division must leave no temporary file and no lock.
Prints the figures; exit code 0 when every check held.
"""
import argparse
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TEMPORARY = re.compile(r"^(input\.xml|output\.xml|report\.txt|.*\.qz|quillon\.lock|~qz)\.tmp\d+_\d+$")


def make_task(folder, students, seed):
    """A task of the given size whose division places every student."""
    rng = random.Random(seed)
    classes = (students + 49) // 50
    out = ["<?xml version='1.0' encoding='GB2312'?>\r\n<Input><TeacherInfo/><ClassInfo>"]
    for c in range(classes):
        out.append('<Class id="c%d" name="高一(%d)班" shortname="%d班" studentcount="51" priority="1" '
                   'index="%d" headteacher="王老师"/>' % (c, c + 1, c + 1, c))
    out.append('</ClassInfo><SubjectInfo><Subject id="0" name="语文"/><Subject id="1" name="数学"/>'
               '<Subject id="2" name="英语"/></SubjectInfo><StudentInfo>')
    surnames = "王李张刘陈杨黄赵吴周喆堃"
    for s in range(students):
        out.append('<Student id="s%d" name="%s%d" sex="%d" fromSchool="第%d中学" class="" index="%d"><ScoreInfo>'
                   % (s, rng.choice(surnames), s, rng.randint(0, 1), rng.randint(1, 30), s))
        for k in range(3):
            out.append('<Score id="%d" value="%d"/>' % (k, rng.randint(40, 100)))
        out.append("</ScoreInfo></Student>")
    out.append("</StudentInfo><RoomInfo/><MutexStudentInfo>")
    for g in range(students // 100):
        members = "".join("<Id>s%d</Id>" % rng.randrange(students) for _ in range(3))
        out.append('<MutexStudent id="g%d" index="%d">%s</MutexStudent>' % (g, g, members))
    out.append("</MutexStudentInfo><StudentPreset/></Input>")
    with open(os.path.join(folder, "input.xml"), "wb") as f:
        f.write("".join(out).encode("gbk"))
    with open(os.path.join(folder, "kill.qz"), "wb") as f:
        f.write("[Task Info]\r\nName=kill\r\nCreator=测试\r\n".encode("gbk"))


def temporaries(folder):
    return sorted(name for name in os.listdir(folder) if TEMPORARY.match(name))


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=200)
    parser.add_argument("--students", type=int, default=50000)
    parser.add_argument("--cli", default=os.path.join(os.path.dirname(__file__), "..", "build", "bin", "quillon-cli"))
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)

    folder = tempfile.mkdtemp(prefix="quillon_kill_")
    try:
        return run(args, rng, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def run(args, rng, folder):
    make_task(folder, args.students, args.seed)
    task = os.path.join(folder, "kill.qz")
    input_path = os.path.join(folder, "input.xml")
    report_path = os.path.join(folder, "report.txt")
    undivided = read(input_path)
    unplaced = undivided.count(b' class=""')

    def divide(seed):
        return subprocess.Popen([args.cli, "divide", task, "--seed", str(seed)], stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL)

    # The length of an undisturbed division: the median of three.
    lengths = []
    for seed in (1, 2, 3):
        started = time.monotonic()
        first = divide(seed)
        first.communicate()
        lengths.append(time.monotonic() - started)
        if first.returncode != 0:
            print("an undisturbed division failed with exit code %d" % first.returncode)
            return 1
    length = sorted(lengths)[1]

    figures = {"killed": 0, "ended by itself": 0, "left a temporary file": 0, "largest temporary (bytes)": 0,
               "data without its report": 0, "report and data agree": 0, "nothing changed": 0,
               "leftovers removed by the next run": 0}
    faults = []
    left_before = []
    for round_ in range(args.runs):
        with open(input_path, "wb") as f:
            f.write(undivided)
        if os.path.exists(report_path):
            os.remove(report_path)
        process = divide(round_ + 2)
        time.sleep(rng.uniform(0, 1.1 * length))
        if process.poll() is None:
            process.send_signal(signal.SIGKILL)
        out, _ = process.communicate()
        figures["killed" if process.returncode < 0 else "ended by itself"] += 1

        left = temporaries(folder)
        if left_before and os.path.exists(os.path.join(folder, "report.txt")):
            # The run got as far as its save, so it opened the task first.
            if any(name in left for name in left_before):
                faults.append("round %d: leftovers of the round before stayed: %s" % (round_, left_before))
            else:
                figures["leftovers removed by the next run"] += 1
        new = [name for name in left if name not in left_before]
        if new:
            figures["left a temporary file"] += 1
            figures["largest temporary (bytes)"] = max(figures["largest temporary (bytes)"],
                                                       *(os.path.getsize(os.path.join(folder, n)) for n in new))
        left_before = left

        data = read(input_path)
        report = read(report_path)
        divided = data != undivided
        if divided and not data.rstrip().endswith(b"</Input>"):
            faults.append("round %d: input.xml is incomplete" % round_)
        if report is not None:
            if not report.endswith(b"\0"):
                faults.append("round %d: report.txt is incomplete" % round_)
            elif not divided or data.count(b' class=""') != 0:
                faults.append("round %d: a report without its division in input.xml" % round_)
            else:
                figures["report and data agree"] += 1
        elif divided:
            figures["data without its report"] += 1
        else:
            figures["nothing changed"] += 1
        if process.returncode == 0 and report is not None:
            text = report[:-1].decode("gbk")
            if out.decode("utf-8") not in (text, text + "\n"):
                faults.append("round %d: the printed report is not the stored one" % round_)
        if process.returncode == 0 and report is None:
            faults.append("round %d: a success without report.txt" % round_)

    last = divide(10 ** 6)
    last.communicate()
    if last.returncode != 0:
        faults.append("the last division failed with exit code %d" % last.returncode)
    remaining = temporaries(folder)
    if remaining:
        faults.append("temporary files after the last division: %s" % remaining)
    if os.path.exists(os.path.join(folder, "quillon.lock")):
        faults.append("the lock stayed after the last division")

    print("students %d, undisturbed division %.2f s, rounds %d, first data file had %d unplaced"
          % (args.students, length, args.runs, unplaced))
    for key, value in figures.items():
        print("  %-36s %d" % (key, value))
    print("  %-36s %d" % ("temporary files after the last run", len(remaining)))
    for fault in faults:
        print("FAULT " + fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

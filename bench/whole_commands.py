#!/usr/bin/env python3
"""Times whole quillon-cli commands as a user waits for them, and checks that
imports write the same task files as before.

    bench/whole_commands.py [--build build] [--work /tmp/quillon-bench] [--runs 5]
                            [--save-sums FILE | --check-sums FILE] [--only NAME ...]

Each run starts the real quillon-cli on a fresh copy of a task; the figure is
the median wall time of the runs and the largest peak resident memory of the
child, beside the median processor time (user and system). The class lists are made by make_bench_sheets (and, for the .xls list,
by bench/make-bench-xls.js when node finds the xlsx package through
NODE_PATH).

--save-sums writes, per imported sheet, the md5 sums of the task's files
after the import (student ids, which are random, numbered by first
appearance; the backup folder's date left out); --check-sums compares with
such a file and fails on any difference.
"""
import argparse
import hashlib
import os
import re
import shutil
import statistics
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST_DATA = os.path.join(ROOT, 'tests', 'data')
ID = re.compile(rb'"[0-9a-f]{32}"')


def run(command, cwd=None):
    """Wall seconds, peak RSS (MiB), exit code, output and CPU seconds of one child."""
    started = time.perf_counter()
    child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - started
    child.returncode = os.waitstatus_to_exitcode(status)
    return elapsed, usage.ru_maxrss / 1024.0, child.returncode, output, usage.ru_utime + usage.ru_stime


def make_sheets(build, work):
    if not os.path.exists(os.path.join(work, 'list-100000.xlsx')):
        subprocess.check_call([os.path.join(build, 'bin', 'make_bench_sheets'), work])
    gbk = os.path.join(work, 'list-2000-gbk.csv')
    if not os.path.exists(gbk):
        with open(os.path.join(work, 'list-2000-utf8.csv'), encoding='utf-8') as text:
            data = text.read()
        with open(gbk, 'wb') as out:
            out.write(data.encode('gbk'))
    xls = os.path.join(work, 'list-20000.xls')
    if not os.path.exists(xls) and shutil.which('node'):
        subprocess.call(['node', os.path.join(ROOT, 'bench', 'make-bench-xls.js'),
                         os.path.join(work, 'list-20000-utf8.csv'), xls])


def make_template(cli, work):
    """An empty task whose files do not depend on the day it was made."""
    template = os.path.join(work, 'template')
    if os.path.exists(template):
        return template
    subprocess.check_call([cli, 'new-task', template, '基准', '--creator', 'bench'], stdout=subprocess.DEVNULL)
    task = os.path.join(template, '基准.qz')
    with open(task, 'rb') as file:
        data = re.sub(rb'CreateTime=[^\r]*', b'CreateTime=2026-01-01 00:00:00', file.read())
    with open(task, 'wb') as file:
        file.write(data)
    shutil.rmtree(os.path.join(template, 'Backup'), ignore_errors=True)
    return template


def fresh_task(template, work, name='task'):
    folder = os.path.join(work, name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(template, folder)
    return folder, os.path.join(folder, '基准.qz')


def task_sums(folder):
    ids = {}

    def number(match):
        return b'"id%d"' % ids.setdefault(match.group(0), len(ids))

    sums = {}
    for base, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(base, name)
            relative = os.path.relpath(path, folder)
            relative = re.sub(r'^Backup/\d+/', 'Backup/DAY/', relative)
            with open(path, 'rb') as file:
                data = ID.sub(number, file.read())
            sums[relative] = hashlib.md5(data).hexdigest()
    return sums


def import_sheets(work):
    sheets = [os.path.join(work, name) for name in
              ('list-20000.xlsx', 'list-100000.xlsx', 'list-20000.xls', 'list-2000-gbk.csv')]
    sheets += sorted(os.path.join(TEST_DATA, name) for name in os.listdir(TEST_DATA)
                     if name.endswith(('.xls', '.csv', '.xlsx')))
    hostile = os.path.join(TEST_DATA, 'hostile')
    sheets += sorted(os.path.join(hostile, name) for name in os.listdir(hostile) if name.endswith('.xls'))
    return [sheet for sheet in sheets if os.path.exists(sheet)]


def sums_of_imports(cli, template, work):
    lines = []
    for sheet in import_sheets(work):
        folder, task = fresh_task(template, work)
        _, _, code, output, _ = run([cli, 'import-students', task, sheet])
        name = os.path.relpath(sheet, ROOT) if sheet.startswith(ROOT) else os.path.basename(sheet)
        lines.append('%s exit=%d output=%s' % (name, code, hashlib.md5(output).hexdigest()))
        for relative, digest in sorted(task_sums(folder).items()):
            lines.append('%s %s %s' % (name, relative, digest))
    return lines


def timed(label, goal, command_of, runs, prepare=None):
    times, cpu, peak = [], [], 0.0
    for _ in range(runs):
        command = command_of()
        if prepare:
            prepare()
        elapsed, rss, code, output, seconds = run(command)
        if code != 0:
            sys.exit('%s failed (%d): %s' % (label, code, output.decode('utf-8', 'replace')))
        times.append(elapsed)
        cpu.append(seconds)
        peak = max(peak, rss)
    print('| %s | %.3f s | %.3f s | %.0f MiB | %s |' % (label, statistics.median(times), statistics.median(cpu), peak, goal),
          flush=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--work', default='/tmp/quillon-bench')
    parser.add_argument('--runs', type=int, default=5)
    parser.add_argument('--save-sums')
    parser.add_argument('--check-sums')
    parser.add_argument('--only', nargs='*')
    arguments = parser.parse_args()
    build = os.path.abspath(arguments.build)
    work = os.path.abspath(arguments.work)
    os.makedirs(work, exist_ok=True)
    cli = os.path.join(build, 'bin', 'quillon-cli')
    make_sheets(build, work)
    template = make_template(cli, work)

    if arguments.save_sums or arguments.check_sums:
        lines = sums_of_imports(cli, template, work)
        if arguments.save_sums:
            with open(arguments.save_sums, 'w') as out:
                out.write('\n'.join(lines) + '\n')
            print('%d sums written to %s' % (len(lines), arguments.save_sums))
        else:
            with open(arguments.check_sums) as saved:
                expected = saved.read().splitlines()
            missing = sorted(set(expected) - set(lines))
            extra = sorted(set(lines) - set(expected))
            for line in missing:
                print('expected: ' + line)
            for line in extra:
                print('now:      ' + line)
            if missing or extra:
                sys.exit('the imported tasks differ')
            print('%d sums as before' % len(lines))
        return

    wanted = set(arguments.only or [])

    def selected(name):
        return not wanted or name in wanted

    # On a busy machine the processor time tells more than the wall time.
    print('| whole command | median wall | median CPU | peak RSS | goal |')
    print('|---|---|---|---|---|')
    imports = [('xlsx20k', 'list-20000.xlsx', 'import-students 20,000 × 12 .xlsx', '≤ 0.25 s, ≤ 60 MiB'),
               ('xlsx100k', 'list-100000.xlsx', 'import-students 100,000 × 12 .xlsx', '≤ 1.0 s, ≤ 150 MiB'),
               ('xls20k', 'list-20000.xls', 'import-students 20,000 × 12 .xls', '≤ 0.12 s'),
               ('csv2k', 'list-2000-gbk.csv', 'import-students 2,000 GBK .csv', '≤ 0.05 s')]
    for name, sheet, label, goal in imports:
        path = os.path.join(work, sheet)
        if not selected(name) or not os.path.exists(path):
            continue
        timed(label, goal, lambda: [cli, 'import-students', fresh_task(template, work)[1], path], arguments.runs)

    def divided(students):
        """A task with these many students in classes of 50, divided once."""
        folder = os.path.join(work, 'divided-%d' % students)
        if not os.path.exists(folder):
            _, task = fresh_task(template, work, 'divided-%d' % students)
            subprocess.check_call([cli, 'import-students', task, os.path.join(work, 'list-%d.xlsx' % students)],
                                  stdout=subprocess.DEVNULL)
            subprocess.check_call([cli, 'add-classes', task, '--pattern', '1', '--count', str(students // 50 if students // 50 <= 99 else 99),
                                   '--students', str(-(-students // min(students // 50, 99)))], stdout=subprocess.DEVNULL)
            subprocess.check_call([cli, 'divide', task, '--seed', '1'], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        return folder

    if selected('export'):
        folder = divided(20000)
        out = os.path.join(work, 'table.xlsx')
        timed('export-table 20,000 rows', '≤ 0.15 s',
              lambda: [cli, 'export-table', os.path.join(folder, '基准.qz'), out], arguments.runs)
    if selected('divide'):
        source = divided(100000)

        def copy():
            shutil.rmtree(os.path.join(work, 'divide'), ignore_errors=True)
            shutil.copytree(source, os.path.join(work, 'divide'))

        timed('divide 100,000 students', '≤ 0.6 s',
              lambda: [cli, 'divide', os.path.join(work, 'divide', '基准.qz'), '--seed', '1'], arguments.runs, copy)


if __name__ == '__main__':
    main()

#!/usr/bin/env python3
"""Splits `perf script` samples of the program's starts by the phases it marked.

Reads `perf script -F comm,pid,tid,time,ip,sym,symoff,dso` (recorded with -k CLOCK_REALTIME and
call graphs) on standard input and, from OUTS, one file per start named by its process id with
the program's own output ("phase <name> <usec>", "first-paint <usec>"). Prints the CPU time of
the main thread and of the other threads in each phase (per start), then for the phases named
on the command line the shared objects the time was spent in and the functions it was spent
under (inclusive).

    startup_profile.py OUTS [PHASE...] < perf-script-output
FREQ (default 4000) is the sampling frequency given to perf record; TOP (40) the rows printed.
"""
import collections
import os
import re
import sys


def main():
    outs = sys.argv[1]
    focus = sys.argv[2:]
    runs = {}
    for f in os.listdir(outs):
        if not f.isdigit():
            continue
        order = []
        for line in open(os.path.join(outs, f)):
            p = line.split()
            if len(p) == 3 and p[0] == 'phase':
                order.append((p[1], int(p[2])))
            elif len(p) == 2 and p[0] == 'first-paint':
                order.append(('first-paint', int(p[1])))
        if order:
            runs[int(f)] = order
    if not runs:
        sys.exit('no marked starts in ' + outs)

    head = re.compile(r'^\S.*?\s(\d+)/(\d+)\s+([\d.]+):')
    main_n = collections.Counter()
    other_n = collections.Counter()
    dsos = collections.defaultdict(collections.Counter)
    under = collections.defaultdict(collections.Counter)
    sample = None

    def finish(s):
        if not s:
            return
        pid, tid, t, frames = s
        order = runs.get(pid)
        if not order:
            return
        us = int(round(t * 1e6))
        if us > order[-1][1]:
            return  # after the last mark
        name = None
        for phase, at in order:
            if us <= at:
                name = phase
                break
        if name == 'main':
            name = 'before-main'  # exec, loading and relocating the libraries, their constructors
        if tid != pid:
            other_n[name] += 1
            return
        main_n[name] += 1
        if frames:
            m = re.search(r'\(([^)]*)\)\s*$', frames[0])
            dsos[name][os.path.basename(m.group(1)) if m else '?'] += 1
        seen = set()
        for fr in frames:
            fn = re.sub(r'\+0x[0-9a-f]+', '', fr)
            if fn not in seen and 'unknown' not in fn:
                seen.add(fn)
                under[name][fn] += 1

    for line in sys.stdin:
        line = line.rstrip('\n')
        m = head.match(line)
        if m:
            finish(sample)
            sample = [int(m.group(1)), int(m.group(2)), float(m.group(3)), []]
        elif sample is not None and line.strip():
            parts = line.strip().split(None, 1)
            if len(parts) == 2:
                sample[3].append(parts[1])
    finish(sample)

    ms = 1000.0 / float(os.environ.get('FREQ', '4000')) / len(runs)
    top = int(os.environ.get('TOP', '40'))
    order = max(runs.values(), key=len)
    print('CPU per start in each phase, ms (%d starts): main thread, other threads' % len(runs))
    for phase in ['before-main'] + [p for p, _ in order]:
        if phase == 'main':
            continue  # the samples up to the first mark are "before-main"
        print('  %-28s %6.1f  %6.1f' % (phase, main_n[phase] * ms, other_n[phase] * ms))
    for phase in focus:
        print('\n%s: where the main thread was (shared object of the innermost frame)' % phase)
        for d, c in dsos[phase].most_common(12):
            print('  %6.2f ms  %s' % (c * ms, d))
        print('%s: what it was under (inclusive)' % phase)
        for f, c in under[phase].most_common(top):
            print('  %6.2f ms  %s' % (c * ms, f[:140]))


if __name__ == '__main__':
    main()

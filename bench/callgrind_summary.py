#!/usr/bin/env python3
"""Instructions per frame from the callgrind dumps of scripts/bench.sh --callgrind.

For every workload and side, zv_bench_plain dumps the counters twice: after N1 frames and
after N2 further frames. The cost of one frame is (Ir(N2) - Ir(N1)) / (N2 - N1), in total
and per ELF object (self cost: what the object's own code executed). The library's own
instructions are those of libzarvo.so; the baseline's own are those of the bench program.

usage: callgrind_summary.py DIR   (files DIR/<workload>.<side>.<N1>.<N2>.out.<dump number>)
"""

import glob
import os
import re
import sys


def parse(path):
    """Total Ir and self Ir per object name of one callgrind dump."""
    names = {}
    per_object = {}
    total = None
    ob = None
    after_calls = False

    def resolve(value):
        m = re.match(r"\((\d+)\)(?:\s+(.*))?$", value)
        if not m:
            return value
        if m.group(2) is not None:
            names[m.group(1)] = m.group(2)
        return names.get(m.group(1), value)

    with open(path, errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            c = line[0]
            if c.isdigit() or c in "+-*":
                if after_calls:
                    after_calls = False
                    continue
                fields = line.split()
                if len(fields) >= 2:
                    per_object[ob] = per_object.get(ob, 0) + int(fields[1])
                continue
            if line.startswith("ob="):
                ob = resolve(line[3:])
            elif line.startswith("cob="):
                resolve(line[4:])
            elif line.startswith("calls="):
                after_calls = True
            elif line.startswith("summary:") or line.startswith("totals:"):
                total = int(line.split()[1])
    if total is None:
        total = sum(per_object.values())
    return total, per_object


def own(per_object, pattern):
    return sum(v for k, v in per_object.items() if k and re.search(pattern, os.path.basename(k)))


def main():
    d = sys.argv[1]
    runs = {}
    for path in glob.glob(os.path.join(d, "*.out.*")):
        m = re.match(r"(.+)\.(lib|base)\.(\d+)\.(\d+)\.out\.(\d+)$", os.path.basename(path))
        if not m:
            continue
        workload, side, n1, n2, dump = m.group(1), m.group(2), int(m.group(3)), int(m.group(4)), int(m.group(5))
        runs.setdefault((workload, side), {"n1": n1, "n2": n2, "dumps": {}})["dumps"][dump] = path

    order = []
    for line in open(os.path.join(d, "workloads")):
        if line.strip():
            order.append(line.strip())

    per_frame = {}
    for (workload, side), r in runs.items():
        dumps = r["dumps"]
        if 1 not in dumps or 2 not in dumps:
            continue
        t1, o1 = parse(dumps[1])
        t2, o2 = parse(dumps[2])
        frames = r["n2"] - r["n1"]
        pattern = r"^libzarvo\.so" if side == "lib" else r"^zv_bench"
        per_frame[(workload, side)] = (
            (t2 - t1) / frames,
            (own(o2, pattern) - own(o1, pattern)) / frames,
            r["n1"],
            r["n2"],
        )

    print("%-26s | %14s %14s %7s | %12s %12s | %7s" % (
        "workload", "Ir/frame lib", "Ir/frame base", "ratio", "own lib", "own base", "frames"))
    print("%-26s | %14s %14s %7s | %12s %12s | %7s" % (
        "", "(total)", "(total)", "", "(libzarvo)", "(bench)", "N1,N2"))
    print("-" * 104)
    for workload in order:
        lib = per_frame.get((workload, "lib"))
        base = per_frame.get((workload, "base"))
        if not lib or not base:
            print("%-26s | missing dumps" % workload)
            continue
        print("%-26s | %14.0f %14.0f %7.4f | %12.0f %12.0f | %3d,%-3d" % (
            workload, lib[0], base[0], lib[0] / base[0] if base[0] else float("nan"),
            lib[1], base[1], lib[2], lib[3]))


if __name__ == "__main__":
    main()

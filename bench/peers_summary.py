#!/usr/bin/env python3
"""The table of scripts/bench.sh --peers: the library's frame beside matplotlib's and VisPy's.

Reads the lines the three programs print (`libzarvo workload=…`, `matplotlib workload=…`,
`vispy workload=…`, each tagged by bench.sh with the case it belongs to as `case=<name>`)
and prints, per case, the median ms per frame of each side and the ratios library ÷ peer,
with the target the case is held to and whether this run meets it.

usage: peers_summary.py FILE
"""

import re
import sys

# Ratio the library must reach against a peer ("best": the faster of the two), by case;
# every other case must be at most the best peer's frame.
TARGETS = {
    "line-1e6": ("matplotlib", 0.25),
    "line-1e7": ("matplotlib", 0.10),
    "histogram-1e6": ("vispy", 0.10),
    "hist2d-1e7": ("matplotlib", 0.10),
    "stream-1e5": ("best", 0.25),
    "stream-1e6": ("best", 0.10),
    "scatter-1e5": ("best", 0.50),
    "scatter-1e6": ("best", 0.10),
    "lissajous-1e6": ("matplotlib", 0.50),
    # matplotlib with logarithmic axes (bench/mpl_log_bench.py); VisPy has no such case.
    "line-log-1e6": ("matplotlib", 0.25),
}


def fields(line):
    return dict(re.findall(r"(\w+)=(\S+)", line))


def main(path):
    cases, ms, notes = [], {}, {}
    with open(path) as f:
        for line in f:
            tag = line.split(" ", 1)[0]
            if tag not in ("libzarvo", "matplotlib", "vispy"):
                continue
            kv = fields(line)
            case = kv.get("case")
            if case is None:
                continue
            if case not in cases:
                cases.append(case)
            value = kv.get("frame_ms", kv.get("draw_ms"))
            if "error" in kv or value is None:
                notes[(case, tag)] = "error"
                continue
            if int(kv.get("bad_frames", "0")) > 0:
                notes[(case, tag)] = "bad frames"
            ms[(case, tag)] = float(value)

    def cell(case, tag):
        if (case, tag) in ms:
            return f"{ms[(case, tag)]:10.3f}"
        return f"{notes.get((case, tag), '-'):>10}"

    def ratio(case, peer):
        a, b = ms.get((case, "libzarvo")), ms.get((case, peer))
        return f"{a / b:8.3f}" if a is not None and b else f"{'-':>8}"

    print(f"{'case':26} | {'libzarvo':>10} {'matplotlib':>10} {'vispy':>10} | "
          f"{'÷ mpl':>8} {'÷ vispy':>8} | target")
    print(f"{'':26} | {'ms/frame':>10} {'ms/frame':>10} {'ms/frame':>10} |")
    print("-" * 100)
    missed = 0
    for case in cases:
        lib = ms.get((case, "libzarvo"))
        peers = [ms[(case, p)] for p in ("matplotlib", "vispy") if (case, p) in ms]
        if case in TARGETS and TARGETS[case][0] != "best":
            peer, bound = TARGETS[case]
            ref = ms.get((case, peer))
            goal = f"≤ {bound:g} × {peer}"
        elif case in TARGETS:
            bound = TARGETS[case][1]
            ref = min(peers) if peers else None
            goal = f"≤ {bound:g} × best peer"
        else:
            peers = [ms[(case, p)] for p in ("matplotlib", "vispy") if (case, p) in ms]
            ref, bound = (min(peers) if peers else None), 1.0
            goal = "≤ best peer"
        if lib is None or ref is None:
            verdict = "not measured"
        elif lib <= bound * ref:
            verdict = "met"
        else:
            verdict = f"MISSED ({lib / ref:.3f})"
            missed += 1
        bad = [f"{t}: {notes[(case, t)]}" for t in ("libzarvo", "matplotlib", "vispy")
               if (case, t) in notes]
        extra = f"  [{'; '.join(bad)}]" if bad else ""
        print(f"{case:26} | {cell(case, 'libzarvo')} {cell(case, 'matplotlib')} "
              f"{cell(case, 'vispy')} | {ratio(case, 'matplotlib')} {ratio(case, 'vispy')} | "
              f"{goal}: {verdict}{extra}")
    print(f"\n{missed} case(s) missed their target" if missed else "\nevery measured case met its target")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))

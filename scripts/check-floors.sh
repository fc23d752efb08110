#!/usr/bin/env bash
# Checks the folder structure of src/: the errors (src/exception) include nothing of the
# library, the OpenGL layer (src/gl) only them, and no folder includes a folder that includes
# it back, directly or through others. A public header (zarvo/x.h) counts as the folder that
# implements it, and as every folder the public headers it includes count as, so an arrow
# through the public headers is seen too, however deep. Both include forms ("" and <>) and
# files in subfolders (src/window/x/y.cpp belongs to window) are read. A public header may
# include only public headers. Prints the folder graph; exits 1 on a violation.
set -euo pipefail
cd "$(dirname "$0")/.."

python3 - <<'EOF'
import os, re, sys

include = re.compile(r'^\s*#\s*include\s+["<]([^">]+)[">]', re.M)
# The folder whose code each public header declares; headers of plain enumerations and
# types (defines.h, input.h) belong to none.
PUBLIC = {
    "zarvo/exception.h": "exception",
    "zarvo/font.h": "font",
    "zarvo/image.h": "image",
    "zarvo/image_series.h": "image",
    "zarvo/series.h": "chart",
    "zarvo/plot.h": "plot",
    "zarvo/histogram.h": "histogram",
    "zarvo/histogram2d.h": "hist2d",
    "zarvo/chart.h": "multichart",
    "zarvo/window.h": "window",
    "zarvo/recorder.h": "record",
    "zarvo/target.h": "window",
    "zarvo/style.h": "common",
}
PLAIN = {"zarvo/defines.h", "zarvo/input.h", "zarvo/data_layout.h"}
for name in sorted(os.listdir("include/zarvo")):
    header = "zarvo/" + name
    # A header named after a folder of src/ (zarvo/band.h, src/band) belongs to it.
    stem = os.path.splitext(name)[0]
    if header not in PUBLIC and header not in PLAIN and os.path.isdir(os.path.join("src", stem)):
        PUBLIC[header] = stem
    if header not in PUBLIC and header not in PLAIN:
        print(f"error: {header} is in neither list of this script", file=sys.stderr)
        sys.exit(1)
failed = False

def includes_of(path):
    with open(path, encoding="utf-8") as f:
        return include.findall(f.read())

# The public headers each public header pulls in, directly or through others.
direct = {}
for name in sorted(os.listdir("include/zarvo")):
    header = "zarvo/" + name
    direct[header] = set()
    for target in includes_of(os.path.join("include/zarvo", name)):
        if target.startswith("zarvo/"):
            direct[header].add(target)
        elif os.path.isdir(os.path.join("src", target.split("/")[0])):
            print(f"error: include/{header} includes \"{target}\", which is not public",
                  file=sys.stderr)
            failed = True
def pulled(header, seen=None):
    seen = set() if seen is None else seen
    for target in direct.get(header, ()):
        if target not in seen:
            seen.add(target)
            pulled(target, seen)
    return seen

# The folders an include counts as: its own folder, or for a public header the folder that
# implements it and those of the public headers it pulls in.
def folders_of(target):
    if target.startswith("zarvo/"):
        found = {PUBLIC[h] for h in {target} | pulled(target) if h in PUBLIC}
    else:
        found = {target.split("/")[0]} if "/" in target else set()
    return {f for f in found if os.path.isdir(os.path.join("src", f))}

graph = {}
for folder in sorted(os.listdir("src")):
    path = os.path.join("src", folder)
    if not os.path.isdir(path):
        continue
    deps = graph.setdefault(folder, set())
    for root, _, names in os.walk(path):
        for name in names:
            for target in includes_of(os.path.join(root, name)):
                deps |= folders_of(target) - {folder}

for folder, deps in sorted(graph.items()):
    print(f"{folder:12} -> {', '.join(sorted(deps)) or '(nothing)'}")
if graph.get("exception"):
    print(f"error: src/exception includes {sorted(graph['exception'])}", file=sys.stderr)
    failed = True
if graph.get("gl", set()) - {"exception"}:
    print(f"error: src/gl includes {sorted(graph['gl'] - {'exception'})}", file=sys.stderr)
    failed = True

# Depth-first search for a cycle among folders.
state = {}
def visit(node, trail):
    global failed
    state[node] = "open"
    for dep in sorted(graph.get(node, ())):
        if state.get(dep) == "open":
            cycle = trail[trail.index(dep):] + [dep]
            print("error: include cycle " + " -> ".join(cycle), file=sys.stderr)
            failed = True
        elif dep not in state:
            visit(dep, trail + [dep])
    state[node] = "done"
for folder in sorted(graph):
    if folder not in state:
        visit(folder, [folder])
sys.exit(1 if failed else 0)
EOF

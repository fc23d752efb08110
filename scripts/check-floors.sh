#!/usr/bin/env bash
# Checks the folder structure of src/: the OpenGL layer (src/gl) includes nothing of the
# library but itself and the public headers, and no folder includes a folder that includes
# it back, directly or through others. Prints the folder graph; exits 1 on a violation.
set -euo pipefail
cd "$(dirname "$0")/.."

python3 - <<'EOF'
import os, re, sys

include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
graph = {}
for folder in sorted(os.listdir("src")):
    path = os.path.join("src", folder)
    if not os.path.isdir(path):
        continue
    deps = graph.setdefault(folder, set())
    for name in os.listdir(path):
        with open(os.path.join(path, name), encoding="utf-8") as f:
            for target in include.findall(f.read()):
                top = target.split("/")[0]
                if "/" in target and top != folder and os.path.isdir(os.path.join("src", top)):
                    deps.add(top)

failed = False
for folder, deps in sorted(graph.items()):
    print(f"{folder:12} -> {', '.join(sorted(deps)) or '(nothing)'}")
if graph.get("gl"):
    print(f"error: src/gl includes {sorted(graph['gl'])}", file=sys.stderr)
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

#!/bin/sh
# Checks the layers of src/: nothing in src/views or src/gui includes shell/, nothing in src/gui
# includes views/, src/data includes no window layer, and no two source files reach each other
# through includes (a header and its .cpp count as one file).
# Usage: scripts/check_includes.sh [source root]   (default: the src/ beside this script)
set -eu
root=${1:-$(dirname "$0")/../src}
exec python3 - "$root" <<'PY'
import os, re, sys

root = os.path.normpath(sys.argv[1])
include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
forbidden = {
    "views": ("shell/",),
    "gui": ("shell/", "views/"),
    "data": ("shell/", "views/", "gui/", "app/"),
}
faults = []
edges = {}
for folder, _, names in os.walk(root):
    for name in sorted(names):
        if not name.endswith((".h", ".cpp")):
            continue
        path = os.path.join(folder, name)
        rel = os.path.relpath(path, root).replace(os.sep, "/")
        layer = rel.split("/")[0]
        unit = os.path.splitext(rel)[0]
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for target in include.findall(text):
            if target.startswith(forbidden.get(layer, ())):
                faults.append(f"{rel}: includes {target} from a lower layer")
            if os.path.exists(os.path.join(root, target)):
                other = os.path.splitext(target)[0]
                if other != unit:
                    edges.setdefault(unit, set()).add(other)

# Circles: strongly connected components of more than one file (Tarjan, iterative).
index, low, on_stack, stack, counter = {}, {}, set(), [], [0]
def strongconnect(start):
    work = [(start, iter(sorted(edges.get(start, ()))))]
    index[start] = low[start] = counter[0]; counter[0] += 1
    stack.append(start); on_stack.add(start)
    while work:
        node, children = work[-1]
        for child in children:
            if child not in index:
                index[child] = low[child] = counter[0]; counter[0] += 1
                stack.append(child); on_stack.add(child)
                work.append((child, iter(sorted(edges.get(child, ())))))
                break
            if child in on_stack:
                low[node] = min(low[node], index[child])
        else:
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop(); on_stack.discard(member); component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    faults.append("include circle: " + " -> ".join(sorted(component)))

for unit in sorted(edges):
    if unit not in index:
        strongconnect(unit)

for fault in faults:
    print(fault)
if faults:
    sys.exit(1)
print(f"includes ok: {len(edges)} files, layers kept, no circles")
PY

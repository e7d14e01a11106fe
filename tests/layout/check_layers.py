#!/usr/bin/env python3
"""Checks the layering of the tree: portable headers stay free of windows.h, and each layer of
Kestrel4 includes only headers of the layers below it. Exits 1 with one line per breach."""
import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
FOLDERS = ["serilox", "tapline", "kestrel4", "glyphpad", "kestrelctl", "simulator"]
# serilox <- app <- adjust <- transfer <- present <- main: what each Kestrel4 layer must not include.
LAYERS = ["app", "adjust", "transfer", "present", "main"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def sources():
    for folder in FOLDERS:
        for base, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(base, name), ROOT).replace(os.sep, "/")


def includes(path):
    with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
        return INCLUDE.findall(f.read())


def is_window_code(path):
    parts = path.split("/")
    return "win32" in parts[:-1] or "win32common" in parts[:-1]


def layer_of(path):
    parts = path.split("/")
    return parts[1] if parts[0] == "kestrel4" and len(parts) > 2 and parts[1] in LAYERS else None


def main():
    files = sorted(sources())
    by_name = {}
    for path in files:
        by_name.setdefault(os.path.basename(path), []).append(path)
    errors = []
    for name, paths in by_name.items():
        if name.endswith(".h") and len(paths) > 1:
            errors.append(f"{name}: one name for several headers: {', '.join(paths)}")

    def quoted(path):
        return [p for kind, inc in includes(path) if kind == '"' for p in by_name.get(os.path.basename(inc), [])]

    # Which headers reach windows.h, and through which chain.
    reach = {}

    def windows_chain(path, seen=()):
        if path in reach:
            return reach[path]
        reach[path] = None  # cycles end here
        chain = None
        if any(kind == "<" and inc.lower() == "windows.h" for kind, inc in includes(path)):
            chain = [path, "<windows.h>"]
        else:
            for inc in quoted(path):
                sub = windows_chain(inc)
                if sub:
                    chain = [path] + sub
                    break
        reach[path] = chain
        return chain

    for path in files:
        if path.endswith(".h") and not is_window_code(path):
            chain = windows_chain(path)
            if chain:
                errors.append(f"{path}: portable header reaches windows.h: {' -> '.join(chain)}")
        layer = layer_of(path)
        if layer:
            for inc in quoted(path):
                other = layer_of(inc)
                if other and LAYERS.index(other) > LAYERS.index(layer):
                    errors.append(f"{path}: includes {inc} of the layer above ({other})")
    for line in errors:
        print(line)
    print(f"{len(files)} files checked, {len(errors)} breaches")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

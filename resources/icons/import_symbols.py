#!/usr/bin/env python3
"""Writes symbols/<name>.svg from the table in symbols.txt.

Usage: import_symbols.py <folder of the npm package @material-symbols/svg-400>

    npm install --prefix /tmp/symbols @material-symbols/svg-400@0.48.2
    resources/icons/import_symbols.py /tmp/symbols/node_modules/@material-symbols/svg-400

The drawings are Material Symbols (Apache License 2.0, see symbols/LICENSE).
Composed symbols place an icon, scaled about the centre, in a circle outline
("ring") or cut it out of a filled circle ("disc"); for the cut-out the icon's
path is moved into the circle's own path and filled even-odd, since a tinted
drawing has one colour and a hole must be a real hole.
"""
import pathlib
import re
import shutil
import sys

HERE = pathlib.Path(__file__).resolve().parent
VIEWBOX_CENTRE = (480.0, -480.0)  # Material Symbols draw in "0 -960 960 960"
SVG_HEAD = '<svg xmlns="http://www.w3.org/2000/svg" width="48" height="48" viewBox="0 -960 960 960">'

# Number of arguments each path command takes.
ARITY = {"M": 2, "L": 2, "H": 1, "V": 1, "C": 6, "S": 4, "Q": 4, "T": 2, "A": 7, "Z": 0}


def path_of(svg_text):
    match = re.search(r'<path d="([^"]+)"', svg_text)
    if not match:
        raise ValueError("no path in the drawing")
    return match.group(1)


def scale_path(d, scale, centre):
    """The path scaled by `scale` about `centre`, written with absolute starts."""
    cx, cy = centre
    tx, ty = cx - cx * scale, cy - cy * scale
    tokens = re.findall(r"[A-Za-z]|-?(?:\d+\.?\d*|\.\d+)(?:e-?\d+)?", d)
    out, i, command = [], 0, None
    while i < len(tokens):
        if tokens[i].isalpha():
            command = tokens[i]
            i += 1
            out.append(command)
            if command.upper() == "Z":
                continue
        upper = command.upper()
        args = [float(t) for t in tokens[i:i + ARITY[upper]]]
        i += ARITY[upper]
        relative = command.islower()
        if upper == "A":
            rx, ry, rot, large, sweep, x, y = args
            args = [rx * scale, ry * scale, rot, large, sweep,
                    x * scale + (0 if relative else tx), y * scale + (0 if relative else ty)]
        elif upper == "H":
            args = [args[0] * scale + (0 if relative else tx)]
        elif upper == "V":
            args = [args[0] * scale + (0 if relative else ty)]
        else:
            args = [v * scale + (0 if relative else (tx if k % 2 == 0 else ty)) for k, v in enumerate(args)]
        out.append(" ".join(f"{v:.2f}".rstrip("0").rstrip(".") for v in args))
        if upper == "M":  # further pairs after a move are lines
            command = "l" if relative else "L"
    return " ".join(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    package = pathlib.Path(sys.argv[1])
    source = package / "rounded"
    target = HERE / "symbols"
    for old in target.glob("*.svg"):
        old.unlink()
    for line in (HERE / "symbols.txt").read_text().splitlines():
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        name, *rest = line.split()
        if len(rest) == 1:
            shutil.copyfile(source / f"{rest[0]}.svg", target / f"{name}.svg")
            continue
        kind, icon, scale = rest
        inner = scale_path(path_of((source / f"{icon}.svg").read_text()), float(scale), VIEWBOX_CENTRE)
        if kind == "ring":
            ring = path_of((source / "circle.svg").read_text())
            body = f'<path d="{ring}"/><path d="{inner}"/>'
        elif kind == "disc":
            disc = path_of((source / "circle-fill.svg").read_text())
            body = f'<path fill-rule="evenodd" d="{disc} {inner}"/>'
        else:
            sys.exit(f"unknown composition {kind!r} for {name}")
        (target / f"{name}.svg").write_text(f"{SVG_HEAD}{body}</svg>")
    shutil.copyfile(package / "LICENSE", target / "LICENSE")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Checks that every #include between the product's folders runs down the layer order.

The order is read from the README: the fenced block under the heading "Layers", one line per
layer from the top down, the folders of a layer separated by blanks. A file may include files of
its own folder and of folders on lower layers; an include of a folder on the same layer or a
higher one fails the check (so no two folders ever include each other). Folders not named there
(tests, benchmarks) may include anything.

It also checks that namespaces follow the folders: a namespace `zorvo::NAME` named after a
product folder is declared only in that folder (so core/ never declares `zorvo::ui`).

Usage: tools/check_layers.py [repository root]   exits 1 and lists the offending lines.
"""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]+"([^"/]+)/[^"]*"', re.MULTILINE)
SOURCES = {".h", ".hpp", ".cpp", ".c", ".rc", ".in"}
NAMESPACE = re.compile(r"^[ \t]*namespace[ \t]+zorvo::(\w+)", re.MULTILINE)


def read_layers(readme: pathlib.Path) -> dict[str, int]:
    """Folder -> layer number, 0 at the bottom."""
    text = readme.read_text(encoding="utf-8")
    section = re.search(r"^#+\s*Layers\s*$(.*?)^```\s*$(.*?)^```", text, re.MULTILINE | re.DOTALL)
    if not section:
        sys.exit(f"{readme}: no fenced block under a heading 'Layers'")
    rows = [line.split() for line in section.group(2).splitlines() if line.strip()]
    layers = {}
    for depth, row in enumerate(reversed(rows)):
        for folder in row:
            folder = folder.strip("/`")
            if folder in layers:
                sys.exit(f"{readme}: folder {folder} stands on two layers")
            layers[folder] = depth
    return layers


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    layers = read_layers(root / "README.md")
    names = {depth: [f for f, d in layers.items() if d == depth] for depth in layers.values()}
    failures = []
    checked = 0
    for folder, depth in sorted(layers.items()):
        base = root / folder
        if not base.is_dir():
            failures.append(f"README names folder {folder}, which does not exist")
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in SOURCES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for match in NAMESPACE.finditer(text):
                space = match.group(1)
                if space in layers and space != folder:
                    line = text.count("\n", 0, match.start()) + 1
                    failures.append(
                        f"{path.relative_to(root)}:{line}: namespace zorvo::{space} belongs "
                        f"to {space}/"
                    )
            for match in INCLUDE.finditer(text):
                target = match.group(1)
                checked += 1
                if target == folder or target not in layers:
                    continue
                if layers[target] >= depth:
                    line = text.count("\n", 0, match.start()) + 1
                    kind = "same layer" if layers[target] == depth else "upward"
                    failures.append(
                        f"{path.relative_to(root)}:{line}: {kind} include of {target}/ "
                        f"(layer {' '.join(names[layers[target]])} from layer "
                        f"{' '.join(names[depth])})"
                    )
    for failure in failures:
        print(failure)
    print(f"layers: {checked} includes checked, {len(failures)} against the order")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Puts the attribute reference, as the game's declarations write it, into docs/data-format.md
(the section after the marker line), or with --check only says whether it is there as written.

    python3 tools/update_settings_reference.py [--check] build/tests/pellvane_settings_reference
"""
import os
import subprocess
import sys

DOC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs", "data-format.md")
MARKER = "<!-- Written by tools/update_settings_reference.py from the declarations in src/: do not edit below. -->"


def main(argv):
    check = "--check" in argv
    args = [a for a in argv if a != "--check"]
    if len(args) != 1:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    reference = subprocess.run([args[0]], check=True, capture_output=True, text=True).stdout
    with open(DOC, encoding="utf-8") as f:
        text = f.read()
    if MARKER not in text:
        print(f"{DOC}: no marker line for the reference", file=sys.stderr)
        return 1
    written = text[: text.index(MARKER) + len(MARKER)] + "\n\n" + reference
    if check:
        if written != text:
            print(f"{DOC}: the attribute reference differs from the declarations; run "
                  f"python3 tools/update_settings_reference.py {args[0]}", file=sys.stderr)
            return 1
        return 0
    if written != text:
        with open(DOC, "w", encoding="utf-8") as f:
            f.write(written)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

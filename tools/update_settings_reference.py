#!/usr/bin/env python3
"""Puts the attribute reference, as the game's declarations write it, into docs/data-format.md
(the section after the marker line), or with --check only says whether it is there as written.
Either way it holds the prose tables above the marker to the declarations: see check_prose.

    python3 tools/update_settings_reference.py [--check] build/tests/pellvane_settings_reference
"""
import os
import re
import subprocess
import sys

DOC = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs", "data-format.md")
MARKER = "<!-- Written by tools/update_settings_reference.py from the declarations in src/: do not edit below. -->"
HEADING = re.compile(r"^#+ (.*)$")
ELEMENT = re.compile(r"^### `<(\w+)>`(?: in `<(\w+)>`)?$")
BASE = re.compile(r"^Also every attribute of `<(\w+)>`")
TICKED = re.compile(r"`([^`]+)`")


class Element:
    def __init__(self, name, parent):
        self.name, self.parent, self.base = name, parent, None
        self.attributes = {}  # name -> declared default, in the order declared

    def title(self):
        return f"<{self.name}>" + (f" in <{self.parent}>" if self.parent else "")


def cells(line):
    return [c.strip() for c in line.strip().strip("|").split("|")]


def parse_reference(reference):
    """The elements the reference lists, each with its own attributes' defaults and its base."""
    elements, current = [], None
    for line in reference.splitlines():
        if m := ELEMENT.match(line):
            current = Element(m.group(1), m.group(2))
            elements.append(current)
        elif current and (m := BASE.match(line)):
            current.base = m.group(1)
        elif current and line.startswith("| `"):
            row = cells(line)
            current.attributes[row[0].strip("`")] = row[3]
    return elements


class Reference:
    def __init__(self, reference):
        self.elements = parse_reference(reference)

    def find(self, name, parent=None):
        """The element `name`: the only one of that name, or the one read inside `parent` (with no
        `parent`, the one read at the top of its file, as a level file's <level>)."""
        named = [e for e in self.elements if e.name == name]
        if len(named) > 1:
            named = [e for e in named if e.parent == (parent.name if parent is not None else None)]
        return named[0] if len(named) == 1 else None

    def declaring(self, element, attribute):
        """The element that declares `attribute` for `element`: itself or a base of it."""
        while element is not None:
            if attribute in element.attributes:
                return element
            element = self.find(element.base) if element.base else None
        return None


def tables(prose):
    """Each table of the prose: (line number of its header, heading above it, rows of cells)."""
    heading, rows, start = "", [], 0
    for number, line in enumerate(prose.splitlines() + [""], 1):
        if line.startswith("|"):
            if not rows:
                start = number
            if not re.match(r"^\|[-| ]+\|$", line):
                rows.append((number, cells(line)))
            continue
        if rows:
            yield start, heading, rows
            rows = []
        if m := HEADING.match(line):
            heading = m.group(1)


def split_defaults(cell, count):
    """One default for each of `count` names: "50, 500" gives each its own, "0" all the same."""
    parts = [p.strip() for p in cell.split(", ")]
    return parts if count > 1 and len(parts) == count else [cell] * count


def check_prose(prose, reference):
    """Every prose table with an "Attribute" column has a "Default" column, and for each attribute
    it names in backticks there, the default it gives is the one declared. A table is about the
    element named in backticks in its "Attribute" header ("Attribute of `config`"), or else the one
    its heading names ("### ball"); a "Where" column names a row's child element ("`pulse` child",
    "`block_colours` child, its `colour` children"), or "element". A row with several names gives
    one default for all or one each ("50, 500"). Every declared attribute has a row somewhere:
    the reference lists what an attribute is, the prose says what an author does with it, and
    its defaults are the ones an author reads first. Returns the disagreements, one line each."""
    ref = Reference(reference)
    found, covered = [], set()
    where_doc = "docs/data-format.md"
    for start, heading, rows in tables(prose):
        header = rows[0][1]
        named = [i for i, h in enumerate(header) if "attribute" in h.lower()]
        if not named:
            continue
        column = named[0]
        if "Default" not in header:
            found.append(f"{where_doc}:{start}: a table of attributes with no Default column")
            continue
        default_column, where_column = header.index("Default"), header.index("Where") if "Where" in header else None
        ticked = TICKED.findall(header[column])
        element = ref.find(ticked[0] if ticked else heading.strip())
        if element is None:
            found.append(f"{where_doc}:{start}: cannot tell which element this table is about: name it in "
                         f"its Attribute header, as in \"Attribute of `config`\"")
            continue
        for number, row in rows[1:]:
            if len(row) != len(header):
                found.append(f"{where_doc}:{number}: the row has {len(row)} cells, the header {len(header)}")
                continue
            owner = element
            if where_column is not None and row[where_column] != "element":
                # A child with no attributes of its own is in no table of the reference.
                for child in TICKED.findall(row[where_column]):
                    owner = ref.find(child, owner) or Element(child, owner.name)
            names = TICKED.findall(row[column])
            for name, default in zip(names, split_defaults(row[default_column], len(names))):
                declarer = ref.declaring(owner, name)
                if declarer is None:
                    found.append(f"{where_doc}:{number}: `{name}` is no attribute of {owner.title()}: no "
                                 f"declaration has it")
                    continue
                covered.add((declarer.title(), name))
                declared = declarer.attributes[name]
                if default != declared:
                    found.append(f"{where_doc}:{number}: the default of `{name}` of {owner.title()} is "
                                 f"\"{default}\" here but \"{declared}\" as declared")
    for element in ref.elements:
        for name, declared in element.attributes.items():
            if (element.title(), name) not in covered:
                found.append(f"{where_doc}: no prose table has a row for `{name}` of {element.title()} (declared "
                             f"default \"{declared}\"): add one in the element's section")
    return found


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
    prose = text[: text.index(MARKER)]
    written = prose + MARKER + "\n\n" + reference
    status = 0
    for line in check_prose(prose, reference):
        print(line, file=sys.stderr)
        status = 1
    if check:
        if written != text:
            print(f"{DOC}: the attribute reference differs from the declarations; run "
                  f"python3 tools/update_settings_reference.py {args[0]}", file=sys.stderr)
            status = 1
        return status
    if written != text:
        with open(DOC, "w", encoding="utf-8") as f:
            f.write(written)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

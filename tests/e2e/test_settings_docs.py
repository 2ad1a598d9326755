#!/usr/bin/env python3
"""The prose tables of docs/data-format.md against the attribute declarations, as
tools/update_settings_reference.py checks them (its --check is the test docs.settings_reference):
the shipped docs agree, and each way prose and declarations can part is told with the row's line,
the attribute and the element: a default that differs (one of two given in one cell too), an
attribute no declaration has, a declared attribute with no row, a table of attributes with no
Default column, and one whose element cannot be told.

    test_settings_docs.py PELLVANE ROOT
"""
import importlib.util
import os
import sys

ROOT = os.path.abspath(sys.argv[2])
spec = importlib.util.spec_from_file_location(
    "update_settings_reference", os.path.join(ROOT, "tools", "update_settings_reference.py"))
tool = importlib.util.module_from_spec(spec)
spec.loader.exec_module(tool)

with open(os.path.join(ROOT, "docs", "data-format.md"), encoding="utf-8") as f:
    TEXT = f.read()
PROSE, REFERENCE = TEXT.split(tool.MARKER)
failures = []


def line_of(text):
    return PROSE[: PROSE.index(text)].count("\n") + 1


def findings_with(old, new):
    assert PROSE.count(old) == 1, old
    return tool.check_prose(PROSE.replace(old, new), REFERENCE)


def expect(findings, *parts):
    """Exactly one finding, and it holds every one of `parts`."""
    if len(findings) != 1 or not all(part in findings[0] for part in parts):
        failures.append(f"expected one finding with {parts}, got {findings}")


expect_none = tool.check_prose(PROSE, REFERENCE)
if expect_none:
    failures.append("the shipped docs disagree with the declarations:\n" + "\n".join(expect_none))

lives = "| element | `lives` (integer) | 3 |"
expect(findings_with(lives, "| element | `lives` (integer) | 4 |"),
       f"data-format.md:{line_of(lives)}:", "`lives`", "<pellvane_game>", '"4" here', '"3" as declared')

speeds = "| `min_speed`, `max_speed` | 50, 500 |"
expect(findings_with(speeds, "| `min_speed`, `max_speed` | 50, 600 |"),
       f"data-format.md:{line_of(speeds)}:", "`max_speed`", "<ball>", '"600" here', '"500" as declared')

pulse = "| `pulse` child | `min`, `max` | the `alpha` `min`, the `alpha` `max` |"
expect(findings_with(pulse, "| `pulse` child | `min`, `max` | 0, 1 |")[:1],
       f"data-format.md:{line_of(pulse)}:", "`min`", "<pulse> in <fade>")

health = "| `health` (integer) | 1 |"
expect(findings_with(health, "| `helth` (integer) | 1 |")[:1],
       f"data-format.md:{line_of(health)}:", "`helth` is no attribute of <block>")
expect(findings_with(health, "| `helth` (integer) | 1 |")[1:],
       "no prose table has a row for `health` of <block>", 'declared default "1"')

bar_gap = "| `bar_gap` | 6 | pixels from the capsule's picture to its bar |\n"
expect(findings_with(bar_gap, ""), "no prose table has a row for `bar_gap` of <power_up_timers>")

event_sound = "| Attribute | Default | Meaning |\n|---|---|---|\n| `event` | required | the name of an event"
found = findings_with(event_sound, "| Attribute | Meaning |\n|---|---|\n| `event` | the name of an event")
expect(found[:1], f"data-format.md:{line_of(event_sound)}:", "no Default column")

level = "| Attribute of `level` | Default | Meaning |"
found = findings_with(level, "| Attribute of `levle` | Default | Meaning |")
expect(found[:1], f"data-format.md:{line_of(level)}:", "cannot tell which element")

if failures:
    print("\n".join(failures), file=sys.stderr)
    sys.exit(1)
print("the prose tables agree with the declarations, and each disagreement is told", file=sys.stderr)

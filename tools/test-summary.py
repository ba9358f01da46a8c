#!/usr/bin/env python3
"""Says what a run of the tests did, from the XML reports GoogleTest writes
(GTEST_OUTPUT=xml:FOLDER/, one file a test program): how many tests ran,
failed and were skipped, and each skipped test with the reason it gave, so
that a green run shows what did not run there.

Usage: test-summary.py TITLE FOLDER
Writes Markdown to the file GITHUB_STEP_SUMMARY names (GitHub's job summary)
when it is set, and to standard output. Fails when the folder holds no report,
as then no test program ran to its end.
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def cell(text):
    return " ".join(text.split()).replace("|", "\\|")


def main(title, folder):
    reports = sorted(glob.glob(os.path.join(folder, "*.xml")))
    ran = failed = 0
    skipped = []
    for report in reports:
        program = os.path.splitext(os.path.basename(report))[0]
        for case in ET.parse(report).getroot().iter("testcase"):
            if case.get("status") == "notrun" or case.get("result") == "suppressed":
                continue  # left out by a filter: the other copies a test starts run one test each
            skip = case.find("skipped")
            if case.get("result") == "skipped" or skip is not None:
                # "file:line\nreason", as GoogleTest writes it.
                message = skip.get("message", "") if skip is not None else ""
                where, _, why = message.partition("\n")
                skipped.append((program, f"{case.get('classname')}.{case.get('name')}", why or where))
                continue
            ran += 1
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1

    lines = [f"### {title}", ""]
    if not reports:
        lines.append(f"No test program wrote a report in `{folder}`: none ran to its end.")
    else:
        lines.append(f"{ran} tests ran in {len(reports)} reports, {failed} failed; {len(skipped)} did not run here:")
        if skipped:
            lines += ["", "| test | program | why it did not run here |", "|---|---|---|"]
            lines += [f"| `{cell(name)}` | {program} | {cell(why)} |" for program, name, why in skipped]
    text = "\n".join(lines) + "\n\n"
    sys.stdout.write(text)
    summary = os.environ.get("GITHUB_STEP_SUMMARY")
    if summary:
        with open(summary, "a", encoding="utf-8") as f:
            f.write(text)
    return 0 if reports else 1


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))

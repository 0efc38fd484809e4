#!/usr/bin/env python3
"""Counts a CTest run from its JUnit file: tests passed and failed, and every
skip, whether a whole test skipped (SKIP_RETURN_CODE) or a GoogleTest case
inside one did ("skipped: Suite.Case: reason" in its output). A skip counts as
expected only when tests/expected-skips.txt names it; any other is a failure.

  test_report.py EXPECTED JUNIT  ->  prints each skip and failure, then the
                                     line "counts PASSED FAILED SKIPPED"
"""
import re
import sys
import xml.etree.ElementTree as ET


def expected_skips(path):
    names = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                names.add(" ".join(line.split()))
    return names


def main():
    expected = expected_skips(sys.argv[1])
    try:
        cases = ET.parse(sys.argv[2]).getroot().iter("testcase")
    except (OSError, ET.ParseError) as error:
        print(f"FAILED: no test results ({error})")
        print("counts 0 1 0")
        return
    passed = failed = skipped = 0
    for case in cases:
        name = case.get("name", "?")
        out = "".join((e.text or "") for e in case.iter("system-out"))
        skips = []
        if case.find("skipped") is not None:
            reason = re.findall(r"^SKIP: (.*)$", out, re.M)
            skips.append((name, reason[-1] if reason else "the test skipped"))
        elif case.find("failure") is not None or case.find("error") is not None:
            failed += 1
            print(f"FAILED: {name}")
        else:
            passed += 1
        for inner, reason in re.findall(r"^skipped: (\S+): (.*)$", out, re.M):
            skips.append((f"{name} {inner}", reason))
        for what, reason in skips:
            skipped += 1
            if what in expected:
                print(f"skipped, expected: {what} ({reason})")
            else:
                failed += 1
                print(f"FAILED, skipped: {what}: {reason}")
    print(f"counts {passed} {failed} {skipped}")


main()

#!/usr/bin/env python3
"""Reads files made by write_kvn.py with the kvn tool and compares.

    check_independent_writer.py KVN... WORKDIR

KVN is the command that runs the tool (several words are allowed, e.g. a Wine
launcher followed by kvn.exe); WORKDIR receives the files. Checks:
  - `kvn dump` shows every field with the value written;
  - `kvn check` finds the hand-computed balances consistent, and reports a
    balance changed in the file;
  - `kvn info` shows the balances in French format;
  - truncated, overlong and wrongly marked copies are refused (exit 2, one
    line of explanation, nothing on the output);
  - `kvn totals` gives the expenses per category that the rule, applied here
    to the values written, gives.
Exit status 0 when everything agrees, 1 otherwise.
"""

import datetime
import decimal
import json
import math
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import write_kvn  # noqa: E402


class Report:
    def __init__(self):
        self.passed, self.failures = 0, []

    def expect(self, condition, what):
        self.passed += bool(condition)
        if not condition:
            self.failures.append(what)
        return condition


def run(kvn, *args):
    result = subprocess.run(list(kvn) + list(args), capture_output=True, timeout=300)
    return (result.returncode, result.stdout.decode("utf-8", "replace").replace("\r\n", "\n"),
            result.stderr.decode("utf-8", "replace").replace("\r\n", "\n"))


def compare(report, path, expected, actual):
    """Compares two parsed JSON values field by field, naming each difference."""
    if isinstance(expected, dict):
        if not report.expect(isinstance(actual, dict), "%s: object expected, got %r" % (path, actual)):
            return
        missing = sorted(set(expected) - set(actual))
        extra = sorted(set(actual) - set(expected))
        report.expect(not missing, "%s: fields missing from the dump: %s" % (path, missing))
        report.expect(not extra, "%s: fields not written by the writer: %s" % (path, extra))
        for key in expected:
            if key in actual:
                compare(report, "%s.%s" % (path, key), expected[key], actual[key])
    elif isinstance(expected, list):
        if not report.expect(isinstance(actual, list) and len(actual) == len(expected),
                             "%s: %d elements expected, got %r" % (path, len(expected), actual)):
            return
        for i, (e, a) in enumerate(zip(expected, actual)):
            compare(report, "%s[%d]" % (path, i), e, a)
    else:
        same = type(expected) is type(actual) and expected == actual
        if isinstance(expected, float) and isinstance(actual, int):
            same = float(actual) == expected
        report.expect(same, "%s: %r written, %r dumped" % (path, expected, actual))


def expect_refused(report, kvn, what, *args):
    code, out, err = run(kvn, *args)
    report.expect(code == 2, "%s: exit code %d, 2 expected" % (what, code))
    report.expect(out == "", "%s: nothing expected on the output, got %r" % (what, out))
    report.expect(err.count("\n") == 1 and err.endswith("\n"),
                  "%s: one line expected on the error output, got %r" % (what, err))


def french_amount(value):
    """Two decimals, thousands apart, "- " before a negative amount."""
    text = "{:,.2f}".format(abs(value)).replace(",", " ")
    return "- " + text if value < 0 and text != "0.00" else text


def expected_totals(document, name, start, end):
    """The graph's chart: each shown expense category (sub-category byte 0,
    no income bit) adds the operations of the period booked to it or to one of
    its sub-categories, +amount on the party side, -amount on the other."""
    bars = []
    for category in document["categories"]:
        if category["id"] & 0x80FF or not category["shown"]:
            continue
        total = decimal.Decimal(0)
        for o in document["operations"]:
            if not start <= o["operationDate"] < end:
                continue
            for side, sign in (("partyId", 1), ("counterpartyId", -1)):
                if o[side] & 0xFF0000 == write_kvn.CATEGORY:
                    if o[side] & 0xFFFFFF00 == write_kvn.CATEGORY | category["id"]:
                        total += sign * decimal.Decimal(repr(o["amount"]))
                    break
        bars.append({"name": category["name"], "total": float(total),
                     "text": french_amount(total)})
    totals = [bar["total"] for bar in bars]
    return {
        "period": {"name": name, "year": start.year, "start": write_kvn.date_text(start),
                   "end": write_kvn.date_text(end)},
        "chart": {"title": "Dépenses par Catégorie", "maximum": "%.2f" % max(totals + [0.0]),
                  "minimum": "%.2f" % min(totals + [0.0]), "bars": bars} if bars else None,
    }


def check_totals(report, kvn, workdir):
    day = datetime.datetime
    document = write_kvn.sample_document()
    account, food = document["accounts"][0]["id"], write_kvn.CATEGORY | 0x0000
    template = document["operations"][1]
    for n, (party, counterparty, amount, when) in enumerate([
            (account, food | 0x01, -12.35, day(2024, 1, 1)),
            (account, food, -0.1, day(2024, 3, 31, 23, 59, 59, 999000)),
            (food | 0x01, account, 0.2, day(2024, 2, 10)),
            (account, food | 0x01, -99.0, day(2024, 4, 1)),
            (account, write_kvn.CATEGORY | 0x8000, 1000.0, day(2024, 2, 1))]):
        document["operations"].append(dict(template, partyId=party, counterpartyId=counterparty,
                                           amount=amount, operationDate=when, id=20 + n))
    path = os.path.join(workdir, "totals.kvn")
    with open(path, "wb") as f:
        f.write(write_kvn.encode(document))
    code, out, err = run(kvn, "totals", path, "--period", "quarter", "--at", "2024-03-10")
    if report.expect(code == 0, "totals: exit code %d (%s)" % (code, err.strip())):
        expected = expected_totals(document, "1ère Trimestre", day(2024, 1, 1), day(2024, 4, 1))
        compare(report, "totals", expected, json.loads(out))


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    kvn, workdir = argv[1:-1], argv[-1]
    os.makedirs(workdir, exist_ok=True)
    report = Report()

    document = write_kvn.sample_document()
    image = write_kvn.encode(document)
    sample = os.path.join(workdir, "independent.kvn")
    with open(sample, "wb") as f:
        f.write(image)

    # Every field, as written.
    code, out, err = run(kvn, "dump", sample)
    if report.expect(code == 0, "dump: exit code %d (%s)" % (code, err.strip())):
        try:
            dumped = json.loads(out)
        except ValueError as problem:
            report.expect(False, "dump: not valid JSON: %s" % problem)
        else:
            compare(report, "dump", write_kvn.expected_dump(document), dumped)

    # The balances written agree with the operations.
    code, out, err = run(kvn, "check", sample)
    report.expect(code == 0 and out == "OK\n", "check: %d %r %r" % (code, out, err))

    code, out, err = run(kvn, "info", sample)
    expected = ("Users: 2\nModes: 3\nCategories: 3\nLabels: 1\nAccounts: 2\nThird parties: 1\n"
                "Operations: 4\nVentilation lines: 2\n"
                "Account Compte chèques: balance 1 101.35, ticked 1 476.85, operations 4\n"
                "Account Livret A (masked): balance 300.00, ticked 0.00, operations 1\n"
                "Third party Boulangerie Dupont: balance 48.40, operations 2\n")
    report.expect(code == 0 and out == expected, "info: %r expected, got %r" % (expected, out))

    # A balance that no longer matches its operations.
    tampered = os.path.join(workdir, "tampered.kvn")
    with open(tampered, "wb") as f:
        f.write(write_kvn.encode(write_kvn.sample_document(balance_of_first_account=1100.0)))
    code, out, err = run(kvn, "check", tampered)
    report.expect(code == 1 and out == "Compte chèques: balance 1 100.00 recorded, 1 101.35 computed\n",
                  "check of a changed balance: %d %r %r" % (code, out, err))

    # Damaged copies.
    damaged = {
        "truncated by one byte": image[:-1],
        "cut inside the logo": image[:2000 + write_kvn.LOGO_PIXEL_BYTES // 2],
        "cut after the magic": image[:8],
        "one byte too many": image + b"\0",
        "lower-case magic": b"kolvane " + image[8:],
        "magic without its space": b"Kolvane!" + image[8:],
        "empty": b"",
    }
    path = os.path.join(workdir, "damaged.kvn")
    for what, data in damaged.items():
        with open(path, "wb") as f:
            f.write(data)
        for command in ("dump", "check"):
            expect_refused(report, kvn, "%s of a file %s" % (command, what), command, path)
    expect_refused(report, kvn, "dump of a missing file", "dump", os.path.join(workdir, "absent.kvn"))

    check_totals(report, kvn, workdir)

    total = report.passed + len(report.failures)
    for failure in report.failures:
        print("FAIL " + failure)
    print("independent writer: %d of %d checks passed (%d bytes written, %s)"
          % (report.passed, total, len(image), "all agree" if not report.failures
             else "%d disagreements" % len(report.failures)))
    return 0 if not report.failures else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))

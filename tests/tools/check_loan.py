#!/usr/bin/env python3
"""Computes loans on its own and compares them with `kvn loan`, field by field.

    check_loan.py KVN...

KVN is the command that runs the tool. The loans are drawn at random (fixed
seed) over every periodicity, rate mode and insurance type. The arithmetic
follows the simulator's rules: periodic rate, annuity as (1 + r)^n P / sum of
(1 + r)^k, interest and insurance of a row rounded to the cent on the previous
capital (half away from zero on the shortest written form of the value), principal = the
instalment less both, the last row absorbing what is left, dates stepping by
whole months with the day clamped. A loan whose last row would absorb more
than one instalment is refused. The cost of the credit is what the
instalments pay beyond the amount; the effective annual rate is the periodic
rate at which the instalments, one period apart, are worth the amount (found
here from the annuity's closed form), made yearly. Exit status 0 when
everything agrees.
"""

import calendar
import datetime
import decimal
import json
import random
import subprocess
import sys

MONTHS = {"mensuel": 1, "trimestriel": 3, "semestriel": 6, "annuel": 12}


def cents(value):
    # repr() is the shortest text that reads back as the same float.
    written = decimal.Decimal(repr(value))
    kept = float(written.quantize(decimal.Decimal("0.01"), rounding=decimal.ROUND_HALF_UP,
                                  context=decimal.Context(prec=400)))
    return kept if kept != 0 else 0.0


def amount_text(value):
    text = "%.2f" % value
    if text == "-0.00":
        text = "0.00"
    sign, digits = ("- ", text[1:]) if text.startswith("-") else ("", text)
    whole, decimals = digits.split(".")
    groups = []
    while whole:
        groups.insert(0, whole[-3:])
        whole = whole[:-3]
    return sign + " ".join(groups) + "." + decimals


def periodic(annual, months, mode):
    if mode == "equivalent":
        return (1.0 + annual / 100.0) ** (months / 12.0) - 1.0
    return annual * months / 1200.0


def annuity(amount, rate, count):
    total = 0.0
    for k in range(count):
        total += (1.0 + rate) ** k
    return (1.0 + rate) ** count * amount / total


def effective_rate(amount, instalment, count, months):
    def worth(rate):
        if rate == 0:
            return instalment * count
        return instalment * (1.0 - (1.0 + rate) ** -count) / rate
    low, high = -0.5, 1.0
    while worth(high) > amount:
        high *= 2.0
    for _ in range(300):
        middle = (low + high) / 2.0
        low, high = (middle, high) if worth(middle) > amount else (low, middle)
    return ((1.0 + low) ** (12.0 / months) - 1.0) * 100.0


def add_months(day, months):
    index = day.month - 1 + months
    year, month = day.year + index // 12, index % 12 + 1
    return datetime.date(year, month, min(day.day, calendar.monthrange(year, month)[1]))


def expected(amount, count, annual, periodicity, mode, insurance, kind, first):
    months = MONTHS[periodicity]
    rate = periodic(annual, months, mode)
    without = annuity(amount, rate, count)
    insurance_rate, share = 0.0, 0.0
    if kind == "pourcentage-proportionnel":
        insurance_rate = periodic(insurance, months, mode)
        instalment = cents(annuity(amount, rate + insurance_rate, count))
    else:
        share = insurance * amount / (count * 100.0) if kind == "pourcentage-fixe" \
            else insurance / count
        instalment = cents(without + share)
    rows, remaining, day = [], amount, first
    for number in range(1, count + 1):
        if number > 1:
            day = add_months(day, months)
        interest = cents(remaining * rate)
        paid = cents(remaining * insurance_rate) if insurance_rate else cents(share)
        principal = instalment - interest - paid
        remaining = remaining - principal
        rows.append([number, day, interest, principal, paid, remaining])
    if not abs(rows[-1][5]) <= instalment:
        return None  # the rounding compounds past an instalment: refused
    if abs(rows[-1][5]) >= 0.001:
        rows[-1][2] -= rows[-1][5]
        rows[-1][3] += rows[-1][5]
        rows[-1][5] = 0.0
    shown = [{"number": "0", "date": "", "interest": "", "principal": "", "insurance": "",
              "instalment": "", "remainingCapital": amount_text(amount), "december": False}]
    for number, day, interest, principal, paid, remaining in rows:
        shown.append({"number": str(number), "date": day.strftime(" %d/%m/%Y"),
                      "interest": amount_text(interest), "principal": amount_text(principal),
                      "insurance": amount_text(paid), "instalment": amount_text(instalment),
                      "remainingCapital": amount_text(remaining), "december": day.month == 12})
    # The amount fields write amounts as the rest of the program does, 0.00 left blank.
    blank = lambda value: "" if amount_text(value) == "0.00" else amount_text(value)  # noqa: E731
    return {"instalmentWithInsurance": blank(instalment),
            "instalmentWithoutInsurance": blank(without),
            "totalCost": blank(cents(count * instalment - amount)),
            "effectiveAnnualRate": amount_text(effective_rate(amount, instalment, count, months))
            + " %",
            "rows": shown}


def main(kvn):
    generator = random.Random(13)
    failures, loans, refused = 0, 0, 0
    for _ in range(300):
        kind = generator.choice(["valeur", "pourcentage-fixe", "pourcentage-proportionnel"])
        periodicity = generator.choice(list(MONTHS))
        # Mostly up to 40 years; now and then up to the longest table allowed.
        longest = 1200 if generator.random() < 0.1 else 480 // MONTHS[periodicity]
        loan = (round(generator.uniform(100, 400000), 2), generator.randint(1, longest),
                round(generator.uniform(0.01, 20), 2), periodicity,
                generator.choice(["proportionnel", "equivalent"]),
                round(generator.uniform(0, 3000 if kind == "valeur" else 2), 2), kind,
                datetime.date(2000, 1, 1) + datetime.timedelta(days=generator.randint(0, 15000)))
        amount, count, annual, periodicity, mode, insurance, kind, first = loan
        args = ["loan", "--amount", "%.2f" % amount, "--count", str(count), "--rate",
                "%.2f" % annual, "--periodicity", periodicity, "--rate-mode", mode,
                "--insurance", "%.2f" % insurance, "--insurance-type", kind,
                "--first", first.isoformat()]
        result = subprocess.run(list(kvn) + args, capture_output=True, timeout=60)
        try:
            want = expected(*loan)
        except OverflowError:
            want = None
        got = json.loads(result.stdout.decode("utf-8")) if result.returncode == 0 else None
        loans += 1
        refused += want is None
        if got != want or (want is None and result.returncode != 2):
            failures += 1
            print("differs:", " ".join(args), result.stderr.decode("utf-8", "replace"))
            if got:
                for key in ("instalmentWithInsurance", "instalmentWithoutInsurance",
                            "totalCost", "effectiveAnnualRate"):
                    if got[key] != want[key]:
                        print("  %s: kvn %s, expected %s" % (key, got[key], want[key]))
                for mine, theirs in zip(want["rows"], got["rows"]):
                    if mine != theirs:
                        print("  row", mine["number"], "kvn", theirs, "expected", mine)
                        break
    print("%d loans compared (%d refused), %d differ" % (loans, refused, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1:]))

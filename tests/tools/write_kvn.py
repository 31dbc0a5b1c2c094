#!/usr/bin/env python3
"""Writes a Kolvane account file byte by byte from the file layout alone.

This writer shares no code with the program: every record is packed here with
struct (little-endian, 32-bit layout), so reading its file back with `kvn dump`
checks the program's reader against an independent description of the format.

`sample_document()` gives the values, `encode(document)` the file image, and
`expected_dump(document)` what `kvn dump` must print for it (as parsed JSON).

    write_kvn.py FILE        writes the sample file
    write_kvn.py FILE N      the same with N operations, the sample's own
                             ones repeated under new numbers (for timings)
"""

import datetime
import math
import struct
import sys

MAGIC = b"Kolvane "

# Identifier kinds.
CATEGORY = 0x010000
SPLIT = 0x020000
THIRD = 0x040000
ACCOUNT = 0x080000
INITIAL_BALANCE = 0x100000

LOGO_PIXEL_BYTES = 13824  # 96 x 48 pixels, 24 bits, rows of 288 bytes
LOGO_MASK_BYTES = 576  # 96 x 48 pixels, 1 bit, rows of 12 bytes

# Bytes after a text's terminator are part of the record; filling them with
# this makes sure a reader stops at the terminator.
SLACK = 0xA5


def text(value, size):
    """A Windows-1252 text in a char[size] array, terminator then slack."""
    data = value.encode("cp1252")
    assert len(data) < size, value
    return data + b"\0" + bytes([SLACK]) * (size - len(data) - 1)


def file_time(when):
    """Local date and time as 100 ns units since 1601-01-01 (read as UTC)."""
    delta = when - datetime.datetime(1601, 1, 1)
    microseconds = (delta.days * 86400 + delta.seconds) * 1000000 + delta.microseconds
    return microseconds * 10


def date_text(when):
    return when.strftime("%Y-%m-%dT%H:%M:%S.") + "%03d" % (when.microsecond // 1000)


# --- records ------------------------------------------------------------------


def user_bytes(u):
    data = text(u["name"], 40) + u["password"].ljust(24, b"\0")
    data += struct.pack("<III", u["passwordKey"], u["id"], u["flags"])
    assert len(data) == 76
    return data


def mode_bytes(m):
    return text(m["name"], 32) + struct.pack("<HH", m["id"], m["kind"])


def category_bytes(c):
    return text(c["name"], 32) + struct.pack("<HH", c["id"], c["shown"])


def label_bytes(label):
    return text(label["text"], 40) + struct.pack("<I", label["categoryId"])


# The texts of an account in the order of the record, with their array sizes;
# the civility byte stands between the post code and the RIB key.
ACCOUNT_TEXTS = [("name", 40), ("webAddress", 128), ("holderName", 32), ("holderFirstNames", 32),
                 ("address", 40), ("addressComplement", 40), ("city", 32), ("postCode", 6),
                 ("ribKey", 3), ("bankCode", 6), ("branchCode", 6), ("bankName", 40),
                 ("accountNumber", 12), ("domiciliation", 32), ("bic", 32), ("phone", 16)]
TEXT_FIELDS = [name for name, _ in ACCOUNT_TEXTS]


def account_bytes(a):
    texts = [text(a[name], size) for name, size in ACCOUNT_TEXTS]
    data = b"".join(texts[:8]) + struct.pack("<B", a["civility"]) + b"".join(texts[8:])
    data += a["reserved498"]
    assert len(data) == 504
    data += struct.pack(
        "<dddddIIIIHHI",
        a["initialBalance"],
        a["minimumAllowed"],
        a["minimumWanted"],
        a["balance"],
        a["pointedBalance"],
        a["operationCount"],
        a["reserved548"],
        a["id"],
        a["initialOperationId"],
        a["initialPointed"],
        a["active"],
        a["reserved564"],
    )
    assert len(data) == 568
    logo = a["logo"]
    if logo:
        pixels, mask = logo
        data += struct.pack("<I", len(pixels)) + pixels + struct.pack("<I", len(mask)) + mask
    else:
        data += struct.pack("<II", 0, 0)
    return data


def third_bytes(t):
    data = text(t["name"], 40)
    data += struct.pack(
        "<IIddII", t["id"], t["reserved44"], t["initialBalance"], t["balance"],
        t["initialOperationId"], t["operationCount"]
    )
    data += text(t["note"], 128) + struct.pack("<HHI", t["reserved200"], t["active"], t["reserved204"])
    assert len(data) == 208
    return data


def operation_bytes(o, line_count):
    data = struct.pack(
        "<IIdddQQQIIIHH",
        o["partyId"],
        o["counterpartyId"],
        o["amount"],
        o["balanceAfterParty"],
        o["balanceAfterCounterparty"],
        file_time(o["entryDate"]),
        file_time(o["modifiedDate"]),
        file_time(o["operationDate"]),
        o["creatorUserId"],
        o["modifierUserId"],
        o["id"],
        o["modeId"],
        o["pointed"],
    )
    assert len(data) == 72
    # The last word held a memory address when a program wrote it; it means
    # nothing on disk.
    data += text(o["label"], 40) + struct.pack("<II", line_count, 0x0BADF00D)
    assert len(data) == 120
    return data


def encode(doc):
    out = bytearray(MAGIC)
    out += struct.pack("<B", doc["alertsEnabled"])
    for key, pack in (("users", user_bytes), ("modes", mode_bytes), ("categories", category_bytes)):
        out += struct.pack("<I", len(doc[key]))
        for record in doc[key]:
            out += pack(record)
    out += bytes(64)
    out += struct.pack("<I", len(doc["labels"]))
    for label in doc["labels"]:
        out += label_bytes(label)
    out += struct.pack("<I", len(doc["reserved"]))
    for record in doc["reserved"]:
        assert len(record) == 88
        out += record
    out += struct.pack("<I", len(doc["accounts"]))
    for account in doc["accounts"]:
        out += account_bytes(account)
    out += struct.pack("<I", len(doc["thirds"]))
    for third in doc["thirds"]:
        out += third_bytes(third)
    # The count is of operations only; lines follow their operation.
    out += struct.pack("<I", len(doc["operations"]))
    for operation in doc["operations"]:
        lines = operation["lines"]
        out += operation_bytes(operation, len(lines))
        for line in lines:
            out += operation_bytes(line, 0)
    return bytes(out)


# --- the sample ----------------------------------------------------------------


def patterned(size, seed):
    return bytes((i * 31 + seed + (i >> 8)) & 0xFF for i in range(size))


def sample_document(balance_of_first_account=1101.35):
    """Two users, three modes and categories, a label, a reserved record, two
    accounts (the first with a logo, the second masked), a third party and four
    operations, one of them split in two lines.

    Balances by the booking rule (the party gains the amount, the counterparty
    loses it; a split's lines book on their counterparty):
      Compte chèques: 1500.25 - 23.40 - 300.00 - 75.50 = 1101.35,
        ticked 1500.25 - 23.40 = 1476.85 (initial tick on), 4 operations;
      Livret A: + 300.00, nothing ticked, 1 operation;
      Boulangerie Dupont: + 23.40 + 25.00 = 48.40, 2 operations.
    """
    account_a = ACCOUNT | 0
    account_b = ACCOUNT | 3
    third = THIRD | 2
    day = datetime.datetime
    entered = day(2024, 3, 1, 9, 15, 30, 125000)
    changed = day(2024, 3, 2, 18, 0, 0, 999000)

    def operation(**fields):
        record = {
            "balanceAfterParty": 0.0,
            "balanceAfterCounterparty": 0.0,
            "entryDate": entered,
            "modifiedDate": changed,
            "operationDate": entered,
            "creatorUserId": 1,
            "modifierUserId": 2,
            "modeId": 0,
            "pointed": 0,
            "lines": [],
        }
        record.update(fields)
        return record

    split_date = day(2024, 2, 29, 23, 59, 59, 1000)
    split_lines = [
        operation(partyId=SPLIT, counterpartyId=CATEGORY | 0x0001, amount=-50.5, id=7, modeId=2,
                  label="Courses et pain", operationDate=split_date, balanceAfterCounterparty=50.5),
        operation(partyId=SPLIT, counterpartyId=third, amount=-25.0, id=7, modeId=2,
                  label="Courses et pain", operationDate=split_date, balanceAfterCounterparty=48.4),
    ]
    return {
        "alertsEnabled": 0,
        "users": [
            {"name": "Administrateur", "password": bytes([0x5A, 0x61, 0x7E, 0x33, 0x20]),
             "passwordKey": 0x12345678, "id": 1, "flags": 0},
            {"name": "Zoé (limitée)", "password": b"", "passwordKey": 0, "id": 2,
             "flags": 0x80000000 | 0x40000000},
        ],
        "modes": [
            {"name": "DEBIT", "id": 0x0000, "kind": 2},
            {"name": "Chèque émis", "id": 0x0002, "kind": 1},
            {"name": "CREDIT", "id": 0x8000, "kind": 2},
        ],
        "categories": [
            {"name": "Alimentation", "id": 0x0000, "shown": 1},
            {"name": "Supermarché", "id": 0x0001, "shown": 1},
            {"name": "Revenus", "id": 0x8000, "shown": 0},
        ],
        "labels": [{"text": "Boulangerie « Dupont »", "categoryId": CATEGORY | 0x0001}],
        "reserved": [patterned(88, 7)],
        "accounts": [
            {
                "name": "Compte chèques",
                "webAddress": "https://banque.example/accès",
                "holderName": "Durand",
                "holderFirstNames": "Anne Marie",
                "address": "12 rue de l'Église",
                "addressComplement": "Bât. B \\ 2e étage",
                "city": "Saint-Étienne",
                "postCode": "42000",
                "civility": 4,
                "ribKey": "57",
                "bankCode": "30002",
                "branchCode": "00550",
                "bankName": "Banque Exemple",
                "accountNumber": "0000123456A",
                "domiciliation": "Agence Centre",
                "bic": "BEXAFRPP",
                "phone": "04 77 00 00 00",
                "reserved498": bytes([1, 2, 3, 4, 5, 6]),
                "initialBalance": 1500.25,
                "minimumAllowed": -200.0,
                "minimumWanted": 100.0,
                "balance": balance_of_first_account,
                "pointedBalance": 1476.85,
                "operationCount": 4,
                "reserved548": 0xDEADBEEF,
                "id": account_a,
                "initialOperationId": 0,
                "initialPointed": 1,
                "active": 1,
                "reserved564": 7,
                "logo": (patterned(LOGO_PIXEL_BYTES, 1), patterned(LOGO_MASK_BYTES, 2)),
            },
            # Empty texts, no logo, masked, and a bound JSON cannot hold.
            dict({key: "" for key in TEXT_FIELDS}, name="Livret A", civility=0,
                 reserved498=bytes(6), initialBalance=0.0, minimumAllowed=0.0,
                 minimumWanted=math.inf, balance=300.0, pointedBalance=0.0, operationCount=1,
                 reserved548=0, id=account_b, initialOperationId=99, initialPointed=0, active=0,
                 reserved564=0, logo=None),
        ],
        "thirds": [
            {
                "name": "Boulangerie Dupont",
                "id": third,
                "reserved44": 1,
                "initialBalance": 0.0,
                "balance": 48.4,
                "initialOperationId": 98,
                "operationCount": 2,
                "note": 'Ouvert de 7h à 19h\r\n"fermé" le lundi\tsauf fériés',
                "reserved200": 2,
                "active": 1,
                "reserved204": 3,
            }
        ],
        "operations": [
            operation(partyId=account_a, counterpartyId=INITIAL_BALANCE, amount=1500.25, id=0,
                      label="Solde initial", pointed=1, modifierUserId=1,
                      operationDate=day(2000, 1, 1, 9, 15, 30, 125000), balanceAfterParty=1500.25),
            operation(partyId=account_a, counterpartyId=third, amount=-23.4, id=1, modeId=2,
                      pointed=1, label="Pain et croissants",
                      operationDate=day(2024, 3, 15, 8, 30, 0, 250000),
                      balanceAfterParty=1476.85, balanceAfterCounterparty=23.4),
            operation(partyId=account_a, counterpartyId=account_b, amount=-300.0, id=2,
                      modeId=0x8001, label="Épargne mensuelle", operationDate=day(9999, 12, 31),
                      balanceAfterParty=1176.85, balanceAfterCounterparty=300.0),
            operation(partyId=account_a, counterpartyId=SPLIT, amount=-75.5, id=7, modeId=2,
                      label="Courses et pain", operationDate=split_date,
                      balanceAfterParty=1101.35, lines=split_lines),
        ],
    }


# --- what kvn dump must show ---------------------------------------------------


def json_number(value):
    return value if math.isfinite(value) else None


def expected_operation(o, is_line):
    shown = {
        "partyId": o["partyId"],
        "counterpartyId": o["counterpartyId"],
        "amount": json_number(o["amount"]),
        "balanceAfterParty": json_number(o["balanceAfterParty"]),
        "balanceAfterCounterparty": json_number(o["balanceAfterCounterparty"]),
        "entryDate": date_text(o["entryDate"]),
        "modifiedDate": date_text(o["modifiedDate"]),
        "operationDate": date_text(o["operationDate"]),
        "creatorUserId": o["creatorUserId"],
        "modifierUserId": o["modifierUserId"],
        "id": o["id"],
        "modeId": o["modeId"],
        "pointed": o["pointed"],
        "label": o["label"],
        "lineCount": 0 if is_line else len(o["lines"]),
    }
    if not is_line:
        shown["lines"] = [expected_operation(line, True) for line in o["lines"]]
    return shown


def expected_account(a):
    shown = {}
    for key, value in a.items():
        if key == "logo":
            shown["hasLogo"] = value is not None
        elif key == "reserved498":
            shown[key] = value.hex()
        elif isinstance(value, float):
            shown[key] = json_number(value)
        else:
            shown[key] = value
    return shown


def expected_dump(doc):
    operations = doc["operations"]
    return {
        "alertsEnabled": doc["alertsEnabled"],
        # Rebuilt on reading: one more than the largest number in use.
        "nextOperationId": max(o["id"] for o in operations) + 1,
        "nextAccountNumber": max(a["id"] & 0xFFFF for a in doc["accounts"]) + 1,
        "nextThirdNumber": max(t["id"] & 0xFFFF for t in doc["thirds"]) + 1,
        "users": [
            {"name": u["name"], "id": u["id"], "flags": u["flags"],
             "passwordKey": u["passwordKey"], "hasPassword": len(u["password"]) > 0}
            for u in doc["users"]
        ],
        "modes": [dict(m) for m in doc["modes"]],
        "categories": [dict(c) for c in doc["categories"]],
        "labels": [dict(label) for label in doc["labels"]],
        "reserved": [{"bytes": r.hex()} for r in doc["reserved"]],
        "accounts": [expected_account(a) for a in doc["accounts"]],
        "thirds": [{k: json_number(v) if isinstance(v, float) else v for k, v in t.items()}
                   for t in doc["thirds"]],
        "operations": [expected_operation(o, False) for o in operations],
    }


def repeated_document(count):
    doc = sample_document()
    pattern = doc["operations"]
    doc["operations"] = [dict(pattern[i % len(pattern)], id=i) for i in range(count)]
    return doc


def main(argv):
    if len(argv) not in (2, 3) or (len(argv) == 3 and not argv[2].isdigit()):
        print("usage: write_kvn.py FILE [OPERATIONS]", file=sys.stderr)
        return 2
    doc = sample_document() if len(argv) == 2 else repeated_document(int(argv[2]))
    with open(argv[1], "wb") as f:
        f.write(encode(doc))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Writes the seed files of the account-file fuzzer into fuzz/corpus.

The files are built here field by field, independently of the program's own
writer, so the unit tests that replay the corpus also check that the loader
reads what the format says. Keep the seeds small: they are committed.

    python3 fuzz/make_corpus.py            # (re)writes fuzz/corpus/seed-*.kvn
"""
import datetime
import pathlib
import struct

ACCOUNT, THIRD, CATEGORY, SPLIT, INITIAL = 0x080000, 0x040000, 0x010000, 0x020000, 0x100000


def text(size, value, fill=b"\0"):
    data = value.encode("cp1252") + b"\0"
    assert len(data) <= size, value
    return data + fill * (size - len(data))


def user(name, uid, flags=0, password=""):
    return text(40, name) + text(24, password) + struct.pack("<III", 0, uid, flags)


def mode(name, mid, kind):
    return text(32, name) + struct.pack("<HH", mid, kind)


def category(name, cid, shown=1):
    return text(32, name) + struct.pack("<HH", cid, shown)


def label(value, cid):
    return text(40, value) + struct.pack("<I", cid)


def account(name, number, balance=0.0, initial_operation=0, logo=False, active=1):
    record = (
        text(40, name)
        + text(128, "https://banque.example/")
        + text(32, "Durand")
        + text(32, "Anaïs")
        + text(40, "3 rue Haute")
        + text(40, "")
        + text(32, "Orléans")
        + text(6, "45000")
        + bytes([2])
        + text(3, "97")
        + text(6, "30004")
        + text(6, "00123")
        + text(40, "Banque du Centre")
        + text(12, "0001234567")
        + text(32, "Orléans")
        + text(32, "BQCEFRPP")
        + text(16, "0238000000")
        + bytes(6)
        + struct.pack("<5d", balance, -100.0, 50.0, balance, 0.0)
        + struct.pack("<IIIIHHI", 1, 0, ACCOUNT | number, initial_operation, 0, active, 0)
    )
    assert len(record) == 568
    if logo:
        pixels = bytes((i * 7) & 0xFF for i in range(13824))
        mask = bytes((255 - i) & 0xFF for i in range(576))
        return record + struct.pack("<I", 13824) + pixels + struct.pack("<I", 576) + mask
    return record + struct.pack("<II", 0, 0)


def third(name, number, balance=0.0, note=""):
    record = (
        text(40, name)
        + struct.pack("<II2dII", THIRD | number, 0, balance, balance, 0, 1)
        + text(128, note)
        + struct.pack("<HHI", 0, 1, 0)
    )
    assert len(record) == 208
    return record


# 2024-03-15 09:30 local time, as a file time (100 ns units since 1601-01-01).
WHEN = (datetime.datetime(2024, 3, 15, 9, 30) - datetime.datetime(1601, 1, 1)) // datetime.timedelta(
    microseconds=1) * 10


def operation(party, counterparty, amount, oid, label_text="", line_count=0, pointed=0, mode_id=1):
    record = struct.pack(
        "<II3d3QIIIHH", party, counterparty, amount, 0.0, 0.0, WHEN, WHEN, WHEN, 1, 1, oid,
        mode_id, pointed,
    ) + text(40, label_text) + struct.pack("<II", line_count, 0)
    assert len(record) == 120
    return record


def split(party, oid, label_text, parts):
    total = sum(amount for _, amount in parts)
    out = operation(party, SPLIT, total, oid, label_text, len(parts))
    for counterparty, amount in parts:
        out += operation(SPLIT, counterparty, amount, oid, label_text)
    return out


def account_file(users=(), modes=(), categories=(), labels=(), reserved=(), accounts=(),
                 thirds=(), operations=(), flag=1):
    out = b"Kolvane " + bytes([flag])
    for records in (users, modes, categories):
        out += struct.pack("<I", len(records)) + b"".join(records)
    out += bytes(64)
    for records in (labels, reserved, accounts, thirds):
        out += struct.pack("<I", len(records)) + b"".join(records)
    out += struct.pack("<I", len(operations)) + b"".join(operations)
    return out


def seeds():
    yield "seed-empty.kvn", account_file()
    yield "seed-new-file.kvn", account_file(
        users=[user("Nouvel utilisateur", 1)],
        modes=[mode("DEBIT", 0, 2), mode("Carte de paiement", 1, 1), mode("CREDIT", 0x8000, 2),
               mode("Virement reçu", 0x8001, 1)],
        categories=[category("Alimentation", 0), category("Supermarché", 1),
                    category("Revenus", 0x8000)],
        accounts=[account("Compte courant", 0, 250.0)],
        operations=[operation(ACCOUNT, INITIAL, 250.0, 0, "Solde initial")],
    )
    yield "seed-splits.kvn", account_file(
        users=[user("Marie", 1), user("Paul", 2, flags=0x80000000, password="x")],
        modes=[mode("Chèque émis", 2, 1)],
        categories=[category("Logement", 0x0100), category("Loyer", 0x0101),
                    category("Eau", 0x0103, shown=0)],
        labels=[label("Boulangerie", CATEGORY | 1), label("Loyer", CATEGORY | 0x0101)],
        reserved=[bytes(range(88))],
        accounts=[account("Courant", 0, 1000.0, 0), account("Livret", 3, 50.0, 1, active=0)],
        thirds=[third("EDF", 0, -20.0, "Contrat\r\nélectricité")],
        operations=[
            operation(ACCOUNT, INITIAL, 1000.0, 0, "Solde initial"),
            operation(ACCOUNT | 3, INITIAL, 50.0, 1, "Solde initial", pointed=1),
            operation(THIRD, INITIAL, -20.0, 2, "Solde initial"),
            operation(ACCOUNT | 3, ACCOUNT, 100.0, 3, "Virement"),
            split(ACCOUNT, 4, "Courses", [(CATEGORY | 1, -40.0), (THIRD, -35.5),
                                          (ACCOUNT | 3, -24.5)]),
            split(ACCOUNT | 3, 5, "Loyer", [(CATEGORY | 0x0101, -500.0)]),
            operation(ACCOUNT, SPLIT, -12.0, 6, "En attente"),
        ],
    )
    yield "seed-logo.kvn", account_file(
        users=[user("Nouvel utilisateur", 1)],
        accounts=[account("Avec logo", 0, 10.0, 0, logo=True)],
        operations=[operation(ACCOUNT, INITIAL, 10.0, 0, "Solde initial", pointed=1)],
        flag=0,
    )


def main():
    folder = pathlib.Path(__file__).resolve().parent / "corpus"
    folder.mkdir(exist_ok=True)
    total = 0
    for name, data in seeds():
        (folder / name).write_bytes(data)
        total += len(data)
        print(f"{name}: {len(data)} bytes")
    assert total < 50 * 1024, total


if __name__ == "__main__":
    main()

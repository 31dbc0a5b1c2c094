// A small file for the register and booking tests, with every kind of row,
// its balances worked out by hand:
//
//   A "Compte A"  initial 1 000.00           B "Compte B"  initial 500.00
//   C "Compte C"  initial -20.00 (nothing else)    T third party "Martin"
//
//   id date        party counterparty        amount   seen from A
//    4 05/03/2024  A     Supermarché         -12.50   debit 12.50, ticked
//    5 01/03/2024  B     A                  -100.00   credit 100.00 (transfer from B)
//    6 10/03/2024  B     Split               -80.00   line -60.00 to A: credit 60.00,
//                                                      line -20.00 to Cantine
//    7 20/02/2024  A     Split (no lines)    -30.00   debit 30.00 "(en attente)"
//    8 07/03/2024  A     T                   +45.00   credit 45.00
//
// A: 1 000 - 12.50 + 100 + 60 - 30 + 45 = 1 162.50, ticked -12.50, 6 operations.
// B: 500 - 100 - 80 = 320.00, 3 operations. T: -45.00, 2 operations.
#pragma once

#include "document/calendar.h"
#include "document/document.h"
#include "document/text.h"

#include <string>

namespace kolvane::sample {

inline FileTime date(int year, int month, int day, int hour = 12) {
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    return toFileTime(time);
}

struct RegisterSample {
    AccountRecord* a = nullptr;
    AccountRecord* b = nullptr;
    AccountRecord* c = nullptr;
    ThirdRecord* third = nullptr;
    OperationRecord* ticked = nullptr;   // id 4
    OperationRecord* transfer = nullptr; // id 5
    OperationRecord* split = nullptr;    // id 6
    OperationRecord* waiting = nullptr;  // id 7
    OperationRecord* refund = nullptr;   // id 8
};

inline OperationRecord* addRecord(Document& doc, PartyId party, PartyId counterparty, double amount,
                                  FileTime when, std::uint16_t mode, const char* label) {
    OperationRecord record{};
    record.partyId = party;
    record.counterpartyId = counterparty;
    record.amount = amount;
    record.operationDate = record.entryDate = record.modifiedDate = when;
    record.creatorUserId = record.modifierUserId = 1;
    record.id = doc.nextOperationId++;
    record.modeId = mode;
    setFieldUtf8(record.label, label);
    return doc.operations.append(record);
}

// A ventilation line of `amount` to `to`, as the ventilation editor makes it.
inline VentilationLine line(PartyId to, double amount) {
    VentilationLine l{};
    l.partyId = Split;
    l.counterpartyId = to;
    l.amount = amount;
    return l;
}

inline RegisterSample buildRegisterSample(Document& doc) {
    documentInit(doc);
    RegisterSample s;
    s.a = createAccount(doc, "Compte A", 1000.0);
    s.b = createAccount(doc, "Compte B", 500.0);
    if (!addDefaultUser(doc) || !addDefaultModes(doc) || !addDefaultCategories(doc))
        return s; // out of memory: the checks on the sample fail

    ThirdRecord third{};
    setFieldUtf8(third.name, "Martin");
    third.id = makePartyId(Third, doc.nextThirdNumber++);
    third.active = 1;
    third.operationCount = 1;
    s.third = doc.thirds.append(third);
    OperationRecord* initial =
        addRecord(doc, third.id, InitialBalance, 0.0, date(2000, 1, 1), 0, "Solde initial");
    s.third->initialOperationId = initial->id;
    s.c = createAccount(doc, "Compte C", -20.0);

    const PartyId a = s.a->id, b = s.b->id;
    s.ticked = addRecord(doc, a, Category | 0x0001, -12.50, date(2024, 3, 5), 0x0001, "Courses");
    s.ticked->pointed = 1;
    s.transfer = addRecord(doc, b, a, -100.0, date(2024, 3, 1), 0x0003, "Virement");
    s.split = addRecord(doc, b, Split, -80.0, date(2024, 3, 10), 0x0001, "Partage");
    s.split->lines = new OperationList;
    for (auto [to, part] : {std::pair{a, -60.0}, std::pair{PartyId(Category | 0x0002), -20.0}}) {
        VentilationLine line = *s.split;
        line.partyId = Split;
        line.counterpartyId = to;
        line.amount = part;
        line.lines = nullptr;
        s.split->lines->append(line);
    }
    s.split->lineCount = 2;
    s.waiting = addRecord(doc, a, Split, -30.0, date(2024, 2, 20), 0x0001, "Divers");
    s.refund = addRecord(doc, a, third.id, 45.0, date(2024, 3, 7), 0x8003, "Avoir");

    s.a->balance = 1162.50;
    s.a->pointedBalance = -12.50;
    s.a->operationCount = 6;
    s.b->balance = 320.0;
    s.b->operationCount = 3;
    s.third->balance = -45.0;
    s.third->operationCount = 2;
    doc.currentAccount = s.a;
    doc.sortOrder = 0;
    doc.isOpen = 1;
    return s;
}

} // namespace kolvane::sample

// The fields of each record as the account file holds them, in file order.
// One list per record serves the reader and the writer of the file and the
// dump of `kvn`: a field added or moved here is read, written and shown alike.
//
// The file is little-endian and every field keeps its file size in memory,
// so a field is copied as it lies. Fields that follow each other both in the
// file and in the record are copied as one run; the runs are worked out at
// compile time, and an operation so costs one copy of 116 bytes to read.
#pragma once

#include "records.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <utility>

namespace kolvane {

static_assert(std::endian::native == std::endian::little,
              "fields are copied as the little-endian file holds them");

enum class FieldKind : std::uint8_t {
    Text,   // Windows-1252, NUL-terminated inside its array
    Bytes,  // reserved bytes, kept as they were read
    Secret, // the scrambled password: shown only as present or not
    Number, // an unsigned integer of the field's size
    Date,   // a FileTime
    Amount, // a double
    Unused, // file bytes with no field in memory: written as zeros, skipped when read
};

struct RecordField {
    const char* name;
    std::size_t offset; // in the record in memory; 0 for unused bytes
    std::size_t size;   // in the file and in memory
    FieldKind kind;
};

template <class Record> struct RecordFields;

#define KOLVANE_FIELD(Record, member, kind)                                                    \
    RecordField {                                                                              \
        #member, offsetof(Record, member), sizeof(Record::member), FieldKind::kind             \
    }

template <> struct RecordFields<UserRecord> {
    static constexpr std::size_t fileSize = kUserFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(UserRecord, name, Text),         KOLVANE_FIELD(UserRecord, password, Secret),
        KOLVANE_FIELD(UserRecord, passwordKey, Number), KOLVANE_FIELD(UserRecord, id, Number),
        KOLVANE_FIELD(UserRecord, flags, Number),
    };
};

template <> struct RecordFields<ModeRecord> {
    static constexpr std::size_t fileSize = kModeFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(ModeRecord, name, Text),
        KOLVANE_FIELD(ModeRecord, id, Number),
        KOLVANE_FIELD(ModeRecord, kind, Number),
    };
};

template <> struct RecordFields<CategoryRecord> {
    static constexpr std::size_t fileSize = kCategoryFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(CategoryRecord, name, Text),
        KOLVANE_FIELD(CategoryRecord, id, Number),
        KOLVANE_FIELD(CategoryRecord, shown, Number),
    };
};

template <> struct RecordFields<LabelRecord> {
    static constexpr std::size_t fileSize = kLabelFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(LabelRecord, text, Text),
        KOLVANE_FIELD(LabelRecord, categoryId, Number),
    };
};

template <> struct RecordFields<ReservedRecord> {
    static constexpr std::size_t fileSize = kReservedFileSize;
    static constexpr RecordField list[] = {KOLVANE_FIELD(ReservedRecord, bytes, Bytes)};
};

template <> struct RecordFields<ThirdRecord> {
    static constexpr std::size_t fileSize = kThirdFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(ThirdRecord, name, Text),
        KOLVANE_FIELD(ThirdRecord, id, Number),
        KOLVANE_FIELD(ThirdRecord, reserved44, Number),
        KOLVANE_FIELD(ThirdRecord, initialBalance, Amount),
        KOLVANE_FIELD(ThirdRecord, balance, Amount),
        KOLVANE_FIELD(ThirdRecord, initialOperationId, Number),
        KOLVANE_FIELD(ThirdRecord, operationCount, Number),
        KOLVANE_FIELD(ThirdRecord, note, Text),
        KOLVANE_FIELD(ThirdRecord, reserved200, Number),
        KOLVANE_FIELD(ThirdRecord, active, Number),
        KOLVANE_FIELD(ThirdRecord, reserved204, Number),
    };
};

template <> struct RecordFields<AccountRecord> {
    static constexpr std::size_t fileSize = kAccountFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(AccountRecord, name, Text),
        KOLVANE_FIELD(AccountRecord, webAddress, Text),
        KOLVANE_FIELD(AccountRecord, holderName, Text),
        KOLVANE_FIELD(AccountRecord, holderFirstNames, Text),
        KOLVANE_FIELD(AccountRecord, address, Text),
        KOLVANE_FIELD(AccountRecord, addressComplement, Text),
        KOLVANE_FIELD(AccountRecord, city, Text),
        KOLVANE_FIELD(AccountRecord, postCode, Text),
        KOLVANE_FIELD(AccountRecord, civility, Number),
        KOLVANE_FIELD(AccountRecord, ribKey, Text),
        KOLVANE_FIELD(AccountRecord, bankCode, Text),
        KOLVANE_FIELD(AccountRecord, branchCode, Text),
        KOLVANE_FIELD(AccountRecord, bankName, Text),
        KOLVANE_FIELD(AccountRecord, accountNumber, Text),
        KOLVANE_FIELD(AccountRecord, domiciliation, Text),
        KOLVANE_FIELD(AccountRecord, bic, Text),
        KOLVANE_FIELD(AccountRecord, phone, Text),
        KOLVANE_FIELD(AccountRecord, reserved498, Bytes),
        KOLVANE_FIELD(AccountRecord, initialBalance, Amount),
        KOLVANE_FIELD(AccountRecord, minimumAllowed, Amount),
        KOLVANE_FIELD(AccountRecord, minimumWanted, Amount),
        KOLVANE_FIELD(AccountRecord, balance, Amount),
        KOLVANE_FIELD(AccountRecord, pointedBalance, Amount),
        KOLVANE_FIELD(AccountRecord, operationCount, Number),
        KOLVANE_FIELD(AccountRecord, reserved548, Number),
        KOLVANE_FIELD(AccountRecord, id, Number),
        KOLVANE_FIELD(AccountRecord, initialOperationId, Number),
        KOLVANE_FIELD(AccountRecord, initialPointed, Number),
        KOLVANE_FIELD(AccountRecord, active, Number),
        KOLVANE_FIELD(AccountRecord, reserved564, Number),
    };
};

// Ventilation lines share this layout.
template <> struct RecordFields<OperationRecord> {
    static constexpr std::size_t fileSize = kOperationFileSize;
    static constexpr RecordField list[] = {
        KOLVANE_FIELD(OperationRecord, partyId, Number),
        KOLVANE_FIELD(OperationRecord, counterpartyId, Number),
        KOLVANE_FIELD(OperationRecord, amount, Amount),
        KOLVANE_FIELD(OperationRecord, balanceAfterParty, Amount),
        KOLVANE_FIELD(OperationRecord, balanceAfterCounterparty, Amount),
        KOLVANE_FIELD(OperationRecord, entryDate, Date),
        KOLVANE_FIELD(OperationRecord, modifiedDate, Date),
        KOLVANE_FIELD(OperationRecord, operationDate, Date),
        KOLVANE_FIELD(OperationRecord, creatorUserId, Number),
        KOLVANE_FIELD(OperationRecord, modifierUserId, Number),
        KOLVANE_FIELD(OperationRecord, id, Number),
        KOLVANE_FIELD(OperationRecord, modeId, Number),
        KOLVANE_FIELD(OperationRecord, pointed, Number),
        KOLVANE_FIELD(OperationRecord, label, Text),
        KOLVANE_FIELD(OperationRecord, lineCount, Number),
        RecordField{"", 0, 4, FieldKind::Unused}, // where the lines hang in memory
    };
    // Where `lineCount` lies in the file: the writer puts the true count there.
    static constexpr std::size_t lineCountAt = offsetof(OperationRecord, lineCount);
};

#undef KOLVANE_FIELD

// --- runs of fields copied in one piece ---------------------------------------

struct FieldRun {
    std::size_t offset;     // in memory
    std::size_t fileOffset; // in the record's bytes in the file
    std::size_t size;
    bool unused;
};

template <class Record> struct FieldRuns {
    static constexpr auto& fields = RecordFields<Record>::list;
    static constexpr std::size_t maxRuns = std::size(fields);

    struct Table {
        std::array<FieldRun, maxRuns> runs{};
        std::size_t count = 0;
        std::size_t fileSize = 0;
    };

    static constexpr Table make() {
        Table table;
        for (const RecordField& field : fields) {
            const bool unused = field.kind == FieldKind::Unused;
            FieldRun* last = table.count ? &table.runs[table.count - 1] : nullptr;
            if (last && last->unused == unused &&
                (unused || last->offset + last->size == field.offset))
                last->size += field.size;
            else
                table.runs[table.count++] = {field.offset, table.fileSize, field.size, unused};
            table.fileSize += field.size;
        }
        return table;
    }
    static constexpr Table table = make();
    static_assert(table.fileSize == RecordFields<Record>::fileSize,
                  "a record's fields add up to its size in the file");

    // Record -> file bytes (`out` holds the record's file size).
    static void store(const Record& record, std::uint8_t* out) {
        storeRuns(record, out, std::make_index_sequence<table.count>());
    }
    // File bytes -> record; memory-only fields are left as they were.
    static void load(const std::uint8_t* in, Record& record) {
        loadRuns(in, record, std::make_index_sequence<table.count>());
    }

  private:
    template <std::size_t... I>
    static void storeRuns(const Record& record, std::uint8_t* out, std::index_sequence<I...>) {
        const auto* from = reinterpret_cast<const std::uint8_t*>(&record);
        (
            [&] {
                constexpr FieldRun run = table.runs[I];
                if constexpr (run.unused)
                    std::memset(out + run.fileOffset, 0, run.size);
                else
                    std::memcpy(out + run.fileOffset, from + run.offset, run.size);
            }(),
            ...);
    }
    template <std::size_t... I>
    static void loadRuns(const std::uint8_t* in, Record& record, std::index_sequence<I...>) {
        auto* to = reinterpret_cast<std::uint8_t*>(&record);
        (
            [&] {
                constexpr FieldRun run = table.runs[I];
                if constexpr (!run.unused)
                    std::memcpy(to + run.offset, in + run.fileOffset, run.size);
            }(),
            ...);
    }
};

} // namespace kolvane

#include "mode_rules.h"

#include "document/text.h"

#include <algorithm>

namespace kolvane {
namespace {

bool sameSide(std::uint16_t a, std::uint16_t b) {
    return isCreditMode(a) == isCreditMode(b);
}

bool isUsableMode(const ModeRecord& record) {
    return record.kind == 1;
}

std::string quoted(const ModeRecord& mode) {
    return "« " + cp1252ToUtf8(fieldText(mode.name)) + " »";
}

std::string usedBy(int count, const ModeRecord& mode) {
    std::string text(" ");
    text += std::to_string(count);
    text += count == 1 ? " opération utilise " : " opérations utilisent ";
    text += quoted(mode);
    return text;
}

} // namespace

ModePlan planModeAddition(const ModeList& modes, std::string_view name, bool credit) {
    ModePlan plan;
    const std::string_view text = name.substr(0, kModeNameLimit);
    if (text.find_first_not_of(' ') == std::string_view::npos)
        return plan;
    const std::uint16_t side = credit ? kCreditBit : 0;
    int highest = 0;
    bool inDebitBlock = true;
    for (ModeRecord& record : modes) {
        if (!sameSide(record.id, side))
            continue;
        if (equalNoCase(fieldText(record.name), text)) {
            plan.status = ModePlanStatus::Exists;
            return plan;
        }
        highest = std::max(highest, record.id & 0x7FFF);
    }
    // A debit mode ends the debit block, before the first credit record; a
    // credit mode ends the list.
    if (credit) {
        plan.after = modes.last();
    } else {
        for (ModeRecord& record : modes) {
            inDebitBlock = inDebitBlock && !isCreditMode(record.id);
            if (inDebitBlock)
                plan.after = &record;
        }
    }
    if (highest >= 0x7FFF) {
        plan.status = ModePlanStatus::Full;
        plan.after = nullptr;
        return plan;
    }
    setFieldText(plan.record.name, text);
    plan.record.id = static_cast<std::uint16_t>(side | (highest + 1));
    plan.record.kind = 1;
    plan.status = ModePlanStatus::Ready;
    return plan;
}

int countOperationsWithMode(const OperationList& operations, std::uint16_t modeId) {
    int count = 0;
    for (const OperationRecord& operation : operations)
        if (operation.modeId == modeId)
            ++count;
    return count;
}

ModeRecord* replacementMode(const ModeList& modes, const ModeRecord* mode) {
    if (!mode || !isUsableMode(*mode))
        return nullptr;
    for (ModeRecord* before = modes.previous(mode); before; before = modes.previous(before))
        if (isUsableMode(*before) && sameSide(before->id, mode->id))
            return before;
    for (ModeRecord* after = modes.next(mode); after; after = modes.next(after))
        if (isUsableMode(*after) && sameSide(after->id, mode->id))
            return after;
    return nullptr;
}

ModeWithdrawal modeWithdrawal(const Document& doc, const ModeRecord* mode) {
    if (!mode || !isUsableMode(*mode))
        return ModeWithdrawal::Header;
    if (countOperationsWithMode(doc.operations, mode->id) == 0)
        return ModeWithdrawal::Allowed;
    return replacementMode(doc.modes, mode) ? ModeWithdrawal::MoveFirst : ModeWithdrawal::Refused;
}

std::string moveModeQuestion(int count, const ModeRecord& mode, const ModeRecord& target) {
    return usedBy(count, mode) + ".\n Les reporter sur " + quoted(target) + " ? ";
}

std::string modeInUseText(int count, const ModeRecord& mode) {
    return usedBy(count, mode) + ", seul mode de son côté :\n il ne peut pas être supprimé . ";
}

ModeMove modeMove(const ModeList& modes, ModeRecord* mode, bool up) {
    ModeMove move;
    if (!mode || !isUsableMode(*mode))
        return move;
    if (up) {
        ModeRecord* before = modes.previous(mode);
        if (!before || !isUsableMode(*before) || !sameSide(before->id, mode->id))
            return move;
        move.after = modes.previous(before);
    } else {
        ModeRecord* after = modes.next(mode);
        if (!after || !isUsableMode(*after) || !sameSide(after->id, mode->id))
            return move;
        move.after = after;
    }
    move.ok = true;
    return move;
}

Refusal modeRefusal(ModePlanStatus status) {
    switch (status) {
    case ModePlanStatus::Ready:
        return {};
    case ModePlanStatus::NoName:
        return {RefusalMessage::EnterModeName, RefusalField::ModeName};
    case ModePlanStatus::Exists:
        return {RefusalMessage::ModeExists, RefusalField::ModeName};
    case ModePlanStatus::Full:
        return {RefusalMessage::ModesFull, RefusalField::ModeName};
    }
    return {};
}

} // namespace kolvane

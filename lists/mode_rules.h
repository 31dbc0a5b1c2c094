// The modes of transaction as their editor keeps them: two side headers
// (kind 2, "DEBIT" 0x0000 and "CREDIT" 0x8000), each followed by the modes
// of its side (kind 1); bit 15 of `id` marks the credit side and the low bits
// number the modes within it. A mode leaves the list only when no operation
// uses it any more. Texts are Windows-1252.
#pragma once

#include "document/document.h"
#include "document/refusal.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

// Messages of the mode editor (UTF-8).
inline constexpr const char* kDebitSideText = " Débit";
inline constexpr const char* kCreditSideText = " Crédit";

inline constexpr std::size_t kModeNameLimit = 31;

inline bool isCreditMode(std::uint16_t id) {
    return (id & kCreditBit) != 0;
}

enum class ModePlanStatus { Ready, NoName, Exists, Full };
// What the editor says of a plan that is not ready (the focus on the name).
Refusal modeRefusal(ModePlanStatus status);

// "Ajouter": the new mode goes after `after` (at the front when null).
struct ModePlan {
    ModePlanStatus status = ModePlanStatus::NoName;
    ModeRecord* after = nullptr;
    ModeRecord record{};
};

// A new mode of side `credit`: numbered one past the highest number of its
// side, placed at the end of its side's block. A name already used on that
// side (ignoring case) is refused.
ModePlan planModeAddition(const ModeList& modes, std::string_view name, bool credit);

// Operations (ventilation lines apart: they follow their operation) whose
// mode is `modeId`.
int countOperationsWithMode(const OperationList& operations, std::uint16_t modeId);

// The mode that takes the operations of a withdrawn `mode`: the nearest mode
// of the same side, the one before it first; null when it is its side's only mode.
ModeRecord* replacementMode(const ModeList& modes, const ModeRecord* mode);

enum class ModeWithdrawal {
    Allowed,   // no operation uses it
    MoveFirst, // its operations must move to `replacementMode` (the question)
    Refused,   // used, and no other mode of its side to take them
    Header,    // a side header is not a mode
};
ModeWithdrawal modeWithdrawal(const Document& doc, const ModeRecord* mode);
// " 3 opérations utilisent « Tip ».\n Les reporter sur « Prélèvement » ? " (UTF-8)
std::string moveModeQuestion(int count, const ModeRecord& mode, const ModeRecord& target);
// " 2 opérations utilisent « Tip », seul mode de son côté :\n il ne peut pas être supprimé . "
std::string modeInUseText(int count, const ModeRecord& mode);

// The record the mode would go after when moved one place up (or down)
// within its side; `ok` false when it is already first (or last) there.
struct ModeMove {
    bool ok = false;
    ModeRecord* after = nullptr;
};
ModeMove modeMove(const ModeList& modes, ModeRecord* mode, bool up);

} // namespace kolvane

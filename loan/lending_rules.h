// What "Calculer" checks before a loan is computed, in the order the user
// reads the form, and the texts of the amortisation table's cells.
#pragma once

#include "document/choice_lists.h"
#include "document/refusal.h"
#include "document/row_model.h"
#include "loan/lending.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

// Beyond these the table would be unreadable or its cents could no longer be
// rounded (amounts are rounded through 32-bit integers of thousandths).
inline constexpr std::int32_t kMaxInstalments = 1200;
inline constexpr double kLargestLoanAmount = 2147483.64;
inline constexpr double kMaxLoanPercent = 100.0;

// The form as read from its fields; amounts keep the sign they were typed with.
struct LendingForm {
    FileTime releaseDate = 0;
    FileTime firstInstalmentDate = 0;
    double amount = 0.0;
    std::string countText; // digits
    double annualRate = 0.0;
    double insurance = 0.0;
    Periodicity periodicity = Periodicity::Monthly;
    RateMode rateMode = RateMode::Proportional;
    InsuranceType insuranceType = InsuranceType::Value;
};

struct LendingDecision {
    Refusal refusal; // the message and the field that gets the focus
    LendingParameters parameters; // as computed, when accepted
    LendingSchedule schedule;
};

// Checks the form and, when it passes, computes the loan. The first failing
// check decides.
LendingDecision decideLending(const LendingForm& form);

// The count typed in the instalments field: 0 when it is empty or not a
// whole number, kMaxInstalments + 1 for anything larger than allowed.
std::int32_t parseInstalmentCount(std::string_view text);

// The form's drop-down lists, the first entry selected; item data = the value.
ChoiceList periodicityChoices();   // "Mensuel" ... "Annuel"
ChoiceList rateModeChoices();      // "Proportionnel", "Equivalent"
ChoiceList insuranceTypeChoices(); // "En valeur", "En pourcentage fixe", "... proportionnel"

// --- The table as the view draws it -----------------------------------------

inline constexpr int kLendingColumnCount = 7;

// Column 0 the number, 1 the date, 2 to 5 interest, principal, insurance and
// instalment, 6 the remaining capital. The opening row shows only its number
// and the amount borrowed.
std::string lendingCellText(const LendingRow& row, int column);

// December rows are drawn on a pale blue; the opening row never is.
bool isDecemberRow(const LendingRow& row);

// Row colours (0x00BBGGRR): December rows, then the others.
inline constexpr std::uint32_t kDecemberRowBackground = 0xFFF5F0; // 240, 245, 255
inline constexpr std::uint32_t kDecemberRowText = 0xC85A5A;       // 90, 90, 200
inline constexpr std::uint32_t kLendingRowBackground = 0xFFFFFF;
inline constexpr std::uint32_t kLendingRowText = 0x960000; // 0, 0, 150

// The table for a list view; the schedule must outlive it.
class LendingRows : public RowModel {
  public:
    explicit LendingRows(const LendingSchedule& schedule) : schedule_(schedule) {}
    int rowCount() const override { return static_cast<int>(schedule_.rows.size()); }
    std::string cellText(int row, int column) const override;
    RowLook rowLook(int row) const override;

  private:
    const LendingSchedule& schedule_;
};

// The last column ("Capital dû") fills a list whose client area is wider
// than 659 pixels; otherwise it keeps 110.
int lendingLastColumnWidth(int listClientWidth);

} // namespace kolvane

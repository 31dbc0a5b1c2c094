#include "synthesis_model.h"

#include "document/amounts.h"
#include "document/text.h"
#include "resources/resource_ids.h"

namespace kolvane {

std::vector<SynthesisRow> synthesisRows(const Document& doc) {
    std::vector<SynthesisRow> rows;
    for (AccountRecord& account : doc.accounts) {
        if (!isAccount(account.id) || !account.active)
            continue;
        rows.push_back(SynthesisRow{&account, accountIndex(doc, &account, 1),
                                    std::string(fieldText(account.name)),
                                    formatAmount(account.balance)});
    }
    return rows;
}

SynthesisCells synthesisCells(int rowLeft, int rowTop, int logoWidth, int textWidth) {
    // Each column's text box runs from its left edge + 6 to its right edge - 4;
    // the second one is cut in 36ths.
    const int left = rowLeft + logoWidth + 6;
    const int width = textWidth - 10;
    auto part = [&](int n) { return n * width / 36; };
    SynthesisCells cells{};
    cells.logoX = 10;
    cells.logoY = rowTop + 2;
    cells.caption = {left, left + part(5), true};
    cells.name = {left + part(5), left + part(5) + part(15), false};
    cells.balanceCaption = {left + part(20), left + part(20) + part(8), true};
    cells.balance = {left + part(28), left + part(28) + part(7), true};
    return cells;
}

SynthesisClick synthesisClick(const std::vector<SynthesisRow>& rows, int row, bool doubleClick) {
    const bool hit = row >= 0 && row < static_cast<int>(rows.size());
    SynthesisClick click{hit ? row : -1, hit, 0};
    if (hit && doubleClick && rows[static_cast<std::size_t>(row)].position != -1)
        click.command = kOpenAccountCommand + rows[static_cast<std::size_t>(row)].position;
    return click;
}

WebPage openWebPage(const SynthesisRow& row) {
    const std::string_view address = fieldText(row.account->webAddress);
    if (address.empty())
        return WebPage{IDS_NO_WEB_ADDRESS, std::string()};
    return WebPage{0, std::string(address)};
}

} // namespace kolvane

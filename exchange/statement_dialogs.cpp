#include "exchange/statement_dialogs.h"

#include "document/calendar.h"
#include "document/choice_lists.h"
#include "document/file_system.h"
#include "document/text.h"
#include "exchange/import_preview.h"
#include "exchange/statement_export.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/list_view.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <algorithm>
#include <array>
#include <optional>

namespace kolvane {

const win::FileChoice kOpenStatement{
    false, L"Importer un relevé",
    L"Relevés bancaires (*.ofx;*.qfx;*.qif;*.csv)\0*.ofx;*.qfx;*.qif;*.csv\0"
    L"OFX (*.ofx;*.qfx)\0*.ofx;*.qfx\0QIF (*.qif)\0*.qif\0CSV (*.csv)\0*.csv\0",
    L"ofx"};
const win::FileChoice kSaveExport{
    true, L"Exporter le compte",
    L"Ce compte en CSV (*.csv)\0*.csv\0Ce compte en QIF (*.qif)\0*.qif\0"
    L"Tous les comptes en CSV (*.csv)\0*.csv\0Tous les comptes en QIF (*.qif)\0*.qif\0",
    L"csv"};

namespace {

// The preview's list. For a CSV file the rows are read again each time the
// user gives a column another role.
struct PreviewDialog : win::DialogObject<PreviewDialog> {
    const Document* doc = nullptr;
    ImportPreview* preview = nullptr;
    const std::vector<std::uint8_t>* csvBytes = nullptr; // null: not a CSV file
    CsvLayout layout;
    std::string readError; // UTF-8: why the rows cannot be read as the layout stands

    win::ListView list;
    std::array<std::wstring, kImportColumnCount> titles;
    std::array<win::ListColumn, kImportColumnCount> columns;

    void onInit() {
        for (int c = 0; c < kImportColumnCount; ++c) {
            titles[c] = utf8ToWide(kImportColumns[c].title);
            columns[c] = {titles[c].c_str(), kImportColumns[c].width,
                          kImportColumns[c].right ? win::ListAlign::Right : win::ListAlign::Left,
                          kImportColumns[c].right ? win::ListAlign::Right : win::ListAlign::Left};
        }
        const bool csv = csvBytes != nullptr;
        if (!csv)
            hideCsvChoices();
        list.attach(item(IDC_IMPORT_LIST), *preview, columns);
        if (csv) {
            win::ComboBox roles(item(IDC_IMPORT_ROLE));
            for (int role = 0; role < kCsvRoleCount; ++role)
                roles.add(utf8ToCp1252(csvRoleName(static_cast<CsvRole>(role))), role);
            win::setWindowTextUtf8(item(IDC_IMPORT_LAYOUT), describeCsvLayout(layout));
            fillColumns();
        }
        win::ComboBox(item(IDC_IMPORT_CATEGORY)).fill(fillCounterparties(0, *doc));
        showRows();
    }

    // Without column roles to choose, the list takes their room.
    void hideCsvChoices() {
        for (int id : {IDC_IMPORT_LAYOUT, IDC_IMPORT_COLUMN_LABEL, IDC_IMPORT_COLUMN,
                       IDC_IMPORT_ROLE_LABEL, IDC_IMPORT_ROLE})
            ShowWindow(item(id), SW_HIDE);
        RECT summary{}, box{};
        GetWindowRect(item(IDC_IMPORT_SUMMARY), &summary);
        GetWindowRect(item(IDC_IMPORT_LIST), &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&summary), 2);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        RECT gap{0, 0, 0, 6};
        MapDialogRect(window, &gap);
        const int top = summary.bottom + gap.bottom;
        MoveWindow(item(IDC_IMPORT_LIST), box.left, top, box.right - box.left, box.bottom - top,
                   FALSE);
    }

    void fillColumns() {
        win::ComboBox box(item(IDC_IMPORT_COLUMN));
        const int chosen = std::max(box.selectedIndex(), 0);
        box.clear();
        const std::vector<std::string> choices = csvColumnChoices(*csvBytes, layout);
        for (std::size_t i = 0; i < choices.size(); ++i)
            box.add(utf8ToCp1252(choices[i]), static_cast<LPARAM>(i));
        box.select(std::min(chosen, box.count() - 1));
        showRole();
    }

    void showRole() {
        const auto column =
            static_cast<std::size_t>(win::ComboBox(item(IDC_IMPORT_COLUMN)).selectedData());
        const CsvRole role = column < layout.roles.size() ? layout.roles[column] : CsvRole::Ignored;
        win::ComboBox(item(IDC_IMPORT_ROLE)).select(static_cast<int>(role));
    }

    // A role belongs to one column: giving it to another takes it from the first.
    void changeRole() {
        const auto column =
            static_cast<std::size_t>(win::ComboBox(item(IDC_IMPORT_COLUMN)).selectedData());
        const auto role = static_cast<CsvRole>(win::ComboBox(item(IDC_IMPORT_ROLE)).selectedIndex());
        if (layout.roles.size() <= column)
            layout.roles.resize(column + 1, CsvRole::Ignored);
        if (role != CsvRole::Ignored)
            std::replace(layout.roles.begin(), layout.roles.end(), role, CsvRole::Ignored);
        layout.roles[column] = role;
        Statement statement;
        ReadError error;
        readError = readCsv(*csvBytes, layout, statement, error) ? std::string()
                                                                 : describeReadError(error);
        preview->replaceStatement(std::move(statement));
        showRows();
    }

    void showRows() {
        list.reload();
        list.select(preview->rowCount() > 0 ? 0 : -1);
        showSummary();
        showRowChoices();
    }

    void showSummary() {
        // Why the rows cannot be read, as a sentence of its own.
        std::string error = readError;
        if (!error.empty() && error[0] >= 'a' && error[0] <= 'z')
            error[0] = static_cast<char>(error[0] - 'a' + 'A');
        win::setWindowTextUtf8(item(IDC_IMPORT_SUMMARY),
                               error.empty() ? preview->summary() : error + '.');
        EnableWindow(item(IDOK), preview->tickedCount() > 0);
    }

    // The mode and category boxes show the selected row's; only a new row
    // takes other ones.
    void showRowChoices() {
        const int row = list.selectedRow();
        const ImportRow* planned = preview->row(row);
        const bool editable = planned && !planned->alreadyThere;
        win::ComboBox modes(item(IDC_IMPORT_MODE));
        win::ComboBox parties(item(IDC_IMPORT_CATEGORY));
        if (planned) {
            const double amount = preview->statement().rows[static_cast<std::size_t>(row)].amount;
            modes.fill(fillModes(*doc, amount < 0 ? 1 : 0));
            if (!modes.selectData(planned->modeId))
                modes.select(-1);
            // No category: no row, not the first heading (whose data is 0 too).
            if (planned->party == 0 || !parties.selectData(static_cast<LPARAM>(planned->party)))
                parties.select(-1);
        } else {
            modes.select(-1);
            parties.select(-1);
        }
        EnableWindow(modes.handle(), editable);
        EnableWindow(parties.handle(), editable && !isSplit(planned->party));
        EnableWindow(item(IDC_IMPORT_TOGGLE), planned != nullptr);
    }

    void toggleSelected() {
        const int row = list.selectedRow();
        if (row < 0)
            return;
        preview->toggle(row);
        list.redrawRow(row);
        showSummary();
    }

    std::optional<LRESULT> onNotify(const NMHDR& header) {
        if (header.idFrom != IDC_IMPORT_LIST)
            return std::nullopt;
        if (header.code == LVN_ITEMCHANGED)
            showRowChoices();
        if (auto click = list.clickOf(header); click && click->doubleClick && click->row >= 0)
            toggleSelected();
        if (auto key = list.keyOf(header); key && *key == VK_SPACE)
            toggleSelected();
        return list.notify(header);
    }

    bool onDrawItem(const DRAWITEMSTRUCT& draw) { return list.drawItem(draw); }

    void onOk() {
        if (preview->tickedCount() > 0)
            endDialog(IDOK);
    }
    void onCancel() { endDialog(IDCANCEL); }

    void onCommand(int id, int code) {
        const int row = list.selectedRow();
        switch (id) {
        case IDC_IMPORT_TOGGLE:
            toggleSelected();
            break;
        case IDC_IMPORT_MODE:
            if (code == CBN_SELCHANGE && row >= 0) {
                preview->setMode(row,
                                 static_cast<std::uint16_t>(win::ComboBox(item(id)).selectedData()));
                list.redrawRow(row);
            }
            break;
        case IDC_IMPORT_CATEGORY:
            if (code == CBN_SELCHANGE && row >= 0) {
                preview->setParty(row, static_cast<PartyId>(win::ComboBox(item(id)).selectedData()));
                list.redrawRow(row);
            }
            break;
        case IDC_IMPORT_COLUMN:
            if (code == CBN_SELCHANGE)
                showRole();
            break;
        case IDC_IMPORT_ROLE:
            if (code == CBN_SELCHANGE)
                changeRole();
            break;
        default:
            break;
        }
    }
};

StatementImportResult ended(StatementImportEnd end) {
    return {end, {}};
}

StatementImportResult refused(HWND owner, const std::string& message) {
    win::showMessage(owner, utf8ToWide(message));
    return ended(StatementImportEnd::Refused);
}

} // namespace

StatementImportResult importStatement(HWND owner, Document& doc, BookingHistory& history,
                                      const StatementImportIn& in) {
    AccountRecord* account = doc.currentAccount;
    if (!account)
        return ended(StatementImportEnd::NotShown);
    std::vector<std::uint8_t> bytes;
    switch (platformFileSystem().readAll(in.path, bytes, kMaxStatementBytes)) {
    case ReadResult::Ok:
        break;
    case ReadResult::TooLarge:
        return refused(owner, "Ce relevé est trop volumineux pour être importé.");
    default:
        return refused(owner, "Le fichier " + in.path + " ne peut pas être lu.");
    }
    const StatementFormat format = guessStatementFormat(bytes, in.path);
    PreviewDialog dialog;
    dialog.doc = &doc;
    if (format == StatementFormat::Csv) {
        dialog.csvBytes = &bytes;
        dialog.layout = csvLayoutForImport(bytes, in.rememberedLayout);
    }
    Statement statement;
    ReadError error;
    if (!readStatement(bytes, format, dialog.csvBytes ? &dialog.layout : nullptr, statement,
                       error)) {
        // The columns of a CSV file may still be given the right roles, once
        // its text is cut into cells; a text that cannot be is refused.
        std::vector<std::vector<std::string>> cells;
        ReadError cutError;
        if (format != StatementFormat::Csv)
            return refused(owner, "Le relevé n'est pas importé.\n" + describeReadError(error));
        if (!readCsvCells(bytes, dialog.layout, cells, cutError))
            return refused(owner, "Le relevé n'est pas importé.\n" + describeReadError(cutError));
        dialog.readError = describeReadError(error);
    }
    if (statementAccountDiffers(statement.account, *account) &&
        win::showMessage(owner, utf8ToWide(accountMismatchQuestion(statement.account, *account)),
                         MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ended(StatementImportEnd::Cancelled);
    ImportPreview preview(doc, *account, std::move(statement));
    dialog.preview = &preview;
    const int answer = dialog.runModal(owner, IDD_IMPORT_PREVIEW);
    if (answer != IDOK)
        return ended(answer < 0 ? StatementImportEnd::NotShown : StatementImportEnd::Cancelled);

    // The register must show the account the rows go to.
    RegisterModel& model = history.model();
    if (model.account() != account &&
        history.perform(makeSelectAccount(account)) != BookingStatus::Done)
        return ended(StatementImportEnd::OutOfMemory);
    const BookingStatus status =
        history.perform(makeImportOperations(preview.entries(localNowFileTime())));
    if (status != BookingStatus::Done)
        return ended(status == BookingStatus::OutOfMemory ? StatementImportEnd::OutOfMemory
                                                          : StatementImportEnd::Cancelled);
    return {StatementImportEnd::Booked, {dialog.csvBytes ? csvLayoutText(dialog.layout) : ""}};
}

AccountExportResult exportAccount(HWND owner, const Document& doc, const AccountExportIn& in) {
    const bool all = in.choice == ExportChoice::AllCsv || in.choice == ExportChoice::AllQif;
    const bool qif = in.choice == ExportChoice::AccountQif || in.choice == ExportChoice::AllQif;
    const std::string text = exportOperations(doc, all ? nullptr : doc.currentAccount,
                                              qif ? ExportFormat::Qif : ExportFormat::Csv);
    std::string reason;
    if (replaceFileContent(platformFileSystem(), in.path,
                           std::vector<std::uint8_t>(text.begin(), text.end()), {}, &reason))
        return AccountExportResult::Written;
    win::showMessage(owner, utf8ToWide("Le compte n'a pas pu être exporté dans " + in.path +
                                       (reason.empty() ? std::string() : " (" + reason + ")") +
                                       "."));
    return AccountExportResult::Failed;
}

} // namespace kolvane

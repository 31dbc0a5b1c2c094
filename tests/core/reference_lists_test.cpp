#include "lists/category_rules.h"
#include "lists/label_rules.h"
#include "lists/mode_rules.h"
#include "operations/booking.h"

#include "document/document_check.h"
#include "document/text.h"
#include "register_sample.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

std::string cp(const char* utf8) {
    return utf8ToCp1252(utf8);
}

std::vector<int> ids(const CategoryPlan& plan) {
    std::vector<int> result;
    for (const CategoryRecord& record : plan.records)
        result.push_back(record.id);
    return result;
}

ModeRecord* modeById(Document& doc, int id) {
    for (ModeRecord& record : doc.modes)
        if (record.id == id)
            return &record;
    return nullptr;
}

CategoryRecord category(const char* name, int id) {
    CategoryRecord record{};
    setFieldUtf8(record.name, name);
    record.id = static_cast<std::uint16_t>(id);
    record.shown = 1;
    return record;
}

// --- Category numbering ----------------------------------------------------------

TEST(CategoryRules, RefusesEmptyTextsAndExhaustedNumbers) {
    Document doc;
    documentInit(doc);
    for (const CategoryRecord& record : {category("Pleine", 0x7E00), category("s", 0x7EFF),
                                         category("Dernière", 0x7F00), category("Revenu", 0xFF00)})
        doc.categories.append(record);
    struct Case {
        const char* category;
        const char* subcategory;
        bool income;
        CategoryPlanStatus status;
    };
    const Case cases[] = {
        {"", "", false, CategoryPlanStatus::NoCategoryText},
        {"Nouvelle", "", false, CategoryPlanStatus::NoSubcategoryText},
        {"Nouvelle", "s", false, CategoryPlanStatus::CategoriesFull}, // after 0x7F
        {"Nouvelle", "s", true, CategoryPlanStatus::CategoriesFull},  // after 0xFF
        // "Pleine" already has sub-category 0xFF: one more would make 0x7F00.
        {"pleine", "s", false, CategoryPlanStatus::SubcategoriesFull},
    };
    for (const Case& c : cases) {
        const CategoryPlan plan =
            planCategoryAddition(doc.categories, cp(c.category), c.subcategory, c.income);
        EXPECT_EQ(plan.status, c.status) << c.category << "/" << c.subcategory;
        EXPECT_TRUE(plan.records.empty());
    }
    // The one sub-category under 0xFF still fits: 0xFF01.
    const CategoryPlan last = planCategoryAddition(doc.categories, "Revenu", "s", true);
    EXPECT_EQ(ids(last), std::vector<int>{0xFF01});
}

TEST(CategoryRules, FirstCategoriesOfASide) {
    Document doc;
    documentInit(doc);
    // An empty tree: the income side starts at 0x80, the expense side at 0x00.
    CategoryPlan income = planCategoryAddition(doc.categories, "Revenus", "Salaire", true);
    EXPECT_EQ(ids(income), (std::vector<int>{0x8000, 0x8001}));
    EXPECT_EQ(income.newCategoryRank, 0);
    doc.categories.append(category("Revenus", 0x8000));
    doc.categories.append(category("Salaire", 0x8001));
    // The first expense category opens the list, before the income block.
    const CategoryPlan expense = planCategoryAddition(doc.categories, "Courses", "Pain", false);
    EXPECT_EQ(expense.after, nullptr);
    EXPECT_EQ(ids(expense), (std::vector<int>{0x0000, 0x0001}));
    EXPECT_EQ(expense.newCategoryRank, 0);
}

TEST(CategoryRules, RowsAndRanks) {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(addDefaultCategories(doc));
    EXPECT_EQ(categoryRowText(*doc.categories.first()), "Alimentation");
    EXPECT_EQ(categoryRowText(*doc.categories.next(doc.categories.first())),
              cp("     Supermarché"));
    const std::vector<std::string> names = categoryNames(doc.categories);
    ASSERT_EQ(names.size(), 13u);
    EXPECT_EQ(names[10], "Revenus");
    EXPECT_EQ(findCategoryRank(doc.categories, cp("SANTÉ")), 5);
    EXPECT_EQ(findCategoryRank(doc.categories, "Supermarché"), -1); // a sub-category
    EXPECT_EQ(categoryAtRank(doc.categories, 12)->id, 0x8200);
    EXPECT_EQ(categoryAtRank(doc.categories, 13), nullptr);
}

// --- Labels ----------------------------------------------------------------------------

TEST(LabelRules, TrimsFindsAndPlacesIgnoringCase) {
    Document doc;
    documentInit(doc);
    for (const char* text : {"Avoir", "courses", "Loyer"}) {
        LabelRecord label{};
        setFieldUtf8(label.text, text);
        doc.labels.append(label);
    }
    struct Case {
        const char* typed;
        LabelPlanStatus status;
        const char* text;
        int index;
    };
    const Case cases[] = {
        {"  Essence  ", LabelPlanStatus::Add, "Essence", 2},
        {"aaa", LabelPlanStatus::Add, "aaa", 0},
        {"Zoo", LabelPlanStatus::Add, "Zoo", 3},
        {"  COURSES", LabelPlanStatus::Exists, "COURSES", 1},
        {"    ", LabelPlanStatus::Empty, "", -1},
    };
    for (const Case& c : cases) {
        const LabelPlan plan = planLabelAddition(doc.labels, c.typed);
        EXPECT_EQ(plan.status, c.status) << c.typed;
        EXPECT_EQ(plan.text, c.text) << c.typed;
        EXPECT_EQ(plan.index, c.index) << c.typed;
        if (plan.status == LabelPlanStatus::Add) {
            EXPECT_EQ(labelIndex(doc.labels, plan.after), c.index - 1) << c.typed;
        }
    }
    EXPECT_EQ(fieldText(planLabelAddition(doc.labels, "courses").existing->text), "courses");
}

// --- Modes -----------------------------------------------------------------------------

TEST(ModeRules, NumbersAndPlacesNewModes) {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(addDefaultModes(doc));
    struct Case {
        const char* name;
        bool credit;
        ModePlanStatus status;
        int afterId;
        int id;
    };
    const Case cases[] = {
        {"Espèces", false, ModePlanStatus::Ready, 0x0005, 0x0006}, // after "Tip"
        {"Intérêts", true, ModePlanStatus::Ready, 0x8003, 0x8004}, // after "Remise de chèque"
        {"tip", false, ModePlanStatus::Exists, -1, 0},
        {"Tip", true, ModePlanStatus::Ready, 0x8003, 0x8004}, // the other side's name is free
        {"   ", false, ModePlanStatus::NoName, -1, 0},
    };
    for (const Case& c : cases) {
        const ModePlan plan = planModeAddition(doc.modes, cp(c.name), c.credit);
        EXPECT_EQ(plan.status, c.status) << c.name;
        if (c.status != ModePlanStatus::Ready)
            continue;
        ASSERT_NE(plan.after, nullptr);
        EXPECT_EQ(plan.after->id, c.afterId) << c.name;
        EXPECT_EQ(plan.record.id, c.id) << c.name;
        EXPECT_EQ(plan.record.kind, 1);
        EXPECT_EQ(fieldText(plan.record.name), cp(c.name));
    }
}

TEST(ModeRules, EdgesOfTheNumbering) {
    Document doc;
    documentInit(doc);
    ModeRecord credit{};
    setFieldUtf8(credit.name, "Virement reçu");
    credit.id = 0x8001;
    credit.kind = 1;
    doc.modes.append(credit);
    // No debit mode yet: the first goes before the credit block, as number 1.
    ModePlan first = planModeAddition(doc.modes, "Carte", false);
    EXPECT_EQ(first.after, nullptr);
    EXPECT_EQ(first.record.id, 0x0001);
    ModeRecord last{};
    last.id = 0x7FFF;
    last.kind = 1;
    doc.modes.pushFront(&last);
    EXPECT_EQ(planModeAddition(doc.modes, "Carte", false).status, ModePlanStatus::Full);
    EXPECT_EQ(planModeAddition(doc.modes, "Dépôt", true).record.id, 0x8002);
}

TEST(ModeRules, WithdrawalAndReplacement) {
    Document doc;
    sample::buildRegisterSample(doc);
    auto mode = [&](int id) { return modeById(doc, id); };
    // Operations 4, 6 and 7 pay by card; 5 by transfer; 8 by cheque deposit.
    EXPECT_EQ(countOperationsWithMode(doc.operations, 0x0001), 3);
    EXPECT_EQ(countOperationsWithMode(doc.operations, 0x8003), 1);
    EXPECT_EQ(countOperationsWithMode(doc.operations, 0x0002), 0);

    struct Case {
        int id;
        ModeWithdrawal withdrawal;
        int replacementId; // 0: none
    };
    const Case cases[] = {
        {0x0000, ModeWithdrawal::Header, 0},
        {0x0001, ModeWithdrawal::MoveFirst, 0x0002}, // the header before it is no mode
        {0x0002, ModeWithdrawal::Allowed, 0x0001},
        {0x0005, ModeWithdrawal::Allowed, 0x0004},
        {0x8003, ModeWithdrawal::MoveFirst, 0x8002},
        {0x8001, ModeWithdrawal::Allowed, 0x8002},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(modeWithdrawal(doc, mode(c.id)), c.withdrawal) << c.id;
        const ModeRecord* replacement = replacementMode(doc.modes, mode(c.id));
        EXPECT_EQ(replacement ? replacement->id : 0, c.replacementId) << c.id;
    }
    doc.modes.remove(mode(0x8001));
    doc.modes.remove(mode(0x8002));
    EXPECT_EQ(modeWithdrawal(doc, mode(0x8003)), ModeWithdrawal::Refused);

    EXPECT_EQ(
        moveModeQuestion(3, *mode(0x0001), *mode(0x0002)),
        " 3 opérations utilisent « Carte de paiement ».\n Les reporter sur « Chèque émis » ? ");
    EXPECT_EQ(modeInUseText(1, *mode(0x8003)),
              " 1 opération utilise « Remise de chèque », seul mode de son côté :\n il ne peut pas "
              "être supprimé . ");
    // The credit modes after the last debit mode never take its operations.
    for (int id : {1, 2, 3, 4})
        doc.modes.remove(mode(id));
    EXPECT_EQ(replacementMode(doc.modes, mode(0x0005)), nullptr);
}

TEST(ModeRules, MovesStayWithinTheirSide) {
    Document doc;
    documentInit(doc);
    EXPECT_TRUE(addDefaultModes(doc));
    auto mode = [&](int id) { return modeById(doc, id); };
    struct Case {
        int id;
        bool up;
        bool ok;
        int afterId; // -1: none
    };
    const Case cases[] = {
        {0x0001, true, false, -1},                                 // first under its header
        {0x0002, true, true, 0x0000},                              // goes right after "DEBIT"
        {0x0002, false, true, 0x0003}, {0x0005, false, false, -1}, // "CREDIT" follows
        {0x8001, true, false, -1},     {0x8003, false, false, -1}, // the end
        {0x8000, false, false, -1},                                // a header does not move
    };
    for (const Case& c : cases) {
        const ModeMove move = modeMove(doc.modes, mode(c.id), c.up);
        EXPECT_EQ(move.ok, c.ok) << c.id << (c.up ? " up" : " down");
        if (move.ok) {
            EXPECT_EQ(move.after ? move.after->id : -1, c.afterId) << c.id;
        }
    }
}

// --- Commands ---------------------------------------------------------------------------

class ListCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        doc.isModified = 0;
    }
    void TearDown() override { EXPECT_EQ(checkDocument(doc), std::vector<std::string>{}); }

    ModeRecord* mode(int id) { return modeById(doc, id); }
    CategoryRecord* categoryById(int id) {
        for (CategoryRecord& record : doc.categories)
            if (record.id == id)
                return &record;
        return nullptr;
    }

    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
    BookingHistory history{model};
};

TEST_F(ListCommands, CategoriesGoToTheirPlaceAndComeBackAtTheSameAddress) {
    const CategoryPlan plan = planCategoryAddition(doc.categories, "Vacances", "Hotel", false);
    ASSERT_EQ(history.perform(makeAddCategories(plan.after, plan.records)), BookingStatus::Done);
    CategoryRecord* added = categoryById(0x0A01);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(doc.categories.count(), 74);
    EXPECT_EQ(doc.categories.previous(categoryById(0x0A00))->id, 0x0902);
    EXPECT_EQ(doc.categories.next(added)->id, 0x8000);
    ASSERT_EQ(history.perform(makeToggleCategoryShown(added)), BookingStatus::Done);
    EXPECT_EQ(added->shown, 0);

    // "Revenus" still takes its sub-category under itself.
    const CategoryPlan income = planCategoryAddition(doc.categories, "Revenus", "Primes", true);
    EXPECT_EQ(ids(income), std::vector<int>{0x8005});

    ASSERT_TRUE(history.undo());
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(doc.categories.count(), 72);
    ASSERT_TRUE(history.redo());
    ASSERT_TRUE(history.redo()); // the toggle finds its record again
    EXPECT_EQ(categoryById(0x0A01), added);
    EXPECT_EQ(added->shown, 0);
}

TEST_F(ListCommands, WithdrawnModeLeavesNoOperationBehind) {
    ASSERT_EQ(history.perform(makeWithdrawMode(mode(0x0001), nullptr)), BookingStatus::ModeInUse);
    ASSERT_EQ(history.perform(makeWithdrawMode(mode(0x8000), mode(0x8001))),
              BookingStatus::ModeInUse);
    EXPECT_EQ(doc.modes.count(), 10);
    EXPECT_EQ(doc.isModified, 0u);

    ASSERT_EQ(history.perform(makeWithdrawMode(mode(0x0001), mode(0x0002))), BookingStatus::Done);
    EXPECT_EQ(mode(0x0001), nullptr);
    EXPECT_EQ(countOperationsWithMode(doc.operations, 0x0002), 3);
    for (const VentilationLine& line : *s.split->lines)
        EXPECT_EQ(line.modeId, 0x0002);
    EXPECT_EQ(s.transfer->modeId, 0x0003); // others keep theirs

    // An unused mode goes without replacement.
    ASSERT_EQ(history.perform(makeWithdrawMode(mode(0x8002), nullptr)), BookingStatus::Done);
    EXPECT_EQ(doc.modes.count(), 8); // 10 less 0x0001 and 0x8002
}

} // namespace
} // namespace kolvane

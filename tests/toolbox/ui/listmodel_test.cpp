// The list model: rows and cells, the selection, geometry, key moves,
// typed selection, cell-edit moves, paste filtering and drawing levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolbox/ui/listmodel.h"

namespace {

uint32_t gTick = 0;
uint32_t Ticks() {
    return gTick;
}

struct Calls {
    std::vector<std::pair<int32_t, int32_t>> messages; // message, row
    std::string typed;
    int32_t storeAnswer = kListResultStored;
    int32_t foundRow = 0;
} gCalls;

int32_t Procedure(ListRecord*, int32_t message, ListParams* params) {
    gCalls.messages.emplace_back(message, params->row);
    if (message == kListMsgStoreEdit) return gCalls.storeAnswer;
    if (message == kListMsgFindRow) {
        gCalls.typed.assign(params->text, size_t(params->textLength));
        params->row = gCalls.foundRow;
        return kListResultFound;
    }
    return 0;
}

class ListModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        gCalls = Calls{};
        gTick = 1000;
        SetListTickSource(&Ticks);
        ListResetTypeSelect();
        Make(0);
    }
    void TearDown() override {
        DisposeListRecord(&list_);
        SetListTickSource(nullptr);
    }
    void Make(uint32_t options) {
        if (list_.selection != nullptr) DisposeListRecord(&list_);
        ASSERT_TRUE(InitListRecord(&list_, options, 4, 10, 100, &Procedure));
    }
    void Rows(int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            int32_t value = 100 + i;
            ASSERT_TRUE(InsertListRows(&list_, -1, &value, 1));
        }
    }
    int32_t Cell(int32_t row) {
        int32_t value = -1;
        GetListCell(&list_, row, &value);
        return value;
    }
    std::vector<int32_t> Selected() {
        std::vector<int32_t> rows;
        for (int32_t r = NextSelectedRow(&list_, 0); r >= 0; r = NextSelectedRow(&list_, r + 1))
            rows.push_back(r);
        EXPECT_EQ(int32_t(rows.size()), list_.selectedCount);
        return rows;
    }
    ListRecord list_{};
};

TEST_F(ListModelTest, InsertAndDeleteRowsKeepCellsAndSelection) {
    Make(kListMultiSelect | kListReportDeletes);
    Rows(5);
    SetListRowSelected(&list_, 1, true);
    SetListRowSelected(&list_, 3, true);
    int32_t value = 7;
    ASSERT_TRUE(InsertListRows(&list_, 2, &value, 1));
    EXPECT_EQ(Cell(2), 7);
    EXPECT_EQ(Cell(3), 102);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{1, 4}));
    ASSERT_TRUE(InsertListRows(&list_, 99, nullptr, 1)); // beyond the count: appends
    EXPECT_EQ(list_.rowCount, 7);
    EXPECT_EQ(Cell(6), 0);
    value = 9;
    ASSERT_TRUE(InsertListRows(&list_, -1, &value, 1)); // a negative row appends too
    EXPECT_EQ(Cell(7), 9);
    EXPECT_EQ(Cell(0), 100);
    DeleteListRows(&list_, 7, 1);
    gCalls.messages.clear();
    DeleteListRows(&list_, 3, 100); // past the end: to the end
    EXPECT_EQ(list_.rowCount, 3);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{1}));
    ASSERT_EQ(gCalls.messages.size(), 4u);
    EXPECT_EQ(gCalls.messages.front(), std::make_pair(kListMsgDeleteRow, 6)); // last first
    EXPECT_EQ(gCalls.messages.back(), std::make_pair(kListMsgDeleteRow, 3));
    DeleteListRows(&list_, 0, 1);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{0}));
    EXPECT_EQ(Cell(0), 101);
}

TEST_F(ListModelTest, CellsOutsideTheRowsAreIgnored) {
    Rows(2);
    int32_t value = 55;
    EXPECT_EQ(GetListCell(&list_, -1, &value), 0);
    EXPECT_EQ(GetListCell(&list_, 2, &value), 0);
    EXPECT_EQ(value, 55);
    SetListCell(&list_, -1, &value);
    SetListCell(&list_, 2, &value);
    EXPECT_EQ(Cell(0), 100);
    EXPECT_EQ(Cell(1), 101);
    SetListCell(&list_, 1, nullptr);
    EXPECT_EQ(Cell(1), 0);
}

TEST_F(ListModelTest, SingleAndMultipleSelection) {
    Rows(4);
    EXPECT_TRUE(SetListRowSelected(&list_, -1, true));
    EXPECT_EQ(Selected(), (std::vector<int32_t>{0}));
    SetListRowSelected(&list_, 2, true);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{2}));
    SetListRowSelected(&list_, -1, false);
    EXPECT_TRUE(Selected().empty());
    Make(kListMultiSelect);
    Rows(4);
    SetListRowSelected(&list_, 1, true);
    EXPECT_TRUE(SetListRowSelected(&list_, -1, true));
    EXPECT_EQ(list_.selectedCount, 4);
    EXPECT_FALSE(SetListRowSelected(&list_, -1, true));
    EXPECT_TRUE(SetListRowSelected(&list_, -1, false));
}

TEST_F(ListModelTest, GeometryAndTheRowAtAPoint) {
    Rows(30);
    EXPECT_EQ(list_.visibleRows, 10);
    EXPECT_EQ(list_.lastFirstRow, 20);
    list_.firstVisible = 5;
    EXPECT_EQ(ListRowAtPoint(&list_, 25), 7u);
    EXPECT_EQ(ListRowAtPoint(&list_, 150), 14u | kListRowBeyond);
    Make(kListPartialRowVisible);
    ListComputeGeometry(&list_, 105);
    EXPECT_EQ(list_.visibleRows, 11);
    Rows(3);
    EXPECT_EQ(list_.lastFirstRow, 0);
    EXPECT_EQ(ListRowAtPoint(&list_, 45), 2u | kListRowBeyond);
}

TEST_F(ListModelTest, KeyMoves) {
    Rows(30);
    EXPECT_TRUE(ListKeyMove(&list_, kListKeyUp, false)); // nothing selected: row 0
    EXPECT_EQ(Selected(), (std::vector<int32_t>{0}));
    EXPECT_FALSE(ListKeyMove(&list_, kListKeyUp, false)); // stays at the end
    EXPECT_EQ(Selected(), (std::vector<int32_t>{0}));
    ListKeyMove(&list_, kListKeyPageDown, false);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{9}));
    ListKeyMove(&list_, kListKeyEnd, false);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{29}));
    EXPECT_FALSE(ListKeyMove(&list_, kListKeyDown, false));
    Make(kListMultiSelect);
    Rows(30);
    SetListRowSelected(&list_, 3, true);
    SetListRowSelected(&list_, 6, true);
    ListKeyMove(&list_, kListKeyDown, true); // from the last selected
    EXPECT_EQ(Selected(), (std::vector<int32_t>{3, 6, 7}));
    ListKeyMove(&list_, kListKeyUp, false);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{2}));
}

TEST_F(ListModelTest, TypedSelection) {
    Rows(10);
    gCalls.foundRow = 4;
    EXPECT_EQ(ListTypeSelect(&list_, 'a', false), 4);
    gTick += 75;
    ListTypeSelect(&list_, 'b', false);
    EXPECT_EQ(gCalls.typed, "ab");
    gTick += 76;
    ListTypeSelect(&list_, 'c', false);
    EXPECT_EQ(gCalls.typed, "c");
    ListResetTypeSelect(); // a click
    ListTypeSelect(&list_, 'd', false);
    EXPECT_EQ(gCalls.typed, "d");
    ListRecord other{};
    ASSERT_TRUE(InitListRecord(&other, 0, 0, 10, 100, &Procedure));
    InsertListRows(&other, 0, nullptr, 5);
    ListTypeSelect(&other, 'e', false);
    EXPECT_EQ(gCalls.typed, "e");
    DisposeListRecord(&other);
    for (int i = 0; i < 100; ++i)
        ListTypeSelect(&list_, 'x', false);
    EXPECT_EQ(gCalls.typed.size(), size_t(kTypeSelectBufferMax));
    EXPECT_EQ(Selected(), (std::vector<int32_t>{4}));
    gCalls.foundRow = 10; // outside the list: nothing moves
    gTick += 100;
    EXPECT_EQ(ListTypeSelect(&list_, 'z', false), kTypeSelectOutside);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{4}));
    gCalls.foundRow = -1;
    EXPECT_EQ(ListTypeSelect(&list_, 'y', false), kTypeSelectOutside);
    EXPECT_EQ(Selected(), (std::vector<int32_t>{4}));
}

TEST_F(ListModelTest, EditCellMoves) {
    Rows(3);
    struct Case {
        int32_t key, row, part;
        bool moved;
        int32_t toRow, toPart;
    } cases[] = {
        {kListKeyTab, 0, 1, true, 0, 2},     {kListKeyTab, 0, 2, true, 1, 1},
        {kListKeyTab, 2, 2, true, 0, 1},     {kListKeyReturn, 2, 2, true, 0, 1},
        {kListKeyBackTab, 1, 1, true, 0, 2}, {kListKeyBackTab, 0, 1, true, 2, 2},
        {kListKeyUp, 0, 2, false, 0, 2},     {kListKeyUp, 1, 2, true, 0, 2},
        {kListKeyDown, 2, 1, false, 2, 1},   {kListKeyHome, 2, 2, true, 0, 1},
        {kListKeyEnd, 0, 2, true, 2, 1},
    };
    for (const Case& c : cases) {
        int32_t row = c.row, part = c.part;
        EXPECT_EQ(ListNextEditCell(&list_, c.key, 2, &row, &part), c.moved) << c.key;
        EXPECT_EQ(row, c.toRow) << c.key << " " << c.row << " " << c.part;
        EXPECT_EQ(part, c.toPart) << c.key << " " << c.row << " " << c.part;
    }
}

TEST_F(ListModelTest, AnEditThatIsNotStoredStays) {
    Rows(3);
    SetListRowSelected(&list_, 1, true);
    ASSERT_TRUE(SetListEditCell(&list_, 2, 1));
    EXPECT_TRUE(Selected().empty());
    gCalls.storeAnswer = 0;
    EXPECT_FALSE(SetListEditCell(&list_, 0, 1));
    EXPECT_EQ(list_.editRow, 2);
    gCalls.storeAnswer = kListResultStored;
    EXPECT_TRUE(SetListEditCell(&list_, -1, 0));
    EXPECT_EQ(list_.editRow, -1);
}

TEST_F(ListModelTest, PasteIntoACell) {
    EXPECT_EQ(ListPasteCount("ab\tc\rd", 6, 0, 0), 4);
    EXPECT_EQ(ListPasteCount("\xe9x", 2, 0, 0), 2);
    std::string paste(40, 'p');
    EXPECT_EQ(ListPasteCount(paste.data(), 40, 230, 5), 25);
    EXPECT_EQ(ListPasteCount(paste.data(), 40, 260, 0), 0);
}

TEST_F(ListModelTest, DrawingLevelsNest) {
    Rows(10);
    int32_t from;
    EXPECT_FALSE(SetListDrawingEnabled(&list_, false, &from));
    EXPECT_FALSE(SetListDrawingEnabled(&list_, false, &from));
    SetListCell(&list_, 7, nullptr);
    SetListCell(&list_, 4, nullptr);
    EXPECT_FALSE(SetListDrawingEnabled(&list_, true, &from));
    EXPECT_EQ(from, kListNoChangedRow);
    EXPECT_TRUE(SetListDrawingEnabled(&list_, true, &from));
    EXPECT_EQ(from, 4);
    EXPECT_FALSE(SetListDrawingEnabled(&list_, false, &from));
    EXPECT_TRUE(SetListDrawingEnabled(&list_, true, &from));
    EXPECT_EQ(from, kListNoChangedRow);
}

} // namespace

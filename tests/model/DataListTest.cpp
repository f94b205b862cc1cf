// Ownership of the record lists: which operations destroy their objects and
// which leave them alive, counted with a subclass that tracks live objects.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BookDataUnit.h"
#include "DataListObject.h"
#include "Errors.h"

namespace {

// Counts the objects alive and remembers the order in which they died.
class TCounted : public tembrook::TBookSaleRootData {
public:
    explicit TCounted(int id = 0) : FId(id) { ++Alive; }
    ~TCounted() override
    {
        --Alive;
        Destroyed.push_back(FId);
    }
    static inline int Alive = 0;
    static inline std::vector<int> Destroyed;

private:
    int FId;
};

class DataListTest : public testing::Test {
protected:
    void SetUp() override
    {
        TCounted::Alive = 0;
        TCounted::Destroyed.clear();
    }
    void TearDown() override
    {
        // Objects the list was meant to leave alive are released here.
        for (auto* object : FKeep)
            delete object;
        EXPECT_EQ(TCounted::Alive, 0) << "a test leaked or over-released objects";
    }
    TCounted* Make(int id) { return new TCounted(id); }
    void ReleaseLater(tembrook::TObject* object) { FKeep.push_back(object); }

    // A list of three counted objects with ids 1, 2, 3.
    std::vector<TCounted*> Fill(tembrook::TCustomDataList& list)
    {
        std::vector<TCounted*> items = {Make(1), Make(2), Make(3)};
        for (auto* item : items)
            list.Add(item);
        return items;
    }

private:
    std::vector<tembrook::TObject*> FKeep;
};

TEST_F(DataListTest, NewListIsEmptyAndClearingItDoesNothing)
{
    tembrook::TCustomDataList list;
    EXPECT_EQ(list.Count(), 0);
    list.DeleteAll();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Find(), -1);
}

TEST_F(DataListTest, AddReturnsTheOldCount)
{
    tembrook::TCustomDataList list;
    Fill(list);
    auto* fourth = Make(4);
    EXPECT_EQ(list.Add(fourth), 3);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetItem(3), fourth);
    list.DeleteAll();
}

TEST_F(DataListTest, ClearKeepsTheObjects)
{
    tembrook::TCustomDataList list;
    const auto items = Fill(list);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(TCounted::Alive, 3);
    for (auto* item : items)
        ReleaseLater(item);
}

TEST_F(DataListTest, DeleteReleasesOneObjectAndMovesTheRestDown)
{
    tembrook::TCustomDataList list;
    const auto items = Fill(list);
    list.Delete(1);
    EXPECT_EQ(TCounted::Alive, 2);
    EXPECT_EQ(TCounted::Destroyed, std::vector<int>{2});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(0), items[0]);
    EXPECT_EQ(list.GetItem(1), items[2]);
    list.DeleteAll();
    EXPECT_EQ(TCounted::Destroyed, (std::vector<int>{2, 1, 3}));  // ascending index order
}

TEST_F(DataListTest, BadIndexesFailAndChangeNothing)
{
    tembrook::TCustomDataList list;
    const auto items = Fill(list);
    const auto expectListError = [](auto operation, const char* message) {
        try {
            operation();
            ADD_FAILURE() << "no error for " << message;
        } catch (const tembrook::EListError& e) {
            EXPECT_STREQ(e.what(), message);
        }
    };
    expectListError([&] { list.Delete(list.Count()); }, "List index out of bounds (3)");
    expectListError([&] { list.GetItem(-1); }, "List index out of bounds (-1)");
    expectListError([&] { list.SetItem(3, nullptr); }, "List index out of bounds (3)");
    expectListError([&] { list.Delete(-2147483647 - 1); }, "List index out of bounds (-2147483648)");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(TCounted::Alive, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.GetItem(i), items[static_cast<std::size_t>(i)]);
    list.DeleteAll();
}

TEST_F(DataListTest, NullEntriesCountButAreNeverReleased)
{
    tembrook::TCustomDataList list;
    EXPECT_EQ(list.Add(nullptr), 0);
    list.Add(Make(1));
    list.Add(nullptr);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.GetItem(0), nullptr);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(TCounted::Alive, 1);
    list.DeleteAll();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(TCounted::Alive, 0);
}

TEST_F(DataListTest, SetItemLeavesThePreviousObjectAlive)
{
    tembrook::TCustomDataList list;
    const auto items = Fill(list);
    auto* replacement = Make(9);
    list.SetItem(0, replacement);
    EXPECT_EQ(list.GetItem(0), replacement);
    EXPECT_EQ(TCounted::Alive, 4);
    ReleaseLater(items[0]);
    list.DeleteAll();
    EXPECT_EQ(TCounted::Destroyed, (std::vector<int>{9, 2, 3}));
}

TEST_F(DataListTest, DestroyingTheListLeavesTheObjectsAlive)
{
    std::vector<TCounted*> items;
    {
        tembrook::TBookSaleList list;
        items = Fill(list);
    }
    EXPECT_EQ(TCounted::Alive, 3);
    for (auto* item : items)
        ReleaseLater(item);
}

TEST_F(DataListTest, AnObjectHeldTwiceIsReleasedOnce)
{
    tembrook::TCustomDataList list;
    auto* shared = Make(1);
    list.Add(shared);
    list.Add(Make(2));
    list.Add(shared);
    list.DeleteAll();
    EXPECT_EQ(TCounted::Destroyed, (std::vector<int>{1, 2}));

    auto* again = Make(3);
    list.Add(again);
    list.Add(again);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetItem(0), nullptr);  // the second entry no longer dangles
    list.DeleteAll();
    EXPECT_EQ(TCounted::Destroyed, (std::vector<int>{1, 2, 3}));
}

TEST_F(DataListTest, DeleteAllReleasesEachObjectOnceAtItsFirstEntry)
{
    // Entry lists by object id (0 = a null entry); each object dies once, in
    // the order of its first entry.
    const std::vector<std::vector<int>> cases = {
        {3, 1, 3, 2, 1}, {0, 2, 0, 2, 1, 1, 1}, {5, 4, 3, 2, 1, 1, 2, 3, 4, 5}, {0, 0}, {7},
    };
    for (const auto& entries : cases) {
        TCounted::Destroyed.clear();
        std::vector<TCounted*> objects(8, nullptr);
        std::vector<int> expected;
        tembrook::TCustomDataList list;
        for (const int id : entries) {
            if (id == 0) {
                list.Add(nullptr);
                continue;
            }
            if (objects[static_cast<std::size_t>(id)] == nullptr) {
                objects[static_cast<std::size_t>(id)] = Make(id);
                expected.push_back(id);
            }
            list.Add(objects[static_cast<std::size_t>(id)]);
        }
        list.DeleteAll();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(TCounted::Destroyed, expected) << testing::PrintToString(entries);
    }
}

TEST_F(DataListTest, AddNewAppendsAPlainObject)
{
    tembrook::TCustomDataList list;
    tembrook::TObject* created = list.AddNew();
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetItem(0), created);
    EXPECT_EQ(created->ClassName(), "TObject");
    list.DeleteAll();
}

TEST_F(DataListTest, BookSaleListTypedAccess)
{
    tembrook::TBookSaleList list;
    EXPECT_EQ(list.ClassName(), "TBookSaleList");
    auto* record = Make(1);
    EXPECT_EQ(list.Add(record), 0);
    EXPECT_EQ(list.Add(static_cast<tembrook::TBookSaleRootData*>(nullptr)), 1);
    tembrook::TObject* plain = list.AddNew();  // index 2: not a release record
    EXPECT_EQ(list.Add(static_cast<tembrook::TObject*>(nullptr)), 3);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Items(0), record);
    EXPECT_EQ(list.Items(1), nullptr);
    EXPECT_EQ(list.Items(2), nullptr);
    EXPECT_EQ(list.GetItem(2), plain);
    try {
        list.Items(4);
        ADD_FAILURE() << "no error";
    } catch (const tembrook::EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (4)");
    }
    list.DeleteAll();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace

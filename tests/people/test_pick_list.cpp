// The lists the record pickers fill: how each kind carries an entry's ID.
#include "ports/PickList.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace hv::test {

TEST(PickListTest, DropDownCarriesTheIdAsItsItemIdWithoutObjects)
{
    MemoryPickList list(PickListKind::DropDown);
    EXPECT_FALSE(list.carriesObjects());
    list.add("<New Employee>", 0);
    list.add("Baker, Ann", 12);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.id(1), 12);
    EXPECT_EQ(list.object(1), nullptr);
}

TEST(PickListTest, ListBoxAndStringListCarryTheIdInAnOwnedObject)
{
    for (PickListKind kind : {PickListKind::ListBox, PickListKind::StringList}) {
        MemoryPickList list(kind);
        EXPECT_TRUE(list.carriesObjects());
        list.add("<No Department>", 0);
        list.add("Sales", 7);
        ASSERT_NE(list.object(0), nullptr);
        EXPECT_EQ(list.object(0)->ID(), 0);
        ASSERT_NE(list.object(1), nullptr);
        EXPECT_EQ(list.object(1)->ID(), 7);
        EXPECT_EQ(list.id(1), 7);
    }
}

TEST(PickListTest, ClearingEmptiesTheListForRefilling)
{
    MemoryPickList list;
    list.add("Sales", 7);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    list.add("Shipping", 8);
    EXPECT_EQ(list.texts(), std::vector<std::string>{"Shipping"});
}

TEST(PickListTest, EntriesAreFoundByTextOrId)
{
    MemoryPickList list(PickListKind::DropDown);
    list.add("Baker, Ann", 12);
    list.add("Cole, Ben", 3);
    EXPECT_EQ(list.indexOfText("Cole, Ben"), 1);
    EXPECT_EQ(list.indexOfId(12), 0);
    EXPECT_EQ(list.indexOfText("Dale, Cy"), -1);
    EXPECT_EQ(list.indexOfId(99), -1);
    EXPECT_THROW(list.text(2), std::out_of_range);
}

} // namespace hv::test

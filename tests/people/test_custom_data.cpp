// Custom employee data: the item definitions with their save, duplicate
// check and cascading delete, the list of active items with its widest
// label, and the employees' values with their save and locks.
#include "PeopleFixture.h"
#include "people/TFields.h"
#include "people/TOther.h"
#include "ports/MessageService.h"

#include <set>

namespace hv::test {

const std::string kDuplicateItem = "This Item Description has already been used.  Please try another one.";

class CustomDataTest : public PeopleTest {
protected:
    std::int64_t addField(const std::string& desc, bool active = true)
    {
        engine::Table& t = dm->tblFields;
        t.append();
        t.fieldByName("FieldDesc").setAsString(desc);
        t.fieldByName("ActiveFlag").setAsBoolean(active);
        t.post();
        return t.fieldByName("FieldID").asInteger();
    }
    void addValue(std::int64_t emp, std::int64_t field, const std::string& value)
    {
        exec(*dm, "insert into EmpField (EmpID, FieldID, FieldValue) values (" + std::to_string(emp) + ", " +
                      std::to_string(field) + ", '" + value + "')");
    }
    std::unique_ptr<TEmpFieldRecClass> loadField(std::int64_t id)
    {
        auto rec = std::make_unique<TEmpFieldRecClass>(*dm);
        rec->SetFieldID(std::int32_t(id));
        EXPECT_TRUE(rec->LoadByID());
        return rec;
    }
    std::unique_ptr<TEmpOtherRecClass> value(std::int64_t emp, std::int64_t field)
    {
        auto v = std::make_unique<TEmpOtherRecClass>(*dm);
        v->SetEmpID(std::int32_t(emp));
        v->SetFieldID(std::int32_t(field));
        return v;
    }
};

// --- values ---

TEST_F(CustomDataTest, AnEmployeeWithoutAValueShowsNoneAndSavingATypedValueAppendsTheRow)
{
    std::int64_t colour = addField("Colour");
    addValue(8, colour, "Red"); // someone else's value
    auto v = value(7, colour);
    EXPECT_FALSE(v->Load());
    EXPECT_EQ(v->FieldValue(), "");
    EXPECT_FALSE(v->IsModified());

    v->SetFieldValue("Blue");
    EXPECT_TRUE(v->IsModified());
    ASSERT_TRUE(v->Lock("ALICE"));
    ASSERT_TRUE(v->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(v->IsModified());
    EXPECT_EQ(read("select EmpID || '|' || FieldValue || '|' || ifnull(LockedBy, '') from EmpField where EmpID = 7"),
              "7|Blue|");

    // The next save edits the same row.
    auto again = value(7, colour);
    ASSERT_TRUE(again->Load());
    EXPECT_EQ(again->FieldValue(), "Blue");
    ASSERT_TRUE(again->Lock("ALICE"));
    EXPECT_EQ(read("select LockedBy from EmpField where EmpID = 7"), "ALICE");
    again->SetFieldValue("Green");
    ASSERT_TRUE(again->Save("ALICE"));
    EXPECT_EQ(count("EmpField"), 2);
    EXPECT_EQ(read("select FieldValue || '|' || ifnull(LockedBy, '') from EmpField where EmpID = 7"), "Green|");
    EXPECT_EQ(read("select FieldValue from EmpField where EmpID = 8"), "Red");
}

TEST_F(CustomDataTest, AnUnchangedValueIsNotWrittenAndClearKeepsTheKey)
{
    std::int64_t colour = addField("Colour");
    auto v = value(7, colour);
    v->SetFieldValue("");
    EXPECT_FALSE(v->IsModified());
    EXPECT_TRUE(v->Save("ALICE"));
    EXPECT_EQ(count("EmpField"), 0);
    v->SetFieldValue("x");
    v->Clear();
    EXPECT_EQ(v->EmpID(), 7);
    EXPECT_EQ(v->FieldID(), colour);
    EXPECT_EQ(v->FieldValue(), "");
    EXPECT_FALSE(v->IsModified());
}

TEST_F(CustomDataTest, AValueHeldByAnotherCopyIsNotOverwritten)
{
    std::int64_t colour = addField("Colour");
    addValue(7, colour, "Red");
    exec(*dm, "update EmpField set LockedBy = 'BOB'");
    auto v = value(7, colour);
    ASSERT_TRUE(v->Load());
    EXPECT_EQ(v->lockHolder(), "BOB");
    EXPECT_FALSE(v->Lock("ALICE"));
    expectOnlyMessage("The Custom Employee Data record is already locked by BOB.  You may view the information but "
                      "may not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    messages.clear();
    v->SetFieldValue("Blue");
    EXPECT_FALSE(v->Save("ALICE"));
    expectOnlyMessage("An error occurred saving the Custom Employee Data record.  The record is locked by BOB.\r\r"
                      "Please try your changes again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(read("select FieldValue from EmpField"), "Red");
}

TEST_F(CustomDataTest, AnEngineErrorSavingAValueIsReportedWithItsCode)
{
    std::int64_t colour = addField("Colour");
    blockWritesFromSecondCopy();
    engine::EngineError failure(0, "");
    engine::Table& t = dm->tblEmpOther;
    try {
        t.append();
        t.fieldByName("EmpID").setAsInteger(9);
        t.fieldByName("FieldID").setAsInteger(colour);
        t.post();
        ADD_FAILURE() << "the write was not blocked";
    } catch (const engine::EngineError& e) {
        failure = e;
    }
    t.cancel();
    auto v = value(7, colour);
    v->SetFieldValue("Blue");
    EXPECT_FALSE(v->Save("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred updating the Custom Employee Data record: \r\r" +
                                 std::to_string(failure.code()) + " - " + failure.message() + "."),
                      MsgKind::Warning);
    EXPECT_TRUE(v->IsModified());
    EXPECT_EQ(dm->tblEmpOther.state(), engine::TableState::Browse);
    releaseSecondCopy();
    EXPECT_EQ(count("EmpField"), 0);
}

TEST_F(CustomDataTest, ATableErrorSavingAValueOrAnItemIsReportedWithItsText)
{
    auto v = value(7, 1);
    v->SetFieldValue("Blue");
    dm->tblEmpOther.close();
    EXPECT_FALSE(v->Save("ALICE"));
    expectOnlyMessage("The following error occurred updating the Custom Employee Data record:\r\r"
                      "Cannot perform this operation on a closed table (empfield.DAT)",
                      MsgKind::Warning);

    messages.clear();
    TEmpFieldRecClass item(*dm);
    item.SetFieldDesc("Badge");
    dm->tblFields.close();
    EXPECT_FALSE(item.Save("ALICE"));
    expectOnlyMessage("The following error occurred saving the record: Cannot perform this operation on a closed "
                      "table (field.DAT)\r\rThe record was NOT saved.",
                      MsgKind::Warning);
    EXPECT_TRUE(item.IsModified());
}

TEST_F(CustomDataTest, ValueListHoldsItsEntriesInOrder)
{
    TEmpOtherValueListClass list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Item(0), nullptr);
    list.Add(value(7, 1));
    list.Add(value(7, 2));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(1)->FieldID(), 2);
    EXPECT_EQ(list.Item(2), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_FALSE(list.AnyModified());
    list.Item(1)->SetFieldValue("x");
    EXPECT_TRUE(list.AnyModified());
}

// --- the list of items ---

TEST_F(CustomDataTest, InactiveItemsAreNotReadAndTheWidestLabelIsMeasured)
{
    std::int64_t badge = addField("Badge");
    addField("Old locker number", false);
    std::int64_t shirt = addField("Shirt size");
    std::set<std::string> measured;
    TEmpFieldListClass list(*dm, [&](const std::string& text) {
        measured.insert(text);
        return int(text.size()) * 7;
    });
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0).FieldID(), badge);
    EXPECT_EQ(list.Item(0).FieldDesc(), "Badge");
    EXPECT_EQ(list.Item(1).FieldID(), shirt);
    EXPECT_TRUE(list.Item(1).ActiveFlag());
    EXPECT_EQ(list.WidestLabel(), 10 * 7);
    EXPECT_EQ(measured, (std::set<std::string>{"Badge", "Shirt size"}));

    exec(*dm, "delete from Field");
    TEmpFieldListClass none(*dm, [](const std::string&) { return 50; });
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(none.WidestLabel(), 0);
}

// --- the item definition ---

TEST_F(CustomDataTest, SavingANewItemWritesItsColumnsAndReleasesTheRow)
{
    TEmpFieldRecClass rec(*dm);
    rec.SetFieldDesc("Badge");
    rec.SetActiveFlag(false);
    ASSERT_TRUE(rec.Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(rec.IsModified());
    EXPECT_EQ(read("select FieldDesc || '|' || ActiveFlag || '|' || ifnull(LockedBy, '') from Field"), "Badge|0|");
}

TEST_F(CustomDataTest, TwoDescriptionsDifferingOnlyInCaseAreRefused)
{
    addField("Shirt Size");
    TEmpFieldRecClass rec(*dm);
    rec.SetFieldDesc("SHIRT SIZE");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(kDuplicateItem, MsgKind::Information);
    EXPECT_TRUE(rec.IsModified());
    EXPECT_EQ(dm->tblFields.state(), engine::TableState::Browse);
    EXPECT_EQ(count("Field"), 1);
}

TEST_F(CustomDataTest, AnItemDeletedMeanwhileIsReCreatedOnYesAndNotOnNo)
{
    const std::string question = "The Custom Employee Data Item record no longer exists in the database. Do you want "
                                 "to re-create the record?";
    auto rec = loadField(addField("Badge"));
    rec->SetFieldDesc("Badge number"); // the first change takes the lock
    EXPECT_EQ(read("select LockedBy from Field"), "ALICE");
    exec(second(), "delete from Field");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(count("Field"), 0);

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rec->Save("ALICE"));
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(read("select FieldDesc || '|' || ActiveFlag from Field"), "Badge number|1");
}

TEST_F(CustomDataTest, ASecondCopyIsRefusedAnItemWhileTheFirstEditsIt)
{
    std::int64_t id = addField("Badge");
    auto rec = loadField(id);
    rec->SetActiveFlag(false);
    EXPECT_EQ(read("select LockedBy from Field"), "ALICE");

    actAs("BOB");
    TEmpFieldRecClass bob(second());
    bob.SetFieldID(std::int32_t(id));
    ASSERT_TRUE(bob.LoadByID());
    EXPECT_FALSE(bob.Delete("BOB"));
    expectOnlyMessage("The record is locked by ALICE.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(count("Field"), 1);

    actAs("ALICE");
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(read("select ifnull(LockedBy, '') || '|' || ActiveFlag from Field"), "|0");
}

TEST_F(CustomDataTest, DeletingAnItemDeletesItsValuesForEveryEmployeeInOneTransaction)
{
    std::int64_t badge = addField("Badge");
    std::int64_t shirt = addField("Shirt size");
    addValue(7, badge, "B7");
    addValue(8, badge, "B8");
    addValue(7, shirt, "L");

    // Inside a caller's transaction both deletes wait for the caller, and its
    // rollback brings both back.
    auto rec = loadField(badge);
    ASSERT_TRUE(rec->Lock("ALICE"));
    dm->HourvaneDB.startTransaction();
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(dm->HourvaneDB.inTransaction());
    dm->HourvaneDB.rollback();
    EXPECT_EQ(count("Field"), 2);
    EXPECT_EQ(count("EmpField"), 3);

    // On its own it commits both.
    rec = loadField(badge);
    ASSERT_TRUE(rec->Lock("ALICE"));
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->FieldID(), 0);
    EXPECT_EQ(count("Field"), 1);
    EXPECT_EQ(count("EmpField", "FieldID = " + std::to_string(badge)), 0);
    EXPECT_EQ(count("EmpField", "FieldID = " + std::to_string(shirt)), 1);
}

TEST_F(CustomDataTest, AFailingValueDeleteKeepsTheItem)
{
    std::int64_t badge = addField("Badge");
    addValue(7, badge, "B7");
    dm->HourvaneDB.exec("create temp trigger keep_values before delete on EmpField "
                        "begin select raise(abort, 'values are kept'); end");
    engine::EngineError failure = errorOf("delete from EmpField where (FieldID = " + std::to_string(badge) + ")");

    auto rec = loadField(badge);
    ASSERT_TRUE(rec->Lock("ALICE"));
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage(CutMessage("The following error occurred deleting the Custom Employee Data Item record: \r\r" +
                                 std::to_string(failure.code()) + " - " + failure.message() + "."),
                      MsgKind::Warning);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    EXPECT_EQ(rec->FieldID(), badge);
    EXPECT_EQ(count("Field"), 1);
    EXPECT_EQ(count("EmpField"), 1);
}

TEST_F(CustomDataTest, DeletingAnItemThatIsGoneFailsAndTouchesNoValues)
{
    std::int64_t badge = addField("Badge");
    addValue(7, badge, "B7");
    auto rec = loadField(badge);
    exec(second(), "delete from Field");
    EXPECT_FALSE(rec->Delete("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(count("EmpField"), 1);
}

} // namespace hv::test

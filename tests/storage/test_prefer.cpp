// The preference store in both places, the settings cache and the global
// settings derived from it.
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "platform/SettingsFile.h"
#include "ports/PrinterQuery.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/PeerProcess.h"

#include <map>
#include <optional>

namespace hv::test {

class PreferTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        today.setToday(EncodeDate(2023, 3, 15)); // a Wednesday
        setClock(&today);
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
        setPrinterQuery([] { return SystemPrinter{}; }); // the test machine has none
        start();
    }
    void TearDown() override
    {
        other.reset();
        StorageTest::TearDown();
        setClock(nullptr);
        setPrinterQuery({});
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
    }
    THourvaneDataMod& second()
    {
        if (!other)
            other = std::make_unique<THourvaneDataMod>(
                DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
        return *other;
    }
    void storeRow(const std::string& key, const std::string& value, std::optional<std::string> lockedBy = {})
    {
        engine::Table& t = dm->tblPreferences;
        t.append();
        t.fieldByName("PreferID").setAsString(key);
        t.fieldByName("PreferValue").setAsString(value);
        if (lockedBy)
            t.fieldByName("LockedBy").setAsString(*lockedBy);
        t.post();
    }
    // The rows of prefer.dat as another copy reads them: key -> (value, LockedBy).
    std::map<std::string, std::pair<std::string, std::string>> rows()
    {
        engine::Query& q = second().qryBlank;
        q.clearSql();
        q.addSql("select PreferID, PreferValue, LockedBy from Prefer");
        q.open();
        std::map<std::string, std::pair<std::string, std::string>> r;
        for (; !q.eof(); q.next())
            r[q.field(0).asString()] = {q.field(1).asString(), q.field(2).asString()};
        q.close();
        return r;
    }
    std::string ini(const std::string& key) { return SettingsFile("Hourvane3.ini").read("Initialization", key, "<missing>"); }
    void setIni(const std::string& key, const std::string& value)
    {
        ASSERT_TRUE(SettingsFile("Hourvane3.ini").write("Initialization", key, value));
    }
    std::string day(int y, int m, int d) { return std::to_string(static_cast<long long>(EncodeDate(y, m, d))); }

    FixedClock today;
    std::unique_ptr<THourvaneDataMod> other;
};

// --- the settings cache ---

TEST_F(PreferTest, CacheLoadsItsKeysInOrderWithTheirDefaults)
{
    TPreferenceListClass cache(*dm);
    cache.LoadAll();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"HourFormat", "#0.00"}, {"MinuteRound", "4"}, {"FirstDate", day(2023, 3, 5)}, {"Overtime", "0"},
        {"Hours", "40"}, {"Shift2", "0"}, {"Shift3", "0"}, {"ShiftOvertime", "0"}, {"IncludeShiftOT", "0"},
        {"IncludeShiftMultiple", "0"}, {"IncludeShiftOff", "0"}, {"TimeFormat", "hh:nn A/P"}, {"AMKey", "0"},
        {"AMShift", "0"}, {"PMKey", "0"}, {"PMShift", "0"}, {"UserMonth", "1"}, {"UserDay", "1"},
        {"Printer", "0"}};
    ASSERT_EQ(cache.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(cache.item(i).key(), expected[i].first);
        EXPECT_EQ(cache.item(i).value(), expected[i].second) << expected[i].first;
        EXPECT_TRUE(cache.item(i).modified()) << "a default is written by the next SaveAll";
    }
    EXPECT_EQ(cache.GetValue("minuteround"), "4");
    EXPECT_THROW(cache.GetValue("NoSuchKey"), std::out_of_range);
}

TEST_F(PreferTest, StoredValuesComeFromTheirOwnPlace)
{
    storeRow("MinuteRound", "2");
    storeRow("HourFormat", "#0"); // the hour format lives in the settings file, not here
    setIni("HourFormat", "#0.0");
    setIni("MinuteRound", "0");
    TPreferenceListClass cache(*dm);
    cache.LoadAll();
    EXPECT_EQ(cache.GetValue("MinuteRound"), "2");
    EXPECT_FALSE(cache.find("MinuteRound")->modified());
    EXPECT_EQ(cache.GetValue("HourFormat"), "#0.0");
    EXPECT_FALSE(cache.find("HourFormat")->modified());
}

TEST_F(PreferTest, NewDatabaseFirstStoreWritesAllTwelveTableKeys)
{
    EXPECT_TRUE(rows().empty());
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    ASSERT_TRUE(cache.LockAll("ALICE"));
    EXPECT_TRUE(rows().empty()) << "rows not stored yet are locked in memory only";
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    auto r = rows();
    const std::map<std::string, std::string> expected = {
        {"MinuteRound", "4"}, {"FirstDate", day(2023, 3, 5)}, {"Overtime", "0"}, {"Hours", "40"},
        {"Shift2", "0"}, {"Shift3", "0"}, {"ShiftOvertime", "0"}, {"IncludeShiftOT", "0"},
        {"IncludeShiftMultiple", "0"}, {"IncludeShiftOff", "0"}, {"UserMonth", "1"}, {"UserDay", "1"}};
    ASSERT_EQ(r.size(), 12u);
    for (const auto& [key, value] : expected)
        EXPECT_EQ(r[key].first, value) << key;
    EXPECT_EQ(ini("HourFormat"), "#0.00");
    EXPECT_EQ(ini("TimeFormat"), "hh:nn A/P");
    EXPECT_EQ(ini("AMKey"), "0");
    EXPECT_EQ(ini("PMShift"), "0");
    EXPECT_TRUE(cache.UnlockAll("ALICE"));
    EXPECT_TRUE(messages.shown().empty());

    // The next session locks the stored rows for real.
    TPreferenceListClass next(*dm);
    LoadGlobalSettings(next);
    ASSERT_TRUE(next.LockAll("ALICE"));
    for (const auto& [key, row] : rows())
        EXPECT_EQ(row.second, "ALICE") << key;
    ASSERT_TRUE(next.UnlockAll("ALICE"));
    for (const auto& [key, row] : rows())
        EXPECT_EQ(row.second, "") << key;
}

TEST_F(PreferTest, UnknownMinuteRoundingReadsAsHalfHourAndIsWrittenBackAsFive)
{
    storeRow("MinuteRound", "9");
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().minuteRound, 5);
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    EXPECT_EQ(rows()["MinuteRound"].first, "5");

    EXPECT_EQ(minuteRoundFromCode("0"), 0);
    EXPECT_EQ(minuteRoundFromCode("4"), 4);
    EXPECT_EQ(minuteRoundFromCode("5"), 5);
    EXPECT_EQ(minuteRoundFromCode("x"), 5);
}

TEST_F(PreferTest, ShortcutModifiersAreStoredPerKey)
{
    setIni("AMKey", "65");
    setIni("AMShift", "2");
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().amKey, 65);
    EXPECT_EQ(globalSettings().amModifier, KeyModifier::Ctrl);
    EXPECT_EQ(globalSettings().pmModifier, KeyModifier::None);
    globalSettings().pmKey = 80;
    globalSettings().pmModifier = KeyModifier::Shift;
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    EXPECT_EQ(ini("PMShift"), "3");
    EXPECT_EQ(ini("PMKey"), "80");
    EXPECT_EQ(ini("AMShift"), "2");
    EXPECT_EQ(ini("AMKey"), "65");

    EXPECT_EQ(keyModifierFromCode("1"), KeyModifier::Alt);
    EXPECT_EQ(keyModifierFromCode("3"), KeyModifier::Shift);
    EXPECT_EQ(keyModifierFromCode("7"), KeyModifier::None);
    EXPECT_EQ(keyModifierCode(KeyModifier::Alt), "1");
    EXPECT_EQ(keyModifierCode(KeyModifier::None), "0");
}

TEST_F(PreferTest, TimeFormatMissingMeansTwelveHourEntry)
{
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().timeFormat, "hh:nn A/P");
    setIni("TimeFormat", "hh:nn");
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().timeFormat, "hh:nn");
}

TEST_F(PreferTest, FirstDateDefaultMovesWithTodayUntilStored)
{
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().firstDate, EncodeDate(2023, 3, 5));
    EXPECT_EQ(globalSettings().firstDayName, "Sunday");

    today.setToday(EncodeDate(2023, 3, 19)); // a Sunday: seven days back is a Sunday already
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().firstDate, EncodeDate(2023, 3, 12));

    today.setToday(EncodeDate(2023, 3, 22));
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().firstDate, EncodeDate(2023, 3, 12));
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    ASSERT_TRUE(cache.UnlockAll("ALICE"));

    today.setToday(EncodeDate(2023, 4, 5));
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().firstDate, EncodeDate(2023, 3, 12));
    EXPECT_EQ(rows()["FirstDate"].first, day(2023, 3, 12));
}

TEST_F(PreferTest, NumbersUseTheRegionalDecimalSeparator)
{
    RegionalSettings comma = RegionalSettings::usEnglish();
    comma.decimalSeparator = ",";
    comma.thousandSeparator = ".";
    setRegional(comma);
    storeRow("Shift2", "0.75"); // written on a machine with the other separator
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_FLOAT_EQ(globalSettings().shift2Premium, 0.75f);
    globalSettings().overtimeHours = 7.1f;
    globalSettings().shift3Premium = 1.5f;
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    auto r = rows();
    EXPECT_EQ(r["Hours"].first, "7,1");
    EXPECT_EQ(r["Shift2"].first, "0,75");
    EXPECT_EQ(r["Shift3"].first, "1,5");
    LoadGlobalSettings(cache);
    EXPECT_EQ(globalSettings().overtimeHours, 7.1f);
    EXPECT_EQ(globalSettings().shift3Premium, 1.5f);
}

TEST_F(PreferTest, FlagsAndNumbersRoundTrip)
{
    storeRow("Overtime", "2");
    storeRow("ShiftOvertime", "5");
    storeRow("IncludeShiftOT", "2"); // only "1" is true
    storeRow("IncludeShiftOff", "1");
    storeRow("UserMonth", "7");
    storeRow("UserDay", "15");
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    const GlobalSettings& g = globalSettings();
    EXPECT_TRUE(g.dailyOvertime);
    EXPECT_TRUE(g.shiftOvertime);
    EXPECT_FALSE(g.includeShiftOT);
    EXPECT_FALSE(g.includeShiftMultiple);
    EXPECT_TRUE(g.includeShiftOff);
    EXPECT_EQ(g.userMonth, 7);
    EXPECT_EQ(g.userDay, 15);
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    auto r = rows();
    EXPECT_EQ(r["Overtime"].first, "1");
    EXPECT_EQ(r["ShiftOvertime"].first, "1");
    EXPECT_EQ(r["IncludeShiftOT"].first, "0");
    EXPECT_EQ(r["IncludeShiftOff"].first, "1");
    EXPECT_EQ(r["UserMonth"].first, "7");
}

// --- the printer ---

TEST_F(PreferTest, WithoutAPrinterThePrinterKeyIsNotWritten)
{
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_TRUE(globalSettings().noPrinter);
    EXPECT_EQ(globalSettings().printerName, "");
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    EXPECT_EQ(ini("Printer"), "<missing>");
    EXPECT_EQ(ini("HourFormat"), "#0.00");
}

TEST_F(PreferTest, WithAPrinterItsNameAndTheOrientationAreUsed)
{
    setPrinterQuery([] { return SystemPrinter{true, "Office Laser"}; });
    setIni("Printer", "1");
    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_FALSE(globalSettings().noPrinter);
    EXPECT_EQ(globalSettings().printerName, "Office Laser");
    EXPECT_EQ(globalSettings().orientation, PageOrientation::Landscape);
    globalSettings().orientation = PageOrientation::Portrait;
    ASSERT_TRUE(cache.LockAll("ALICE"));
    ASSERT_TRUE(StoreGlobalSettings(cache, "ALICE"));
    EXPECT_EQ(ini("Printer"), "0");
}

// --- locking the shared settings ---

TEST_F(PreferTest, LockAllRefusedByAnotherCopyLeavesNothingLocked)
{
    {
        TPreferenceListClass first(*dm);
        LoadGlobalSettings(first);
        ASSERT_TRUE(first.LockAll("ALICE"));
        ASSERT_TRUE(StoreGlobalSettings(first, "ALICE"));
    }
    // Another copy holds one row in the middle of the list.
    TPreferenceRecClass overtime(second(), "Overtime", PreferStorage::SharedTable);
    ASSERT_TRUE(overtime.Load());
    ASSERT_TRUE(overtime.Lock("BOB"));

    TPreferenceListClass cache(*dm);
    LoadGlobalSettings(cache);
    EXPECT_FALSE(cache.LockAll("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "The Preferences record is already locked by BOB.  You may view the information but "
                               "may not save any changes.\r\rPlease try your update again later.");
    EXPECT_EQ(messages.shown()[0].helpContext, kLockHelpContext);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    for (const auto& [key, row] : rows())
        EXPECT_EQ(row.second, key == "Overtime" ? "BOB" : "") << key;
    EXPECT_EQ(cache.find("MinuteRound")->lockHolder(), "") << "the rolled-back lock is not kept in memory";
    EXPECT_TRUE(cache.find("Overtime")->lockRefused());

    // Refused once, silent until reset; free again, it locks.
    ASSERT_TRUE(overtime.Unlock("BOB"));
    EXPECT_FALSE(cache.LockAll("ALICE"));
    EXPECT_EQ(messages.shown().size(), 1u);
    cache.ResetLockRefused();
    EXPECT_TRUE(cache.LockAll("ALICE"));
    for (const auto& [key, row] : rows())
        EXPECT_EQ(row.second, "ALICE") << key;
}

TEST_F(PreferTest, LockAllInsideACallersTransactionLeavesItToTheCaller)
{
    storeRow("MinuteRound", "4");
    TPreferenceListClass cache(*dm);
    cache.LoadAll();
    {
        TransactionGuard outer(dm->HourvaneDB);
        ASSERT_TRUE(cache.LockAll("ALICE"));
        EXPECT_TRUE(dm->HourvaneDB.inTransaction());
        outer.rollback();
    }
    EXPECT_EQ(rows()["MinuteRound"].second, "");
}

TEST_F(PreferTest, SaveAllStopsAtTheFirstRefusalAndKeepsTheRowsAsTheyWere)
{
    storeRow("MinuteRound", "4");
    storeRow("Hours", "40");
    TPreferenceListClass cache(*dm);
    cache.LoadAll();
    ASSERT_TRUE(cache.LockAll("ALICE"));
    // Another copy takes the Hours row behind our back.
    {
        engine::Query& q = second().qryBlank;
        q.clearSql();
        q.addSql("update Prefer set LockedBy = 'BOB' where PreferID = 'Hours'");
        q.execSql();
    }
    cache.SetValue("MinuteRound", "2");
    cache.SetValue("Hours", "45");
    EXPECT_FALSE(cache.SaveAll("ALICE"));
    EXPECT_EQ(messages.last(), "An error occurred saving the Preferences record.  The record is locked by BOB.\r\r"
                               "Please try your changes again later.");
    auto r = rows();
    EXPECT_EQ(r["MinuteRound"].first, "4") << "the settings change together or not at all";
    EXPECT_EQ(r["Hours"].first, "40");
    EXPECT_EQ(r.count("FirstDate"), 0u);
    EXPECT_TRUE(cache.find("MinuteRound")->modified()) << "still to be saved";
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
}

// --- one preference ---

TEST_F(PreferTest, SharedPreferenceLoadsValueAndHolderByKeyWithoutRegardToCase)
{
    storeRow("HourvaneAccess", "XYZ", std::string("BOB"));
    TPreferenceRecClass pref(*dm, "hourvaneaccess", PreferStorage::SharedTable);
    EXPECT_EQ(pref.recordName(), "Preferences");
    EXPECT_EQ(pref.tableName(), "tblPreferences");
    ASSERT_TRUE(pref.Load());
    EXPECT_EQ(pref.value(), "XYZ");
    EXPECT_EQ(pref.lockHolder(), "BOB");
    EXPECT_FALSE(pref.modified());
    pref.SetValue("XYZ");
    EXPECT_FALSE(pref.modified());
    pref.SetValue("ABC");
    EXPECT_TRUE(pref.modified());

    TPreferenceRecClass missing(*dm, "NotThere", PreferStorage::SharedTable);
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(missing.value(), "");
}

TEST_F(PreferTest, MissingRowIsLockedInMemoryAndAppendedOnSave)
{
    TPreferenceRecClass pref(*dm, "HourvaneAccess", PreferStorage::SharedTable);
    EXPECT_FALSE(pref.Load());
    EXPECT_TRUE(pref.Lock("ALICE"));
    EXPECT_EQ(pref.lockHolder(), "ALICE");
    EXPECT_TRUE(rows().empty());
    pref.SetValue("SECRET");
    EXPECT_TRUE(pref.Save("ALICE"));
    EXPECT_FALSE(pref.modified());
    EXPECT_EQ(rows()["HourvaneAccess"].first, "SECRET");
    EXPECT_TRUE(pref.Unlock("ALICE"));
    EXPECT_EQ(pref.lockHolder(), "");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(PreferTest, SavingAStoredRowNeedsItsLock)
{
    storeRow("UserDay", "1");
    TPreferenceRecClass pref(*dm, "UserDay", PreferStorage::SharedTable);
    ASSERT_TRUE(pref.Load());
    pref.SetValue("9");
    EXPECT_FALSE(pref.Save("ALICE"));
    EXPECT_EQ(messages.last(), "An error occurred saving the Preferences record.  The record has been unlocked by "
                               "another user.\r\rPlease select the record again to enter your changes.");
    EXPECT_TRUE(pref.modified());
    ASSERT_TRUE(pref.Lock("ALICE"));
    EXPECT_TRUE(pref.Save("ALICE"));
    EXPECT_EQ(rows()["UserDay"], (std::pair<std::string, std::string>{"9", "ALICE"}));
}

TEST_F(PreferTest, SettingsFilePreferencesNeedNoLock)
{
    TPreferenceRecClass pref(*dm, "ShowTips", PreferStorage::SettingsFile);
    EXPECT_EQ(pref.section(), "Initialization");
    EXPECT_EQ(pref.fileName(), "Hourvane3.ini");
    EXPECT_FALSE(pref.Load());
    EXPECT_TRUE(pref.Lock("ALICE"));
    pref.SetValue("1");
    EXPECT_TRUE(pref.Save("ALICE"));
    EXPECT_EQ(ini("ShowTips"), "1");
    EXPECT_TRUE(pref.Unlock("ALICE"));
    TPreferenceRecClass again(*dm, "ShowTips", PreferStorage::SettingsFile);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(again.value(), "1");
    EXPECT_TRUE(rows().empty());
}

TEST_F(PreferTest, EngineErrorWhileSavingIsReportedWithTheEnginesMessage)
{
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("open prefer.dat"), "ok");
    ASSERT_EQ(peer.send("begin"), "ok");
    dm->HourvaneDB.setLockRetryCount(0);
    dm->HourvaneDB.setLockWaitTime(0);
    // What the engine says when a row cannot be written, and when a transaction cannot start.
    std::string blockedRow, blockedTransaction;
    try {
        storeRow("Probe", "x");
        ADD_FAILURE() << "the write was not blocked";
    } catch (const engine::EngineError& e) {
        blockedRow = e.message();
        dm->tblPreferences.cancel();
    }
    try {
        dm->HourvaneDB.startTransaction();
        ADD_FAILURE() << "the transaction was not blocked";
    } catch (const engine::EngineError& e) {
        blockedTransaction = e.message();
    }
    auto expected = [](const std::string& engineMessage) {
        return "The following error occurred saving the preference: " + engineMessage + "\r\rThe record was NOT saved.";
    };

    TPreferenceRecClass pref(*dm, "HourvaneAccess", PreferStorage::SharedTable);
    pref.SetValue("SECRET");
    EXPECT_FALSE(pref.Save("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), expected(blockedRow));
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);
    EXPECT_TRUE(pref.modified());
    EXPECT_EQ(dm->tblPreferences.state(), engine::TableState::Browse);

    TPreferenceListClass cache(*dm);
    cache.LoadAll();
    messages.clear();
    EXPECT_FALSE(cache.SaveAll("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), expected(blockedTransaction));

    // Locking and unlocking the list cannot start their transaction either.
    messages.clear();
    EXPECT_FALSE(cache.LockAll("ALICE"));
    EXPECT_FALSE(cache.UnlockAll("ALICE"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "The following error occurred locking the Preferences record: 10241 - " +
                                            blockedTransaction + "\r\rThe record was NOT locked.");
    EXPECT_EQ(messages.shown()[1].text, "The following error occurred unlocking the Preferences record: 10241 - " +
                                            blockedTransaction + "\r\rThe record was NOT unlocked.");

    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_TRUE(pref.Save("ALICE"));
    EXPECT_EQ(rows()["HourvaneAccess"].first, "SECRET");
}

TEST_F(PreferTest, UnreadableTableCountsAsNotStoredAndLockingSaysWhy)
{
    storeRow("UserDay", "3");
    dm->tblPreferences.close();
    TPreferenceRecClass pref(*dm, "UserDay", PreferStorage::SharedTable);
    EXPECT_FALSE(pref.Load());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(pref.Lock("ALICE"));
    EXPECT_FALSE(pref.Unlock("ALICE"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "The following error occurred locking the Preferences record: Cannot "
                                        "perform this operation on a closed table (prefer.DAT)\r\rThe record was NOT locked.");
    EXPECT_EQ(messages.shown()[1].text, "The following error occurred unlocking the Preferences record: Cannot "
                                        "perform this operation on a closed table (prefer.DAT)\r\rThe record was NOT "
                                        "unlocked.");
}

} // namespace hv::test

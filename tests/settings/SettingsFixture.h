#pragma once
// A fresh database acting as one named copy, with the helpers the password
// window tests share.
#include "settings/PassUtil.h"
#include "storage/AppState.h"
#include "tests/support/DataFolderFixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <optional>
#include <utility>

namespace hv::test {

class SettingsTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        resetAppState();
        appState().lockIdentity = "ALICE";
        start();
    }
    void TearDown() override
    {
        StorageTest::TearDown();
        resetAppState();
    }

    // The password row as stored now: (value, LockedBy); nullopt without a row.
    std::optional<std::pair<std::string, std::string>> accessRow()
    {
        TPreferenceRecClass pref(*dm, kAccessPreferID, PreferStorage::SharedTable);
        if (!pref.Load())
            return std::nullopt;
        return std::make_pair(pref.value(), pref.lockHolder());
    }
    void storeAccessRow(const std::string& value, const std::string& lockedBy = "")
    {
        engine::Table& t = dm->tblPreferences;
        t.append();
        t.fieldByName("PreferID").setAsString(kAccessPreferID);
        t.fieldByName("PreferValue").setAsString(value);
        if (!lockedBy.empty())
            t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
    }

    template <class T = QWidget>
    static T* child(QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void type(QWidget& window, const char* field, const QString& text)
    {
        QTest::keyClicks(child<QLineEdit>(window, field), text);
    }
    static QString text(QWidget& window, const char* field) { return child<QLineEdit>(window, field)->text(); }
    static void click(QWidget& window, const char* button)
    {
        QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
    }
};

} // namespace hv::test

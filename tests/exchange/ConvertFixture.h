#pragma once
// A started data folder with an extraction folder, a folder for the fake
// extractor (a shell script named Convert.exe that the test writes) and the
// hand-written extract files of tests/exchange/convert; plus a dump of every
// table the migration writes, for one golden file.
#include "exchange/migrate/ConvertData.h"
#include "exchange/migrate/ConvertLoad.h"
#include "platform/RegionalSettings.h"
#include "platform/SettingsFile.h"
#include "tests/support/DataFolderFixture.h"

#include <filesystem>
#include <fstream>

namespace hv::test {

class ConvertTest : public StorageTest {
protected:
    void SetUp() override
    {
        setRegional(RegionalSettings::usEnglish());
        StorageTest::SetUp();
        resetAppState();
        appState().lockIdentity = "ALICE";
        SettingsFile settings("Hourvane3.ini");
        settings.write("Conversion", "ExtractDir", extract.path().string());
        settings.write("Conversion", "ConvertDir", converter.folder()); // the trailing separator goes
        start();
    }
    void TearDown() override
    {
        StorageTest::TearDown();
        resetAppState();
    }

    static std::string fixture(const std::string& name) { return std::string(HV_CONVERT_FIXTURES) + "/" + name; }
    static std::string fixtureText(const std::string& name)
    {
        std::ifstream in(fixture(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The extract files into a folder, one of them replaced by the given text.
    void putExtract(const std::filesystem::path& folder, const std::string& replaced = {}, const std::string& text = {})
    {
        for (int i = 0; i < kExtractFileCount; ++i) {
            const std::string name = ExtractFileName(ExtractFile(i));
            std::ofstream(folder / name, std::ios::binary) << (name == replaced ? text : fixtureText(name));
        }
    }
    void putOldSettings(const std::string& text)
    {
        std::ofstream(config.path() / "HOURVANE.INI", std::ios::binary) << text;
    }
    // Reads the extraction folder and the old settings as the window does.
    ExtractData readExtract()
    {
        return ReadExtract(extract.path().string(), FindFileNoCase(config.folder(), "HOURVANE.INI"));
    }

    // The fake extractor: a shell script with the given body.
    void putExtractor(const std::string& body, bool executable = true)
    {
        const auto path = converter / "Convert.exe";
        std::ofstream(path, std::ios::binary) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(path, executable ? std::filesystem::perms::owner_all
                                                      : std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_write);
    }
    // A script that copies the extract files and then says it is done.
    std::string copyingScript() const
    {
        return "cp '" + std::string(HV_CONVERT_FIXTURES) + "'/*.Txt '" + extract.path().string() + "'/ && touch '" +
               extract.path().string() + "/Done.Txt'";
    }

    std::string read(const std::string& sql) { return readValue(*dm, sql); }
    // Every row of the table, one per line, each column as SQL quotes it.
    std::string dumpTable(engine::Table& table)
    {
        std::string columns;
        for (const auto& f : table.definition().fields)
            if (f.type != engine::FieldType::Memo) // kept in the blob file
                columns += (columns.empty() ? "" : "||' '||") + std::string("quote(") + f.name + ")";
        return table.sqlName() + ":\n" +
               read("select coalesce(group_concat(l, char(10)), '') from (select " + columns + " as l from " +
                    table.sqlName() + " order by rowid)") +
               "\n";
    }
    std::string dumpMigrated()
    {
        std::string text;
        for (engine::Table* t :
             {&dm->tblReasons, &dm->tblPolicy, &dm->tblDepts, &dm->tblEmps, &dm->tblWages, &dm->tblAccruals,
              &dm->tblOTPolicy, &dm->tblEmpOT, &dm->tblTimeOff, &dm->tblWorkDay, &dm->tblEmpOther})
            text += dumpTable(*t);
        text += "prefer:\n" +
                read("select group_concat(l, char(10)) from (select PreferID||'='||PreferValue as l from Prefer "
                     "where PreferID in ('FirstDate','Hours','Overtime','HourvaneAccess') order by PreferID)") +
                "\n";
        return text;
    }

    TempDir extract;
    TempDir converter;
};

} // namespace hv::test

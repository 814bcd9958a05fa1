#pragma once
// A started data folder (this copy acts as ALICE) with the field definition
// files the build put beside the program, and a way to import the text of a
// file with a given column map and read back what was stored.
#include "exchange/ImportFields.h"
#include "exchange/ImportRun.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "tests/support/DataFolderFixture.h"

#include <fstream>

namespace hv::test {

class ImportTest : public StorageTest {
protected:
    void SetUp() override
    {
        setRegional(RegionalSettings::usEnglish());
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

    // columns[i]: the import field position column i fills, -1 for none.
    ImportResult import(ImportType type, const std::string& text, const std::vector<int>& columns, bool replace = false)
    {
        ImportRequest request;
        request.type = type;
        request.format = ImportFormat::Comma;
        request.fileName = program.folder() + "import.txt";
        std::ofstream(request.fileName, std::ios::binary) << text;
        request.replace = replace;
        EXPECT_TRUE(LoadImportFields(type, HV_PROGRAM_DIR, request.fields));
        request.columnField = columns;
        for (int position : columns)
            if (position >= 0)
                request.fields[std::size_t(position)].Mapped = true;
        request.progress = &progress;
        ImportResult result = RunImport(*dm, request);
        tellAll(result.notices); // as the wizard shows them
        return result;
    }

    // Read on this copy's own connection: another copy's open tables would
    // keep the import from taking them for itself.
    std::string read(const std::string& sql) { return readValue(*dm, sql); }
    std::int64_t count(const std::string& table, const std::string& where = {}) { return countRows(*dm, table, where); }
    static void exec(THourvaneDataMod& d, const std::string& sql) { execBlank(d, sql); }

    // The rows of a query joined: "a b c; d e f".
    std::string rows(const std::string& columns, const std::string& from)
    {
        return read("select group_concat(r, '; ') from (select " + columns + " as r from " + from + ")");
    }
    std::string days()
    {
        return rows("EmpID || ' ' || WeekDate || ' ' || SequenceNum || ' ' || ifnull(TimeIn1, '-') || ' ' || "
                    "ifnull(TimeOut1, '-') || ' ' || ifnull(TimeIn2, '-') || ' ' || ifnull(TimeOut2, '-')",
                    "WorkDay order by EmpID, WeekDate, SequenceNum");
    }

    static double date(int y, int m, int d) { return EncodeDate(y, m, d); }
};

} // namespace hv::test

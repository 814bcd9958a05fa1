#include "people/TOTPolicy.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/SQLRec.h"

namespace hv {
namespace {

const char* const kOTPolicyRecord = "Overtime Policy";

} // namespace

TOTPolicyRecClass::TOTPolicyRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName(kOTPolicyRecord);
    setTableName("tblOTPolicy");
    Clear();
}

void TOTPolicyRecClass::SetModified(bool value)
{
    if (value && !modified())
        Lock(dataModule().state().lockIdentity);
    setModified(value);
}

void TOTPolicyRecClass::SetPolicy(const std::string& value)
{
    if (value != m_policy)
        SetModified(true);
    m_policy = value;
}

void TOTPolicyRecClass::SetWeeklyFlag(bool value)
{
    if (value != m_weeklyFlag)
        SetModified(true);
    m_weeklyFlag = value;
}

void TOTPolicyRecClass::SetActiveFlag(bool value)
{
    if (value != m_activeFlag)
        SetModified(true);
    m_activeFlag = value;
}

void TOTPolicyRecClass::SetHours1(float value)
{
    if (value != m_hours1)
        SetModified(true);
    m_hours1 = value;
}

void TOTPolicyRecClass::SetHours2(float value)
{
    if (value != m_hours2)
        SetModified(true);
    m_hours2 = value;
}

void TOTPolicyRecClass::SetRate1(float value)
{
    if (value != m_rate1)
        SetModified(true);
    m_rate1 = value;
}

void TOTPolicyRecClass::SetRate2(float value)
{
    if (value != m_rate2)
        SetModified(true);
    m_rate2 = value;
}

void TOTPolicyRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_policy.clear();
    m_weeklyFlag = true;
    m_activeFlag = true;
    m_hours1 = 0;
    m_hours2 = 0;
    m_rate1 = 0;
    m_rate2 = 0;
}

bool TOTPolicyRecClass::findRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_policyID))});
}

bool TOTPolicyRecClass::LoadByID()
{
    Clear();
    if (!findRow())
        return false;
    engine::Table& t = table();
    m_policy = t.fieldByName("Policy").asString();
    m_weeklyFlag = t.fieldByName("WeeklyFlag").asBoolean();
    m_activeFlag = t.fieldByName("ActiveFlag").asBoolean();
    m_hours1 = float(t.fieldByName("Hours1").asFloat());
    m_hours2 = float(t.fieldByName("Hours2").asFloat());
    m_rate1 = float(t.fieldByName("Rate1").asFloat());
    m_rate2 = float(t.fieldByName("Rate2").asFloat());
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
    return true;
}

void TOTPolicyRecClass::LoadDefault()
{
    Clear();
    const GlobalSettings& g = globalSettings();
    m_policyID = 0;
    m_weeklyFlag = !g.dailyOvertime;
    m_hours1 = g.overtimeHours;
    m_rate1 = 1.5f;
    m_hours2 = 0;
    m_rate2 = 0;
}

bool TOTPolicyRecClass::Save(const std::string& lockIdentity)
{
    return SaveKeyedRow(
        lockIdentity, m_policyID != 0, [this] { return findRow(); },
        recreateQuestion(),
        [this](engine::Table& t, bool) {
            t.fieldByName("Policy").setAsString(m_policy);
            t.fieldByName("WeeklyFlag").setAsBoolean(m_weeklyFlag);
            t.fieldByName("ActiveFlag").setAsBoolean(m_activeFlag);
            t.fieldByName("Hours1").setAsFloat(m_hours1);
            t.fieldByName("Hours2").setAsFloat(m_hours2);
            t.fieldByName("Rate1").setAsFloat(m_rate1);
            t.fieldByName("Rate2").setAsFloat(m_rate2);
        },
        "Policy", "This Policy Description has already been used.  Please try another one.");
}

bool TOTPolicyRecClass::Delete(const std::string& lockIdentity)
{
    // Assignments to a policy that no longer exists would only be passed over.
    const bool deleted = DeleteKeyedRow(
        lockIdentity, [this] { return findRow(); },
        std::string("The ") + kOTPolicyRecord + " record has been deleted by another" + " user.",
        [this] { execBlank(dataModule(), "delete from EmpOT where PolicyID = " + std::to_string(m_policyID)); });
    if (!deleted)
        return false;
    Clear();
    m_policyID = 0;
    return true;
}

bool TOTPolicyRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findRow(); });
}

bool TOTPolicyRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findRow(); });
}

void TOTPolicyRecClass::FillPolicyList(PickList& list, bool withNew, bool activeOnly, std::int32_t keptID)
{
    list.clear();
    if (withNew)
        list.add("<New Policy>", 0);
    engine::Table& t = table();
    t.setIndexName("Policy");
    for (t.first(); !t.eof(); t.next()) {
        auto id = std::int32_t(t.fieldByName("PolicyID").asInteger());
        if (!activeOnly || t.fieldByName("ActiveFlag").asBoolean() || id == keptID)
            list.add(t.fieldByName("Policy").asString(), id);
    }
}

} // namespace hv

#include "people/PeopleUtil.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "storage/CursorService.h"
#include "storage/DataModule.h"

namespace hv::people {

void Tell(const std::string& text, MsgKind kind, int helpContext)
{
    RestoreCursor();
    ShowMessageBox(text, kind, MsgButtons::Ok, helpContext);
}

MsgResult Ask(const std::string& text)
{
    RestoreCursor();
    return ShowMessageBox(text, MsgKind::Confirmation, MsgButtons::YesNo, 0);
}

void ExecBlank(THourvaneDataMod& dm, const std::string& sql)
{
    engine::Query& q = dm.qryBlank;
    q.clearSql();
    q.addSql(sql);
    try {
        q.prepare();
        q.execSql();
    } catch (...) {
        q.unprepare();
        throw;
    }
    q.unprepare();
}

std::string EngineMessage(const std::exception& error)
{
    if (auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return e->message();
    return error.what();
}

std::string ListName(const std::string& lastName, const std::string& firstName)
{
    return lastName + ", " + firstName;
}

} // namespace hv::people

#pragma once
// Small pieces the people records share: showing a failure the way every
// record does, running one ad-hoc statement, and reading engine errors.
#include "storage/MessageService.h"

#include <exception>
#include <string>

namespace hv {

class THourvaneDataMod;

namespace people {

// Normal cursor first, then the message with an OK button.
void Tell(const std::string& text, MsgKind kind, int helpContext = 0);
// Normal cursor first, then a Yes/No question.
MsgResult Ask(const std::string& text);

// One statement through the data module's qryBlank: prepared, executed and
// released again, so nothing of it stays open on the connection.
void ExecBlank(THourvaneDataMod& dm, const std::string& sql);

// The engine's message alone (without the error code).
std::string EngineMessage(const std::exception& error);

// "Last, First" as pick lists show a name: the comma is always there.
std::string ListName(const std::string& lastName, const std::string& firstName);

} // namespace people
} // namespace hv

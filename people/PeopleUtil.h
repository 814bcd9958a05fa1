#pragma once
// How pick lists show a person's name.
#include <string>

namespace hv::people {

// "Last, First" as pick lists show a name: the comma is always there.
std::string ListName(const std::string& lastName, const std::string& firstName);

} // namespace hv::people

#include "people/PeopleUtil.h"

namespace hv::people {

std::string ListName(const std::string& lastName, const std::string& firstName)
{
    return lastName + ", " + firstName;
}

} // namespace hv::people

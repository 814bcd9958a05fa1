#pragma once
// The dates of an employee's dated histories (wages, overtime assignments)
// as the employee window edits them: which entry comes before or after a
// date, whether a start date is taken, and how end dates follow when an
// entry is added, moved or deleted. Entries pending deletion do not count.
#include <cstdint>

namespace hv::history {

// The entry with the latest start before the date, other than except.
template <class List, class Entry>
Entry* LatestBefore(const List& list, double date, const Entry* except)
{
    Entry* found = nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        Entry& e = list.Item(i);
        if (&e == except || e.DeletePending() || e.StartDate() >= date)
            continue;
        if (!found || e.StartDate() > found->StartDate())
            found = &e;
    }
    return found;
}

// The entry with the earliest start after the date, other than except.
template <class List, class Entry>
Entry* EarliestAfter(const List& list, double date, const Entry* except)
{
    Entry* found = nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        Entry& e = list.Item(i);
        if (&e == except || e.DeletePending() || e.StartDate() <= date)
            continue;
        if (!found || e.StartDate() < found->StartDate())
            found = &e;
    }
    return found;
}

// Whether another entry starts on the date (two would share one key).
template <class List, class Entry>
bool StartTaken(const List& list, double date, const Entry* except)
{
    for (int i = 0; i < list.Count(); ++i) {
        const Entry& e = list.Item(i);
        if (&e != except && !e.DeletePending() && e.StartDate() == date)
            return true;
    }
    return false;
}

// An entry just added: the one before it ends the day before it starts. An
// entry dated before the others ends the day before the next one starts,
// and that one keeps its own end.
template <class List, class Entry>
void ChainAdded(List& list, Entry& added)
{
    if (Entry* before = LatestBefore(list, added.StartDate(), &added))
        before->SetEndDate(added.StartDate() - 1);
    if (Entry* after = EarliestAfter(list, added.StartDate(), &added))
        added.SetEndDate(after->StartDate() - 1);
}

// An entry given a new start date: the one before it ends the day before.
template <class List, class Entry>
void ChainUpdated(List& list, Entry& updated)
{
    if (Entry* before = LatestBefore(list, updated.StartDate(), &updated))
        before->SetEndDate(updated.StartDate() - 1);
}

// An entry marked for deletion hands its dates over: the newest one's end
// date goes to the one before it; an older one's start date to the one after.
template <class List, class Entry>
void HandOverDeleted(List& list, Entry& deleted)
{
    if (Entry* after = EarliestAfter(list, deleted.StartDate(), &deleted))
        after->SetStartDate(deleted.StartDate());
    else if (Entry* before = LatestBefore(list, deleted.StartDate(), &deleted))
        before->SetEndDate(deleted.EndDate());
}

} // namespace hv::history

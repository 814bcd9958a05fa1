#pragma once
// Emptying a table whose whole contents are being replaced: the rows go and
// the auto-increment numbering starts again at 1, so that rows loaded in a
// known order get known numbers. Ordinary deletes never reuse a number.
namespace hv::engine {

class Table;

// Inside the caller's transaction (a savepoint keeps the rows, their memo
// values and the numbering together); the open table's cursor is moved to
// the first row afterwards.
void EmptyAndRestartNumbering(Table& table);

} // namespace hv::engine

#pragma once
// Width in pixels of a vertical scroll bar in the application's style; grids
// subtract it from their width to size their last column.
namespace hv {

int ScrollWidth();

} // namespace hv

#pragma once
// The import needs the database to itself: it holds the maintenance marker
// for as long as its wizard is open, and it starts only when no other copy
// holds a presence slot. However the wizard ends, the tables are shared again
// and the marker is let go.
namespace hv {

class THourvaneDataMod;

class ImportAccess {
public:
    // Takes the marker and looks for other copies, each tried once; shows
    // why when the import may not start.
    explicit ImportAccess(THourvaneDataMod& dm);
    ~ImportAccess();
    ImportAccess(const ImportAccess&) = delete;
    ImportAccess& operator=(const ImportAccess&) = delete;

    bool granted() const { return m_granted; }

private:
    THourvaneDataMod& m_dm;
    bool m_granted = false;
};

} // namespace hv

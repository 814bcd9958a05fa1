#pragma once
// The "Please wait..." window as the data module drives it while it creates a
// new database; the window itself belongs to the user interface.
#include <string>

namespace hv {

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void setMaximum(int max) = 0;
    virtual void setPosition(int pos) = 0;
    virtual void step() = 0;
    virtual void setMainLabel(const std::string& text, bool bold) = 0;
    virtual void setArrowVisible(bool visible) = 0;
    virtual void setSecondLabelVisible(bool visible) = 0;
    virtual void showAndPaint() = 0;
    virtual void release() = 0;
};

} // namespace hv

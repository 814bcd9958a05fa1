#pragma once
// Small pieces the people windows share: the loading flag that keeps change
// handlers quiet while a window fills its controls, and field labels.
#include <QLabel>
#include <QString>

namespace hv {

class LoadingScope {
public:
    explicit LoadingScope(bool& flag) : m_flag(flag), m_previous(flag) { m_flag = true; }
    ~LoadingScope() { m_flag = m_previous; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    bool& m_flag;
    bool m_previous;
};

inline QLabel* fieldLabel(const char* text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace hv

#pragma once
// Small pieces the record windows share: the loading flag that keeps change
// handlers quiet while a window fills its controls, and labels.
#include <QLabel>
#include <QPushButton>
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

// The widget, given its object name: controls are built and named in one line.
template <class W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// Save follows the record's lock; once the lock is refused, Delete is off too.
inline void ShowLockState(QPushButton* save, QPushButton* del, bool held, bool refused)
{
    save->setEnabled(held);
    if (refused)
        del->setEnabled(false);
}

// A named label that shows its text as typed, never as markup.
inline QLabel* plainLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace hv

#pragma once
// A shown, active top-level window holding the boxes under test, so that focus
// moves and key presses reach them as they do in the program's windows.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace hv::test {

class WidgetWindow {
public:
    WidgetWindow() : m_layout(new QVBoxLayout(&m_window))
    {
        // The box focus moves to when a test leaves the box under test.
        m_next = new QLineEdit(&m_window);
        m_next->setObjectName("txtNext");
    }

    template <typename Box>
    Box* add(const char* name)
    {
        auto* box = new Box(&m_window);
        box->setObjectName(name);
        m_layout->insertWidget(m_layout->count(), box);
        return box;
    }

    // Shows the window and waits until it is the active one.
    bool show()
    {
        m_layout->addWidget(m_next);
        m_window.show();
        m_window.activateWindow();
        return QTest::qWaitForWindowActive(&m_window);
    }

    QWidget& window() { return m_window; }
    QLineEdit* next() { return m_next; }

private:
    QWidget m_window;
    QVBoxLayout* m_layout;
    QLineEdit* m_next;
};

} // namespace hv::test

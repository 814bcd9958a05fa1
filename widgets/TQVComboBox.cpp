#include "widgets/TQVComboBox.h"

namespace hv {

TQVComboBox::TQVComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    // Only the user's choice is a click; programmatic selection stays silent.
    connect(this, &QComboBox::activated, this, &TQVComboBox::itemClicked);
}

void TQVComboBox::clear() { QComboBox::clear(); }

void TQVComboBox::add(const std::string& text, std::int32_t id)
{
    addItem(QString::fromStdString(text), QVariant(id));
}

int TQVComboBox::count() const { return QComboBox::count(); }

std::string TQVComboBox::text(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return itemText(index).toStdString();
}

std::int32_t TQVComboBox::id(int index) const
{
    if (index < 0 || index >= count())
        return 0;
    return itemData(index, Qt::UserRole).toInt();
}

void TQVComboBox::SetItemID(int index, std::int32_t id)
{
    if (index >= 0 && index < count())
        setItemData(index, QVariant(id), Qt::UserRole);
}

std::int32_t TQVComboBox::SelectedID() const { return id(currentIndex()); }

int TQVComboBox::SelectText(const std::string& text)
{
    setCurrentIndex(indexOfText(text));
    return currentIndex();
}

int TQVComboBox::SelectID(std::int32_t id)
{
    setCurrentIndex(indexOfId(id));
    return currentIndex();
}

void TQVComboBox::showPopup()
{
    // The owner refills the list before it opens.
    emit dropDown();
    QComboBox::showPopup();
}

} // namespace hv

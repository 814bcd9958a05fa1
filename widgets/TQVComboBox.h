#pragma once
// A drop-down list that keeps one integer (a record ID) with every item, set
// and read by position; the record fillers write into it as a PickList.
#include "ports/PickList.h"

#include <QComboBox>

#include <cstdint>
#include <string>

namespace hv {

class TQVComboBox : public QComboBox, public PickList {
    Q_OBJECT
public:
    explicit TQVComboBox(QWidget* parent = nullptr);

    // PickList
    PickListKind kind() const override { return PickListKind::DropDown; }
    void clear() override;
    void add(const std::string& text, std::int32_t id) override;
    int count() const override;
    std::string text(int index) const override;
    std::int32_t id(int index) const override;
    const TIDRecClass* object(int index) const override { return nullptr; }

    std::int32_t ItemID(int index) const { return id(index); }
    void SetItemID(int index, std::int32_t id);
    // The ID of the selected item; 0 when none is selected.
    std::int32_t SelectedID() const;
    // Selects the item with this text (-1 none); returns the index.
    int SelectText(const std::string& text);
    int SelectID(std::int32_t id);

signals:
    // The user chose an item (not emitted when the program selects one).
    void itemClicked(int index);
    // The list is about to open.
    void dropDown();

public:
    void showPopup() override;
};

} // namespace hv

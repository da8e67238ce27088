#pragma once

#include <string>
#include <vector>

#include "ui/Panel.h"

namespace kanvel::ui {

// A framed group of radio buttons laid out in columns. Choosing an item, by
// the user or by the program, runs the click handler; clearing the choice
// (item index -1) does not.
class RadioGroup : public GroupBox {
public:
    using GroupBox::GroupBox;

    const std::vector<std::wstring>& items() const { return items_; }
    void setItems(std::vector<std::wstring> items);
    int columns() const { return columns_; }
    void setColumns(int columns);

    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    // The user picks an item.
    void choose(int index) { setItemIndex(index); }

    // Where item i lies inside the group, in the group's own pixels.
    Rect itemBounds(int index) const;

private:
    std::vector<std::wstring> items_;
    int columns_ = 1;
    int itemIndex_ = -1;
};

}  // namespace kanvel::ui

#include "ui/ListBox.h"

#include <algorithm>

namespace kanvel::ui {

void ListBox::clear() {
    items_.clear();
    topIndex_ = 0;
    itemIndex_ = -1;
    lastChanged_ = -1;
    changed(Property::Items);
}

int ListBox::add(std::wstring line) {
    items_.push_back(std::move(line));
    lastChanged_ = count() - 1;
    changed(Property::Items);
    return lastChanged_;
}

void ListBox::setItem(int index, std::wstring line) {
    if (index < 0 || index >= count()) return;
    items_[static_cast<std::size_t>(index)] = std::move(line);
    lastChanged_ = index;
    changed(Property::Items);
}

void ListBox::setTopIndex(int index) {
    topIndex_ = std::clamp(index, 0, std::max(0, count() - 1));
    changed(Property::TopIndex);
}

void ListBox::setItemIndex(int index) {
    itemIndex_ = (index < 0 || index >= count()) ? -1 : index;
    changed(Property::Selection);
}

}  // namespace kanvel::ui

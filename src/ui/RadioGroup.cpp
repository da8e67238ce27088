#include "ui/RadioGroup.h"

#include <algorithm>

namespace kanvel::ui {

namespace {
// Room left for the frame and its caption above the first row.
constexpr int kCaptionSpace = 16;
constexpr int kSideMargin = 8;
constexpr int kBottomMargin = 4;
}  // namespace

void RadioGroup::setItems(std::vector<std::wstring> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) itemIndex_ = -1;
    changed(Property::Items);
}

void RadioGroup::setColumns(int columns) {
    columns_ = std::max(1, columns);
    changed(Property::Items);
}

void RadioGroup::setItemIndex(int index) {
    if (index < -1) index = -1;
    if (index >= static_cast<int>(items_.size())) index = static_cast<int>(items_.size()) - 1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    changed(Property::ItemIndex);
    if (itemIndex_ >= 0) Control::click();
}

Rect RadioGroup::itemBounds(int index) const {
    const int count = static_cast<int>(items_.size());
    const int rows = std::max(1, (count + columns_ - 1) / columns_);
    const int columnWidth = (width() - 2 * kSideMargin) / columns_;
    const int rowHeight = std::max(1, (height() - kCaptionSpace - kBottomMargin) / rows);
    const int column = index / rows;
    const int row = index % rows;
    return {kSideMargin + column * columnWidth, kCaptionSpace + row * rowHeight, columnWidth, rowHeight};
}

}  // namespace kanvel::ui

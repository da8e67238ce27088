#pragma once

#include <string>
#include <vector>

#include "ui/Control.h"

namespace kanvel::ui {

// A list of text lines with at most one selected line. The program repaints
// it explicitly while it fills it on a busy GUI thread.
class ListBox : public Control {
public:
    using Control::Control;

    const std::vector<std::wstring>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    void clear();
    // Adds a line at the end and returns its index.
    int add(std::wstring line);
    void setItem(int index, std::wstring line);

    int topIndex() const { return topIndex_; }
    void setTopIndex(int index);
    // The selected line, -1 for none.
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    void clearSelection() { setItemIndex(-1); }

    // Index of the most recently changed line, for the peer.
    int lastChanged() const { return lastChanged_; }

private:
    std::vector<std::wstring> items_;
    int topIndex_ = 0;
    int itemIndex_ = -1;
    int lastChanged_ = -1;
};

}  // namespace kanvel::ui

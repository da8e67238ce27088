#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/Peer.h"

namespace kanvel::ui {

class Form;

enum class MouseButton { Left, Right, Middle };
enum class CursorShape { Default, HandPoint };

// The toolkit-neutral control: it holds its own small state (bounds, caption,
// visible, enabled, hint, tag, font, colour) and mirrors every change to its
// native peer when it has one. Events coming back from the peer arrive as the
// same handler calls a user's action makes.
class Control {
public:
    explicit Control(std::wstring name, Control* parent = nullptr);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::wstring& name() const { return name_; }

    Control* parent() const { return parent_; }
    // Moves the control (with its children) under another parent.
    void setParent(Control* parent);
    const std::vector<Control*>& children() const { return children_; }
    // The form this control sits on, following the parent chain.
    Form* form();

    const Rect& bounds() const { return bounds_; }
    void setBounds(Rect bounds);
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width; }
    int height() const { return bounds_.height; }
    void setLeft(int left);
    void setTop(int top);
    void setHeight(int height);
    void setWidth(int width);
    // The native side moved or sized the control itself (a drag, centring):
    // take the new place without echoing it back.
    void boundsChangedByPeer(Rect bounds) { bounds_ = bounds; }

    const std::wstring& caption() const { return caption_; }
    void setCaption(std::wstring caption);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    // Visible, and every parent visible too.
    bool showing() const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // While work runs on what a control chooses, its form locks it: it then
    // shows and acts disabled, and keeps the enabled state the handlers give
    // it, which it shows again once the lock is lifted.
    bool locked() const { return locked_; }
    void setLocked(bool locked);
    // Whether the user can operate the control now: enabled and not locked.
    bool usable() const { return enabled_ && !locked_; }

    const std::wstring& hint() const { return hint_; }
    void setHint(std::wstring hint);
    bool showHint() const { return showHint_; }
    void setShowHint(bool show);
    // The hint the user sees on hover: only when show-hint is on.
    std::wstring effectiveHint() const { return showHint_ ? hint_ : std::wstring(); }

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    const Font& font() const { return font_; }
    void setFont(Font font);
    Color color() const { return color_; }
    void setColor(Color color);
    CursorShape cursor() const { return cursor_; }
    void setCursor(CursorShape cursor);

    // Makes this control the active control of its form (keyboard focus).
    void setFocus();
    // Paints the control now, even while the GUI thread is busy.
    void repaint();
    void bringToFront();

    // Events. The click handler runs on a user's click and, for the controls
    // that say so, on a program change of their state.
    std::function<void()> OnClick;
    std::function<void(MouseButton, Point)> OnMouseDown;

    // Runs the click handler, as a user's click does.
    virtual void click();
    void mouseDown(MouseButton button, Point where);

    Peer* peer() const { return peer_.get(); }
    void attachPeer(std::unique_ptr<Peer> peer);
    void detachPeer();

protected:
    void changed(Property what);

private:
    void addChild(Control* child);
    void removeChild(Control* child);

    std::wstring name_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    Rect bounds_;
    std::wstring caption_;
    bool visible_ = true;
    bool enabled_ = true;
    bool locked_ = false;
    std::wstring hint_;
    bool showHint_ = false;
    int tag_ = 0;
    Font font_;
    Color color_ = colors::ButtonFace;
    CursorShape cursor_ = CursorShape::Default;
    std::unique_ptr<Peer> peer_;
};

}  // namespace kanvel::ui

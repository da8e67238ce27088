#include "platform/win32/PanelPeer.h"

#include "platform/win32/GdiScopes.h"
#include "ui/DpiScale.h"

namespace kanvel::platform::win32 {

namespace {
// The caption of a group box: where the gap in the frame starts, where the
// text starts, and how much wider than the text the gap is (designed lengths).
constexpr int kCaptionGapLeft = 8;
constexpr int kCaptionLeft = 10;
constexpr int kCaptionGapExtra = 4;
}  // namespace

PanelPeer::PanelPeer(Win32Toolkit& toolkit, ui::Panel& panel) : PanelPeer(toolkit, panel, Frame::Bevels) {}

PanelPeer::PanelPeer(Win32Toolkit& toolkit, ui::GroupBox& group) : PanelPeer(toolkit, group, Frame::CaptionedLine) {}

PanelPeer::PanelPeer(Win32Toolkit& toolkit, ui::Panel& panel, Frame frame)
    : ContainerPeer(toolkit, panel), panel_(panel), frame_(frame) {}

void PanelPeer::paintFrame(HDC dc, const RECT& client) {
    if (frame_ == Frame::CaptionedLine)
        paintCaptionedLine(dc, client);
    else
        paintBevels(dc, client);
}

void PanelPeer::paintBevels(HDC dc, const RECT& client) {
    RECT r = client;
    if (panel_.outerBevel() != ui::Bevel::None) {
        DrawEdge(dc, &r, panel_.outerBevel() == ui::Bevel::Raised ? BDR_RAISEDOUTER : BDR_SUNKENOUTER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
    if (panel_.innerBevel() != ui::Bevel::None)
        DrawEdge(dc, &r, panel_.innerBevel() == ui::Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENINNER, BF_RECT);
}

void PanelPeer::paintCaptionedLine(HDC dc, const RECT& client) {
    SelectedObject selected(dc, font());
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    RECT frame = client;
    frame.top = metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::wstring& caption = panel_.caption();
    if (caption.empty()) return;
    SIZE size;
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
    const int gapLeft = ui::ScaleToDpi(kCaptionGapLeft, dpi());
    const int textLeft = ui::ScaleToDpi(kCaptionLeft, dpi());
    RECT text{gapLeft, 0, gapLeft + size.cx + ui::ScaleToDpi(kCaptionGapExtra, dpi()), metrics.tmHeight};
    const ui::ShownColors colors = Win32Toolkit::ColorsOf(panel_);
    FillRect(dc, &text, toolkit().gdi().brush(colors.background));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GdiResources::Resolve(colors.text));
    TextOutW(dc, textLeft, 0, caption.c_str(), static_cast<int>(caption.size()));
}

}  // namespace kanvel::platform::win32

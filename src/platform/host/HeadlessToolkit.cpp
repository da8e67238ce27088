#include "platform/host/HeadlessToolkit.h"

#include <algorithm>
#include <sstream>

#include "ui/Control.h"
#include "ui/Form.h"

namespace kanvel::platform::host {

std::unique_ptr<ui::Peer> HeadlessToolkit::CreatePeer(ui::Control&) { return nullptr; }
std::unique_ptr<ui::Peer> HeadlessToolkit::CreateTimerPeer(ui::Timer&) { return nullptr; }

void HeadlessToolkit::ProcessMessages() {
    log_.add(L"pump");
    // Only what was pending when the pump started; new work waits for the next.
    auto pending = std::move(pendingMessages);
    pendingMessages.clear();
    for (auto& message : pending) message();
}

void HeadlessToolkit::RunMessageLoop(ui::Form&) { log_.add(L"loop"); }

void HeadlessToolkit::RunModal(ui::Form& form) {
    log_.add(L"modal " + form.name());
    if (onModal) onModal(form);
    if (!form.closed()) form.close();
}

bool HeadlessToolkit::Execute(ui::FileDialog& dialog) {
    shownDialogs.push_back(dialog);
    log_.add(L"dialog " + dialog.title);
    if (dialogAnswers.empty()) return false;
    auto answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    if (!answer) return false;
    dialog.fileName = *answer;
    return true;
}

void HeadlessToolkit::BeginWindowDrag(ui::Form& form) { log_.add(L"drag " + form.name()); }

void HeadlessToolkit::ShowErrorBox(const std::wstring& text, const std::wstring& title) {
    log_.add(L"error " + title + L"|" + text);
}

int HeadlessToolkit::WrappedTextHeight(const std::wstring& text, const ui::Font& font, int width, int /*dpi*/) {
    if (text.empty()) return 0;
    const int perLine = std::max(1, width / CharacterWidth(font));
    std::wistringstream words(text);
    std::wstring word;
    int lines = 1;
    int used = 0;
    while (words >> word) {
        int length = static_cast<int>(word.size());
        const int needed = used == 0 ? length : used + 1 + length;
        if (needed <= perLine) {
            used = needed;
            continue;
        }
        if (used > 0) ++lines;
        // A word longer than a line breaks inside itself.
        while (length > perLine) {
            length -= perLine;
            ++lines;
        }
        used = length;
    }
    return lines * LineHeight(font);
}

}  // namespace kanvel::platform::host

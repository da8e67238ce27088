#include <gtest/gtest.h>

#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/ProgressBar.h"
#include "ui/RadioGroup.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "platform/host/HeadlessToolkit.h"
#include "services/installer/InstallerError.h"
#include "services/installer/ProgramTitle.h"

namespace kanvel::ui {
namespace {

// Records what a peer is told, to check the mirroring.
class RecordingPeer : public Peer {
public:
    explicit RecordingPeer(std::vector<Property>& seen) : seen_(seen) {}
    void PropertyChanged(Property what) override { seen_.push_back(what); }

private:
    std::vector<Property>& seen_;
};

TEST(ControlEvents, CheckBoxRunsItsClickHandlerOnEveryChangeOfTheTick) {
    CheckBox box(L"box");
    int clicks = 0;
    box.OnClick = [&] { ++clicks; };
    box.setChecked(true);
    box.setChecked(true);  // no change
    box.setChecked(false);
    box.click();  // a user's click toggles
    EXPECT_EQ(clicks, 3);
    EXPECT_TRUE(box.checked());
}

TEST(ControlEvents, RadioGroupRunsItsClickHandlerForAChoiceButNotForClearing) {
    RadioGroup group(L"group");
    group.setItems({L"a", L"b", L"c"});
    std::vector<int> seen;
    group.OnClick = [&] { seen.push_back(group.itemIndex()); };
    group.setItemIndex(0);
    group.setItemIndex(2);
    group.setItemIndex(-1);
    group.setItemIndex(7);  // beyond the items: the last one
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 2}));
}

TEST(ControlEvents, EditRunsItsChangeHandlerOnlyWhenTheTextChanges) {
    Edit edit(L"edit");
    std::vector<std::wstring> seen;
    edit.OnChange = [&] { seen.push_back(edit.text()); };
    edit.setCaption(L"C:");  // from the form description: no handler
    edit.setText(L"C:");
    edit.setText(L"D:");
    EXPECT_EQ(seen, std::vector<std::wstring>{L"D:"});
}

TEST(ControlState, ProgressBarKeepsItsPositionWithinTheRange) {
    ProgressBar bar(L"bar");
    bar.setPosition(150);
    EXPECT_EQ(bar.position(), 100);
    bar.setPosition(-5);
    EXPECT_EQ(bar.position(), 0);
    bar.setMax(1000);
    bar.setPosition(700);
    bar.setMax(50);
    EXPECT_EQ(bar.position(), 50);
}

TEST(ControlState, HintShowsOnlyWithShowHintAndTagIsFree) {
    Panel panel(L"p");
    panel.setHint(L"tip");
    EXPECT_EQ(panel.effectiveHint(), L"");
    panel.setShowHint(true);
    EXPECT_EQ(panel.effectiveHint(), L"tip");
    panel.setTag(-1);
    EXPECT_EQ(panel.tag(), -1);
}

TEST(ControlState, PeerIsToldOfEveryChangeButNotOfRepeats) {
    std::vector<Property> seen;
    CheckBox box(L"box");
    box.attachPeer(std::make_unique<RecordingPeer>(seen));
    box.setCaption(L"x");
    box.setCaption(L"x");
    box.setChecked(true);
    box.setEnabled(false);
    EXPECT_EQ(seen, (std::vector<Property>{Property::Caption, Property::Checked, Property::Enabled}));
}

TEST(ControlState, EachStyleChangeNamesItsOwnPropertyAndNeverPosesAsACaptionChange) {
    std::vector<Property> seen;
    Label label(L"label");
    label.attachPeer(std::make_unique<RecordingPeer>(seen));
    label.setWordWrap(true);
    label.setAutoSize(false);
    label.setAlignment(TextAlignment::Center);
    label.setTransparent(false);
    EXPECT_EQ(seen, (std::vector<Property>{Property::WordWrap, Property::AutoSize, Property::Alignment,
                                           Property::Transparent}));

    seen.clear();
    Edit edit(L"edit");
    edit.attachPeer(std::make_unique<RecordingPeer>(seen));
    edit.setReadOnly(true);
    edit.setAlignment(TextAlignment::Right);
    edit.setFlat(true);
    edit.setColor(colors::InfoBackground);
    EXPECT_EQ(seen, (std::vector<Property>{Property::ReadOnly, Property::Alignment, Property::Flat, Property::Color}));

    seen.clear();
    Button button(L"button");
    button.attachPeer(std::make_unique<RecordingPeer>(seen));
    button.setDefault(true);
    Panel panel(L"panel");
    panel.attachPeer(std::make_unique<RecordingPeer>(seen));
    panel.setBevels(Bevel::Raised, Bevel::Lowered);
    EXPECT_EQ(seen, (std::vector<Property>{Property::DefaultButton, Property::Bevel}));
}

TEST(ControlTree, ReparentingMovesTheControlAndDestroyingAParentLeavesNoDanglingChild) {
    auto first = std::make_unique<Panel>(L"first");
    Panel second(L"second");
    Panel child(L"child", first.get());
    child.setParent(&second);
    EXPECT_TRUE(first->children().empty());
    ASSERT_EQ(second.children().size(), 1u);
    child.setParent(first.get());
    first.reset();
    EXPECT_EQ(child.parent(), nullptr);
}

TEST(ControlTree, ShowingNeedsEveryParentVisible) {
    Panel outer(L"outer");
    Panel inner(L"inner", &outer);
    EXPECT_TRUE(inner.showing());
    outer.hide();
    EXPECT_FALSE(inner.showing());
}

TEST(DefaultErrorHandler, ShowsTheTextWithATitleAndAFullStopButNothingForTheSilentAbort) {
    platform::host::EventLog log;
    platform::host::HeadlessToolkit toolkit(log);
    Application app(toolkit, services::ProgramTitleOf(L"C:\\Pobrane\\INSTALATOR.EXE"));
    EXPECT_EQ(app.title(), L"Instalator");
    app.guarded([] { throw services::InstallerError(L"Brak pliku"); });
    app.guarded([] { throw services::InstallerError(L"Koniec."); });
    app.guarded([] { throw services::InstallerError(L"(x)"); });  // ')' is below '.'
    app.guarded([] { throw services::SilentAbort(); });
    EXPECT_EQ(log.withPrefix(L"error "), (std::vector<std::wstring>{L"error Instalator|Brak pliku.",
                                                                   L"error Instalator|Koniec.",
                                                                   L"error Instalator|(x)"}));
}

TEST(ModalForms, CloseRequestedInsideTheModalRunEndsItAndHidesTheForm) {
    platform::host::EventLog log;
    platform::host::HeadlessToolkit toolkit(log);
    Application app(toolkit, L"C:\\Instalator.exe");
    Form form(app, L"dialog");
    bool visibleInside = false;
    int closes = 0;
    form.OnClose = [&] { ++closes; };
    toolkit.onModal = [&](Form& f) {
        f.close();
        visibleInside = f.visible();  // still on screen until the run ends
    };
    form.showModal();
    EXPECT_TRUE(visibleInside);
    EXPECT_FALSE(form.visible());
    EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace kanvel::ui

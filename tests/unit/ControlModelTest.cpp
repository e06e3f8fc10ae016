#include <gtest/gtest.h>

#include "ui/Form.h"

namespace {

struct Recorder {
  std::vector<std::wstring> events;
  ui::Handler note(const std::wstring& what) {
    return [this, what] { events.push_back(what); };
  }
};

class ControlModelTest : public ::testing::Test {
 protected:
  ControlModelTest() : form(L"TestForm") { form.show(); }
  ui::Form form;
  Recorder rec;
};

TEST_F(ControlModelTest, ChangeHandlersRunOnlyWhenTheValueChanges) {
  auto& text = form.add<ui::TextBox>(L"Text");
  auto& box = form.add<ui::CheckBox>(L"Check");
  text.onChange = rec.note(L"change");
  box.onClick = rec.note(L"click");

  text.setText(L"a");             // code-made change runs the handler
  text.setText(L"a");             // the same text again runs nothing
  text.userSetText(L"ab");        // a user edit runs it as well
  box.setValue(1);                // a value change by code runs Click
  box.setValue(1);                // same value: nothing
  EXPECT_FALSE(box.setValue(3));  // refused without effect
  box.userToggle();               // the user's click toggles and runs Click
  EXPECT_EQ(rec.events, (std::vector<std::wstring>{L"change", L"change", L"click", L"click"}));
  EXPECT_EQ(box.value(), 0);
}

// The form sees a key first; a key it swallows does not reach the focused control.
TEST_F(ControlModelTest, FormSeesKeysBeforeTheFocusedControl) {
  auto& text = form.add<ui::TextBox>(L"Text");
  ASSERT_TRUE(form.setFocus(text));
  form.onKeyDown = [&](int&, int) { rec.events.push_back(L"form down"); };
  form.onKeyPress = [&](int& key) {
    rec.events.push_back(L"form press");
    key = key == 13 ? 0 : key;
  };
  text.onKeyDown = [&](int&, int) { rec.events.push_back(L"text down"); };
  text.onKeyPress = [&](int&) { rec.events.push_back(L"text press"); };
  form.userKeyDown(65, 0);
  form.userKeyPress(L'a');
  EXPECT_EQ(form.userKeyPress(13), 0);
  EXPECT_EQ(rec.events, (std::vector<std::wstring>{L"form down", L"text down", L"form press",
                                                   L"text press", L"form press"}));
}

TEST_F(ControlModelTest, FocusToHiddenDisabledOrInsideHiddenContainerFails) {
  auto& frame = form.add<ui::Frame>(L"Frame");
  auto& inFrame = form.add<ui::TextBox>(L"InFrame", &frame);
  auto& hidden = form.add<ui::TextBox>(L"Hidden");
  auto& disabled = form.add<ui::TextBox>(L"Disabled");
  auto& ok = form.add<ui::TextBox>(L"Ok");
  hidden.setVisible(false);
  disabled.setEnabled(false);
  frame.setVisible(false);
  ok.onGotFocus = rec.note(L"ok got");
  ok.onLostFocus = rec.note(L"ok lost");

  ASSERT_TRUE(form.setFocus(ok));
  EXPECT_FALSE(form.setFocus(hidden));
  EXPECT_FALSE(form.setFocus(disabled));
  EXPECT_FALSE(form.setFocus(inFrame));
  EXPECT_EQ(form.activeControl(), &ok);
  EXPECT_EQ(rec.events, (std::vector<std::wstring>{L"ok got"}));
  frame.setVisible(true);
  EXPECT_TRUE(form.setFocus(inFrame));
  EXPECT_EQ(rec.events, (std::vector<std::wstring>{L"ok got", L"ok lost"}));
}

TEST_F(ControlModelTest, RefusedAssignmentsFailWithoutEffect) {
  auto& text = form.add<ui::TextBox>(L"Text");
  text.setText(L"name.JPG");
  EXPECT_TRUE(text.setSelStart(0));
  EXPECT_FALSE(text.setSelLength(-2));
  EXPECT_EQ(text.selLength(), 0);
  EXPECT_TRUE(text.setSelLength(4));
  EXPECT_EQ(text.selLength(), 4);

  auto& list = form.add<ui::ListBox>(L"List");
  list.addItem(L"a");
  EXPECT_FALSE(list.removeItem(1));
  EXPECT_FALSE(list.setListIndex(1));
  EXPECT_EQ(list.listCount(), 1);

  EXPECT_FALSE(text.setWidth(-1));
}

// A size change runs Resize, a move does not; a minimised window refuses a new size or place.
TEST_F(ControlModelTest, ResizeRunsOnSizeChangesAndSizeIsRefusedWhileMinimised) {
  int resizes = 0;
  form.onResize = [&] { ++resizes; };
  form.userBoundsChanged(0, 0, 9000, 6000, 8760, 5295, ui::WindowState::Normal);
  form.userBoundsChanged(50, 50, 9000, 6000, 8760, 5295, ui::WindowState::Normal);
  form.setWidth(9500);
  form.setWidth(9500);
  EXPECT_EQ(resizes, 2);
  EXPECT_EQ(form.clientWidth(), 9260);
  form.userBoundsChanged(0, 0, 9000, 6000, 8760, 5295, ui::WindowState::Minimized);
  EXPECT_FALSE(form.setWidth(8000));
  EXPECT_FALSE(form.setLeft(10));
  EXPECT_EQ(form.width(), 9000);
}

TEST_F(ControlModelTest, PeerMirrorsCodeMadeChangesOnly) {
  struct CountingPeer : ui::Peer {
    std::vector<ui::Prop> updates;
    void update(ui::Prop p) override { updates.push_back(p); }
  } peer;
  auto& text = form.add<ui::TextBox>(L"Text");
  text.attachPeer(&peer);
  text.setText(L"code");
  text.userSetText(L"typed");  // already on screen: no echo back to the peer
  EXPECT_EQ(peer.updates, (std::vector<ui::Prop>{ui::Prop::Text}));
}

}  // namespace

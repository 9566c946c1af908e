// The widget layer's object model without a screen: which changes fire events, which controls
// take input, how modal loops end, and the list view's rows, check marks, selection and search.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/fake_backend.h"
#include "tests/support/fake_file_system.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/list_view.h"

using ::testing::ElementsAre;

namespace {

class ObjectModelTest : public ::testing::Test {
 protected:
  // Every event of a control is written down as "<name> <event>".
  template <class T>
  T* Watched(const std::string& name) {
    T* control = form.Add<T>(&form, name);
    control->OnClick = [this, name](ui::TControl*) { events.push_back(name + " click"); };
    control->OnChange = [this, name](ui::TControl*) { events.push_back(name + " change"); };
    return control;
  }
  std::vector<std::string> Captions(const ui::TListView& list) {
    std::vector<std::string> captions;
    for (int i = 0; i < list.Count(); ++i) captions.push_back(list.Item(i)->Caption());
    return captions;
  }

  FakeFileSystem files;
  FakeBackend backend;
  ui::TApplication app{backend, files};
  ui::TForm form{app, "frmTest"};
  std::vector<std::string> events;
};

// Code that sets a state must not look like the user: handlers that react to a click would run
// again for every load of the settings.
TEST_F(ObjectModelTest, ChangesMadeByCodeFireNoEventsAndTheUsersDoAfterTheStateIsSet) {
  auto* box = Watched<ui::TCheckBox>("box");
  auto* edit = Watched<ui::TEdit>("edit");
  auto* combo = Watched<ui::TComboBox>("combo");
  combo->SetItems({"a", "b"});

  box->SetChecked(true);
  edit->SetText("typed by code");
  combo->SetItemIndex(1);
  combo->SetItemIndex(7);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(combo->ItemIndex(), -1) << "an index outside the items selects nothing";

  box->OnClick = [&](ui::TControl*) { events.push_back(box->Checked() ? "box click on" : "box click off"); };
  edit->OnChange = [&](ui::TControl*) { events.push_back("edit change " + edit->Text()); };
  combo->OnChange = [&](ui::TControl*) { events.push_back("combo change " + std::to_string(combo->ItemIndex())); };
  box->UserToggled(false);
  edit->UserEdited("42");
  combo->UserSelected(0);
  EXPECT_THAT(events, ElementsAre("box click off", "edit change 42", "combo change 0"));
}

// A click posted to a control that is hidden or disabled (or sits in such a parent) must do
// nothing: the disabled "Clean All" must not start a second run.
TEST_F(ObjectModelTest, OnlyVisibleEnabledControlsTakeClicksAndPresses) {
  auto* panel = form.Add<ui::TPanel>(&form, "panel");
  auto* inner = form.Add<ui::TButton>(panel, "inner");
  inner->OnClick = [&](ui::TControl*) { events.push_back("inner click"); };
  auto* button = Watched<ui::TButton>("button");
  button->OnMouseDown = [&](ui::TControl*, ui::TMouseButton, int, int) { events.push_back("button down"); };

  button->SetEnabled(false);
  button->DoClick();
  button->Click();
  button->DoMouseDown(ui::TMouseButton::mbLeft, 1, 1);
  button->SetEnabled(true);
  button->SetVisible(false);
  button->DoClick();
  panel->SetEnabled(false);
  inner->DoClick();
  EXPECT_TRUE(events.empty());

  button->SetVisible(true);
  panel->SetEnabled(true);
  button->DoClick();
  button->DoMouseDown(ui::TMouseButton::mbLeft, 1, 1);
  inner->Click();
  EXPECT_THAT(events, ElementsAre("button click", "button down", "inner click"));
}

TEST_F(ObjectModelTest, AHandlerErrorReachesTheErrorDisplayForTheUserAndTheCallerForCode) {
  auto* button = form.Add<ui::TButton>(&form, "button");
  button->OnClick = [](ui::TControl*) { throw std::runtime_error("no disk"); };
  button->DoClick();
  EXPECT_EQ(backend.errors.size(), 1u);
  EXPECT_THROW(button->Click(), std::runtime_error);
}

TEST_F(ObjectModelTest, AModalLoopEndsWithTheClickedButtonsResultOrCancelWhenClosed) {
  auto* yes = form.Add<ui::TButton>(&form, "yes");
  yes->SetModalResult(ui::TModalResult::mrYes);
  auto* plain = form.Add<ui::TButton>(&form, "plain");
  backend.responders["frmTest"] = [&](ui::TForm&) {
    plain->DoClick();  // no result of its own: the loop goes on
    EXPECT_EQ(form.ModalResult(), ui::TModalResult::mrNone);
    yes->DoClick();
    return ui::TModalResult::mrNone;
  };
  EXPECT_EQ(form.ShowModal(), ui::TModalResult::mrYes);
  EXPECT_FALSE(form.Visible());

  backend.responders["frmTest"] = [&](ui::TForm&) {
    form.Close();
    return ui::TModalResult::mrNone;
  };
  EXPECT_EQ(form.ShowModal(), ui::TModalResult::mrCancel);
}

// Rows added at the top and at the bottom keep their check marks, selection and place; the
// caption search follows rows added, renamed and cleared after it was first used.
TEST_F(ObjectModelTest, ListRowsKeepTheirMarksAndPlacesAndTheSearchFollowsEveryChange) {
  auto* list = form.Add<ui::TListView>(&form, "list");
  for (const char* caption : {"b", "c"}) list->Add()->SetCaption(caption);
  list->Item(1)->SetChecked(true);
  list->UserSelected(1);
  EXPECT_EQ(list->FindCaption(0, "C"), list->Item(1));

  list->Insert(0)->SetCaption("a");
  list->Add()->SetCaption("c");
  EXPECT_THAT(Captions(*list), ElementsAre("a", "b", "c", "c"));
  EXPECT_TRUE(list->Item(2)->Checked());
  EXPECT_EQ(list->Selected(), list->Item(2));
  EXPECT_EQ(list->Item(2)->Index(), 2);
  EXPECT_EQ(list->FindCaption(0, "c"), list->Item(2)) << "the first row of a caption";
  EXPECT_EQ(list->FindCaption(3, "c"), list->Item(3));
  EXPECT_EQ(list->FindCaption(0, "A"), list->Item(0));

  list->Item(0)->SetCaption("z");
  EXPECT_EQ(list->FindCaption(0, "a"), nullptr);
  EXPECT_EQ(list->FindCaption(0, "Z"), list->Item(0));

  // The user's marks are taken without echo and fire nothing.
  list->OnClick = [&](ui::TControl*) { events.push_back("list click"); };
  list->UserChecked(0, true);
  list->UserSelected(3);
  EXPECT_TRUE(list->Item(0)->Checked());
  EXPECT_FALSE(list->Item(2)->Selected());
  EXPECT_EQ(list->Selected(), list->Item(3));
  EXPECT_TRUE(events.empty());

  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Selected(), nullptr);
  EXPECT_EQ(list->FindCaption(0, "z"), nullptr);
  list->Add()->SetCaption("z");
  EXPECT_EQ(list->FindCaption(0, "z"), list->Item(0));
}

}  // namespace

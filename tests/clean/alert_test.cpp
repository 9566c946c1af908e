// The alert dialog's design and link, and the rights warning with the automatic scan after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "settings/dlgOptions.h"
#include "tests/support/test_env.h"

namespace {

TEST(AlertDialogTest, DesignedTextsAndCloseLink) {
  TestEnv env;
  TfrmAlert& alert = *env.forms.frmAlert;
  EXPECT_EQ(alert.Caption(), "Not enought access rights");
  EXPECT_EQ(alert.lbCaption->Caption(), "Not enought access rights.");
  EXPECT_EQ(alert.lbMessage->Caption(),
            "Clutterix required Administrator access rights for cleaning operations.\r\n\r\nWithout this permissions "
            "all garbage on System Disk cannot be removed, all other disk drives will be cleaned.");
  EXPECT_TRUE(alert.lbMessage->WordWrap());
  EXPECT_FALSE(alert.lbMessage->AutoSize());
  EXPECT_EQ(alert.Image1->PictureFile(), std::string(TestEnv::kExeFolder) + "images\\alert.jpg");
  EXPECT_EQ(alert.ClientWidth(), 420);
  EXPECT_EQ(alert.ClientHeight(), 200);

  ui::TLabel& link = *alert.lbClose;
  EXPECT_EQ(link.Font().Color, ui::clBlue);
  link.DoMouseEnter();
  EXPECT_EQ(link.Font().Color, ui::clRed);
  link.DoMouseLeave();
  EXPECT_EQ(link.Font().Color, ui::clBlue);

  bool was_modal = false;
  env.backend.responders["frmAlert"] = [&](ui::TForm& form) {
    was_modal = form.InModalLoop();
    static_cast<TfrmAlert&>(form).lbClose->DoClick();
    return form.ModalResult();
  };
  alert.ShowModal();
  EXPECT_TRUE(was_modal);
  EXPECT_FALSE(alert.Visible());
  EXPECT_FALSE(env.backend.terminated) << "closing the alert does not end the program";
  EXPECT_TRUE(env.backend.errors.empty());
}

class RightsWarningTest : public ::testing::Test {
 protected:
  RightsWarningTest() {
    main().btnStart->OnClick = [this](ui::TControl*) {
      events.push_back(env.forms.frmAlert->Visible() ? "scan under the alert" : "scan");
    };
    env.backend.responders["frmAlert"] = [this](ui::TForm& form) {
      events.push_back("alert: " + form.Caption());
      return ui::TModalResult::mrCancel;
    };
  }
  TfrmMain& main() { return *env.forms.frmMain; }
  // Shows the main window, ticks "Start scan after loading" as the settings would, then lets the
  // posted start-up checks run.
  void Start(bool auto_scan) {
    main().Show();
    ASSERT_TRUE(env.forms.frmOptions->cbStartScanAuto) << "the options dialog has no auto-scan box yet";
    env.forms.frmOptions->cbStartScanAuto->SetChecked(auto_scan);
    env.backend.DeliverPosted();
  }

  TestEnv env;
  std::vector<std::string> events;
};

TEST_F(RightsWarningTest, NonAdministratorIsWarnedWithTheDesignedTexts) {
  Start(false);
  EXPECT_EQ(events, (std::vector<std::string>{"alert: Not enought rights."}));
  EXPECT_EQ(env.forms.frmAlert->lbCaption->Caption(), "Not enought access rights.");
  EXPECT_EQ(env.forms.frmAlert->lbMessage->Caption().substr(0, 31), "Clutterix required Administrato");
}

TEST_F(RightsWarningTest, AutomaticScanStartsAfterTheWarningIsClosed) {
  Start(true);
  EXPECT_EQ(events, (std::vector<std::string>{"alert: Not enought rights.", "scan"}));
}

TEST_F(RightsWarningTest, AdministratorGetsNoWarning) {
  env.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0}};
  Start(true);
  EXPECT_EQ(events, (std::vector<std::string>{"scan"}));
}

TEST_F(RightsWarningTest, NoScanWithoutTheOption) {
  env.fake.security.process_groups = std::vector<platform::TokenGroup>{{FakeSecurity::AdministratorsSid(), 0}};
  Start(false);
  EXPECT_TRUE(events.empty());
}

}  // namespace

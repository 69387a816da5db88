#include "fixture.h"

#include <framework/clipbrd.h>

namespace {

const char* const kDialogs = R"(object ProbeForm: TProbeForm
  Caption = 'Dialogs'
  object SaveDialog1: TSaveDialog
    Filter = 'Text files|*.txt|All|*.*'
  end
  object OpenDialog1: TOpenDialog
    Title = 'Load'
    Options = [ofHideReadOnly, ofFileMustExist]
  end
end
)";

class Dialogs : public ControlsTest {
protected:
    void TearDown() override {
        SetFileDialogHook(nullptr);
        SetMessageDialogHook(nullptr);
        ControlsTest::TearDown();
    }
};

TEST_F(Dialogs, TheHookStandsInForTheFileDialog) {
    auto form = Load(kDialogs);
    auto* save = Get<TSaveDialog>(*form, L"SaveDialog1");
    auto* open = Get<TOpenDialog>(*form, L"OpenDialog1");
    EXPECT_TRUE(open->Options().Contains(ofFileMustExist));

    struct Seen {
        String title, filter;
        bool save;
    };
    std::vector<Seen> seen;
    bool answer = true;
    SetFileDialogHook([&](TOpenDialog& dialog) {
        seen.push_back({dialog.Title(), dialog.Filter(), dialog.IsSaveDialog()});
        dialog.SetFileName(L"C:\\logs\\out.txt");
        return answer;
    });
    save->SetTitle(L"保存接收数据！");
    EXPECT_TRUE(save->Execute());
    EXPECT_EQ(save->FileName(), L"C:\\logs\\out.txt");
    EXPECT_EQ(save->Files()->Count(), 1);
    answer = false;
    EXPECT_FALSE(open->Execute());

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].title, L"保存接收数据！");
    EXPECT_EQ(seen[0].filter, L"Text files|*.txt|All|*.*");
    EXPECT_TRUE(seen[0].save);
    EXPECT_EQ(seen[1].title, L"Load");
    EXPECT_FALSE(seen[1].save);
}

TEST_F(Dialogs, MessageBoxesGoThroughTheirHook) {
    std::vector<String> shown;
    SetMessageDialogHook([&](const String& text, TMsgDlgType, TMsgDlgButtons buttons) {
        shown.push_back(text);
        return buttons.Contains(mbYes) ? mrYes : mrOk;
    });
    ShowMessage(L"the com is not exist!...");
    EXPECT_EQ(MessageDlg(L"Replace?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}), mrYes);
    EXPECT_EQ(shown, (std::vector<String>{L"the com is not exist!...", L"Replace?"}));
}

TEST_F(Dialogs, ClipboardTextComesBackAsItWasPut) {
    const String texts[] = {L"plain", L"读写状态 text", L"line1\r\nline2", L""};
    for (const String& text : texts) {
        Clipboard()->SetAsText(text);
        EXPECT_EQ(Clipboard()->AsText(), text);
    }
    Clipboard()->SetAsText(L"x");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
    Clipboard()->Clear();
    EXPECT_EQ(Clipboard()->AsText(), L"");

    // Open and Close nest: the clipboard stays open for the calls inside.
    Clipboard()->Open();
    Clipboard()->SetAsText(L"a");
    EXPECT_EQ(Clipboard()->AsText(), L"a");
    Clipboard()->Close();
}

} // namespace

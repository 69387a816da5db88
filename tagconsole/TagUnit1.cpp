// tagconsole's window: construction, start-up, page change and the hidden system page's address
// and baud-rate handlers.
#include "TagUnit1.h"

#include "bind.h"
#include "skin_data/WinSkinData.h"
#include "skin_data/WinSkinStore.h"

#include <console_core/hex_text.h>
#include <console_core/reply.h>

#include <string_view>

namespace tagconsole {

TForm1::TForm1(TComponent* Owner) : ::TForm1(Owner) {
    RegisterTagShell();
    RegisterOutputFormatPage();
    RegisterLanguagePage();
    RegisterModePage();
}

String TForm1::FormResourceName() const {
    return L"TAGFORM1";
}

void TForm1::RegisterTagShell() {
    BIND_HANDLER(FormCreate);
    BIND_HANDLER(PageControl1Change);
    BIND_HANDLER(Comm1ReceiveData);
    BIND_HANDLER(Button4Click);
    BIND_HANDLER(Button11Click);
    BIND_HANDLER(Button12Click);
}

void TForm1::FormCreate(TObject* Sender) {
    // readerconsole's presets, except that the hidden port group's "Open" keeps its state.
    const bool openEnabled = Button1->Enabled();
    ::TForm1::FormCreate(Sender);
    Button1->SetEnabled(openEnabled);

    ComboBox20->SetItemIndex(1); // "0.5 minute"
    // The tag reader's own look: the fifth stored skin replaces the one the description holds.
    sd1->LoadFromSkinStore(skinstore1, 4);
}

void TForm1::PageControl1Change(TObject*) {
    // Ends the repeat loops of the hidden pages; the port is never opened here, so there is no
    // port list to refresh.
    for (TCheckBox* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7,
                           CheckBox8, CheckBox9, CheckBox10, CheckBox11})
        if (box) box->SetChecked(false);
}

namespace {

constexpr std::wstring_view NoDataText = L"通讯错误，没有接收到数据..   ";
constexpr std::wstring_view LostDataText = L"数据丢包，流水校验出错   ";

constexpr core::ReplyReportRow SetAddress{.noData = NoDataText,
                                          .success = L"读写器地址设置成功   ",
                                          .failure = L"读写器地址设置失败   ",
                                          .otherStatus = LostDataText};
constexpr core::ReplyReportRow SetBaudRate{.noData = NoDataText,
                                           .success = L"波特率设置成功   ",
                                           .failure = L"波特率设置失败   ",
                                           .otherStatus = LostDataText};

// ComboBox5's items in the order of their codes 00 .. 04.
constexpr std::wstring_view BaudRates[] = {L"9600", L"19200", L"38400", L"57600", L"115200"};

} // namespace

void TForm1::Button4Click(TObject*) {
    // Cleared first, so a reader that stays silent is not answered by an earlier reply.
    ReplyHex.clear();
    Send(L"83");
    Delay(300);
    const String success = L"系统地址为 : " + core::ReplyField(ReplyHex, 9, 2) + L"   ";
    ReportReply({.noData = NoDataText,
                 .success = success,
                 .failure = L"操作失败        ",
                 .otherStatus = LostDataText});
}

void TForm1::Button11Click(TObject*) {
    SendAndReport(L"80" + Edit4->Text(), 300, SetAddress);
}

void TForm1::Button12Click(TObject*) {
    // A rate outside the list sends the bare command.
    String code;
    const String rate = ComboBox5->Text();
    for (std::size_t i = 0; i < std::size(BaudRates); ++i)
        if (rate == BaudRates[i]) code = core::HexByteText(static_cast<std::uint32_t>(i));
    SendAndReport(L"81" + code, 300, SetBaudRate);
}

} // namespace tagconsole

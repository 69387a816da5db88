// readerconsole's main window. One class for the whole window; its members are spread over one
// source file per page or page group (Unit1_*.cpp), each binding its own fields and handlers from
// a registration function that the constructor calls.
#pragma once

#include <framework/comctrls.h>
#include <framework/dialogs.h>
#include <framework/extctrls.h>
#include <framework/forms.h>
#include <framework/menus.h>
#include <framework/stdctrls.h>

#include <console_core/reply.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

class TComm;
class TSkinData;
class TSkinStore;

// The last USB reply as upper-case hex without blanks; empty after a failed write. Written by
// SendHex, watched by Delay, read by every page.
extern String ReplyHex;
// The hex text of the last block received on the serial port.
extern String SerialRxHex;
// The first COM port that opened during the last enumeration, "none" when none did.
extern String FirstComPort;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* Owner);

    // ---- Window shell: pages, log box, status bar, clock, menus, dialogs, components
    TPageControl* PageControl1 = nullptr;
    TTabSheet* TabSheet1 = nullptr;
    TTabSheet* TabSheet2 = nullptr;
    TTabSheet* TabSheet3 = nullptr;
    TTabSheet* TabSheet4 = nullptr;
    TTabSheet* TabSheet5 = nullptr;
    TTabSheet* TabSheet6 = nullptr;
    TTabSheet* TabSheet7 = nullptr;
    TTabSheet* TabSheet8 = nullptr;
    TTabSheet* TabSheet9 = nullptr;
    TGroupBox* GroupBox2 = nullptr;
    TRichEdit* RichEdit1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TTimer* Timer1 = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* PopupMenu1 = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TComm* Comm1 = nullptr;
    TSkinData* sd1 = nullptr;
    TSkinStore* skinstore1 = nullptr;
    TComboBox* setadd = nullptr; // hidden reader-address list; item 0 ("00") at start
    TGroupBox* GroupBox4 = nullptr;
    TRadioButton* RadioButton3 = nullptr;  // "读写状态"
    TRadioButton* RadioButton4 = nullptr;  // the USB debug switch: echo every reply into the log
    TRadioButton* RadioButton19 = nullptr; // "自动检测卡状态"

    void FormCreate(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void Timer1Timer(TObject* Sender);
    void PageControl1Change(TObject* Sender);
    void GetCom();
    void N4Click(TObject* Sender);  // "Exist"
    void N5Click(TObject* Sender);  // "Help": the about window
    void N11Click(TObject* Sender); // "Stype one" .. "Stype six": stored skins 0 .. 5
    void N12Click(TObject* Sender);
    void N13Click(TObject* Sender);
    void N14Click(TObject* Sender);
    void N51Click(TObject* Sender);
    void N61Click(TObject* Sender);
    void MenuItem1Click(TObject* Sender); // log box popup: "Clear"
    void MenuItem2Click(TObject* Sender); // "Save"
    void N15Click(TObject* Sender);       // "Revoke"
    void N20Click(TObject* Sender);       // "Select all"
    void N17Click(TObject* Sender);       // "Shear"
    void N18Click(TObject* Sender);       // "Copy"
    void N19Click(TObject* Sender);       // "Paste"
    void COM1Click(TObject* Sender);      // page and log-mode selectors that no menu item calls
    void N10Click(TObject* Sender);
    void S50S701Click(TObject* Sender);
    void Ultralight1Click(TObject* Sender);
    void ISO14443B1Click(TObject* Sender);
    void ISO156931Click(TObject* Sender);
    void N6Click(TObject* Sender);
    void N7Click(TObject* Sender);
    void N8Click(TObject* Sender);
    void Button72Click(TObject* Sender); // "Sector" buttons: the memory-map picture window
    void Button77Click(TObject* Sender);

    // ---- Transport (Unit1_Transport.cpp)
    // Frames a command text (command byte first, then data, as hex text) for the address selected
    // in setadd and hands it to SendHex.
    void Send(const String& command);
    // Writes one frame text to the reader through usb.dll and reads its reply into ReplyHex
    // (cleared when the write fails). Virtual: tagconsole has its own variant.
    virtual void SendHex(const String& frame);
    // Waits up to ms while handling messages; ends early once ReplyHex is filled. Returns the length
    // of ReplyHex.
    int Delay(int ms);
    // A command that a message starts while a handler waits in Delay would take that handler's
    // reply: this logs that the command is refused and ends its handler silently (Abort), before
    // anything is sent or ReplyHex changes. Both SendHex call it, and so do handlers that clear
    // ReplyHex before they send.
    void RefuseWhileAwaitingReply();
    // Delay calls running now (nested ones each count).
    int ReplyWaits = 0;
    // Waits ms while handling messages.
    void Delayy(int ms);
    String checkdata(const String& text) const;
    String Getchr(const String& hex) const;
    String cwdate(const String& text) const;
    String falsereason(const String& code) const;

    // ---- Log box
    void AddLog(const String& line);
    // The time stamp of log lines, "hh:mm:ss AM/PM".
    String TimeStamp() const;
    // The standard reply report of ReplyHex with a handler's texts, written into the log box.
    core::ReplyKind ReportReply(const core::ReplyReportRow& row);
    // Send, Delay(waitMs), then ReportReply: a whole standard command handler in one call.
    core::ReplyKind SendAndReport(const String& command, int waitMs, const core::ReplyReportRow& row);
    // The test of every repeat loop: its box is still ticked and the program is not ending.
    bool KeepRepeating(const TCheckBox* box) const;

    // The reader's library, found by the usual DLL search (beside the program first).
    String UsbLibraryName = L"usb.dll";
    // One exchange through the reader's library: writes the frame's bytes with hidWriteData and
    // reads the reply into ReplyHex (empty when the read delivers less than the reply's length byte
    // says). False, with ReplyHex cleared and nothing read, when the library or an entry point is
    // missing, the frame is longer than the send buffer or the write is short.
    // Both programs' SendHex go through it.
    bool ExchangeWithReader(const std::vector<std::uint8_t>& frame);

    // ---- "USB reader intelligent setting  " (TabSheet1): output format and reader settings
    TRadioButton* RadioButton5 = nullptr;
    TRadioButton* RadioButton6 = nullptr;
    TRadioButton* RadioButton7 = nullptr;
    TRadioButton* RadioButton8 = nullptr;
    TRadioButton* RadioButton9 = nullptr;
    TRadioButton* RadioButton10 = nullptr;
    TRadioButton* RadioButton11 = nullptr;
    TRadioButton* RadioButton12 = nullptr;
    TRadioButton* RadioButton13 = nullptr;
    TRadioButton* RadioButton14 = nullptr;
    TRadioButton* RadioButton15 = nullptr;
    TRadioButton* RadioButton16 = nullptr;
    TRadioButton* RadioButton17 = nullptr;
    TRadioButton* RadioButton21 = nullptr;
    TRadioButton* RadioButton22 = nullptr;
    TRadioButton* RadioButton29 = nullptr;
    TRadioButton* RadioButton34 = nullptr;
    TRadioButton* RadioButton35 = nullptr;
    TEdit* Edit64 = nullptr;
    TCheckBox* CheckBox15 = nullptr;
    TCheckBox* CheckBox16 = nullptr;
    TCheckBox* CheckBox17 = nullptr;
    TCheckBox* CheckBox18 = nullptr;
    TCheckBox* CheckBox21 = nullptr;
    TButton* Button24 = nullptr;
    TButton* Button25 = nullptr;
    TButton* Button27 = nullptr;
    TButton* Button28 = nullptr;
    TButton* Button57 = nullptr;
    TButton* Button63 = nullptr;
    TButton* Button64 = nullptr;

    void Button24Click(TObject* Sender);
    void Button25Click(TObject* Sender);
    void Button27Click(TObject* Sender);
    void Button28Click(TObject* Sender);
    void Button57Click(TObject* Sender);
    void Button63Click(TObject* Sender);
    void Button64Click(TObject* Sender);

    // ---- "Prefix &suffix Data Input" (TabSheet7): prefix, suffix and the 915M device settings
    TEdit* Edit24 = nullptr;
    TEdit* Edit25 = nullptr;
    TEdit* Edit26 = nullptr;
    TEdit* Edit27 = nullptr;
    TEdit* Edit44 = nullptr;
    TEdit* Edit45 = nullptr;
    TEdit* Edit46 = nullptr;
    TEdit* Edit47 = nullptr;
    TEdit* Edit29 = nullptr;
    TEdit* Edit35 = nullptr;
    TEdit* Edit37 = nullptr;
    TEdit* Edit39 = nullptr;
    TEdit* Edit40 = nullptr;
    TEdit* Edit42 = nullptr;
    TEdit* Edit51 = nullptr;
    TEdit* Edit52 = nullptr;
    TRadioButton* RadioButton23 = nullptr;
    TRadioButton* RadioButton24 = nullptr;
    TRadioButton* RadioButton25 = nullptr;
    TRadioButton* RadioButton26 = nullptr;
    TRadioButton* RadioButton27 = nullptr;
    TRadioButton* RadioButton28 = nullptr;
    TComboBox* ComboBox20 = nullptr;
    TButton* Button30 = nullptr;
    TButton* Button35 = nullptr;
    TButton* Button41 = nullptr;
    TButton* Button43 = nullptr;
    TButton* Button50 = nullptr;
    TButton* Button51 = nullptr;
    TButton* Button56 = nullptr;
    TButton* Button58 = nullptr;
    TButton* Button59 = nullptr;
    TButton* Button60 = nullptr;
    TButton* Button61 = nullptr;
    TButton* Button62 = nullptr;
    TButton* Button71 = nullptr;

    void Button30Click(TObject* Sender);
    void Button35Click(TObject* Sender);
    void Button41Click(TObject* Sender);
    void Button43Click(TObject* Sender);
    void Button50Click(TObject* Sender);
    void Button51Click(TObject* Sender);
    void Button56Click(TObject* Sender);
    void Button58Click(TObject* Sender);
    void Button59Click(TObject* Sender);
    void Button60Click(TObject* Sender);
    void Button61Click(TObject* Sender);
    void Button62Click(TObject* Sender);
    void Button71Click(TObject* Sender);

    // ---- "UHF Write Card" (TabSheet8)
    TRadioButton* RadioButton30 = nullptr;
    TRadioButton* RadioButton31 = nullptr;
    TRadioButton* RadioButton32 = nullptr;
    TRadioButton* RadioButton33 = nullptr;
    TRadioButton* RadioButton36 = nullptr;
    TEdit* Edit65 = nullptr;
    TEdit* Edit66 = nullptr;
    TEdit* Edit67 = nullptr;
    TEdit* Edit68 = nullptr;
    TButton* Button69 = nullptr;
    TButton* Button72 = nullptr;
    TButton* Button65 = nullptr;
    TButton* Button66 = nullptr;
    TButton* Button67 = nullptr;
    TButton* Button70 = nullptr;
    TEdit* Edit54 = nullptr;
    TRadioButton* Forward = nullptr;
    TRadioButton* reverse = nullptr;
    TEdit* Edit53 = nullptr;
    TEdit* Edit60 = nullptr;
    TEdit* Edit61 = nullptr;
    TEdit* Edit62 = nullptr;
    TEdit* Edit63 = nullptr;
    TEdit* epcbuf = nullptr;
    TCheckBox* CheckBox20 = nullptr;

    void Button65Click(TObject* Sender);
    void Button66Click(TObject* Sender);
    void Button67Click(TObject* Sender);
    void Button69Click(TObject* Sender);
    void Button70Click(TObject* Sender);
    void CheckBox20Click(TObject* Sender);
    // Tunnels one module frame text through reader command 0xCE (SendHex of the command frame).
    void SendUHF(const String& frame);
    int adddate(const String& text) const;
    String cdate(const String& text) const;
    // The automatic loop of CheckBox20 is running (a click inside its wait must not start another).
    bool AutomaticCardRunning = false;

    // ---- "Serial port function" (TabSheet9)
    TComboBox* ComboBox1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
    TButton* Button75 = nullptr;
    TButton* Button76 = nullptr;
    TButton* Button77 = nullptr;
    TRadioButton* RadioButton39 = nullptr;
    TRadioButton* RadioButton40 = nullptr;
    TRadioButton* RadioButton41 = nullptr;
    TRadioButton* RadioButton42 = nullptr;
    TRadioButton* RadioButton43 = nullptr;
    TEdit* Edit69 = nullptr;
    TEdit* Edit70 = nullptr;
    TEdit* Edit71 = nullptr;
    TEdit* Edit72 = nullptr;
    TGroupBox* GroupBox5 = nullptr;
    TMemo* Memo1 = nullptr;
    TButton* Button3 = nullptr;
    TButton* Button5 = nullptr;
    TButton* Button6 = nullptr;
    TButton* Button7 = nullptr;
    TCheckBox* CheckBox3 = nullptr;
    TEdit* Edit6 = nullptr;
    TRadioButton* RadioButton37 = nullptr;
    TRadioButton* RadioButton38 = nullptr;
    TRadioButton* RadioButton18 = nullptr; // "大蜂鸣器", read by the output-format set
    TRadioButton* RadioButton20 = nullptr;

    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void ComboBox1Change(TObject* Sender);
    void ComboBox2Change(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Button5Click(TObject* Sender);
    void Button6Click(TObject* Sender);
    void Button7Click(TObject* Sender);
    void CheckBox3Click(TObject* Sender);
    void Button75Click(TObject* Sender);
    void Button76Click(TObject* Sender);
    // Keeps the block as SerialRxHex and logs it.
    void Comm1ReceiveData(TObject* Sender, void* Buffer, std::uint16_t BufferLength);
    // Writes the hex digits of a text to Comm1 as bytes; nothing while the port is closed.
    void Send232HEX(const String& text);
    // Sends a mode-switch frame, waits, and gives the code of the module's reply to its command (the
    // first parameter byte as hex, empty when it has none); nullopt when no such reply came.
    std::optional<String> SerialExchange(const String& frame);
    // What arrived on the serial line while a mode switch waits for its reply (SerialWaits > 0).
    std::vector<std::uint8_t> SerialReceived;
    int SerialWaits = 0;
    // The automatic send loop of CheckBox3 is running (a click inside its wait must not start another).
    bool AutomaticSendRunning = false;

    // ---- "系统命令" (TabSheet4, hidden)
    TEdit* Edit4 = nullptr;
    TComboBox* ComboBox5 = nullptr;
    TEdit* Edit9 = nullptr;
    TEdit* Edit11 = nullptr;
    TEdit* Edit12 = nullptr;
    TEdit* Edit30 = nullptr;
    TEdit* Edit31 = nullptr;
    TEdit* Edit33 = nullptr;
    TEdit* Edit34 = nullptr;
    TEdit* Edit22 = nullptr; // period of the repeat loops, ms
    TButton* Button4 = nullptr;
    TButton* Button11 = nullptr;
    TButton* Button12 = nullptr;
    TButton* Button13 = nullptr;
    TButton* Button14 = nullptr;
    TButton* Button20 = nullptr;
    TButton* Button21 = nullptr;
    TButton* Button23 = nullptr;
    TButton* Button52 = nullptr;
    TButton* Button53 = nullptr;

    void Button4Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button12Click(TObject* Sender);
    void Button13Click(TObject* Sender);
    void Button14Click(TObject* Sender);
    void Button20Click(TObject* Sender);
    void Button21Click(TObject* Sender);
    void Button23Click(TObject* Sender);
    void Button52Click(TObject* Sender);
    void Button53Click(TObject* Sender);
    void Edit22Change(TObject* Sender);

    // ---- Shared by the hidden pages (Unit1_HiddenShared.cpp)
    // Their report texts for no reply and for a status that is neither success nor failure, and
    // a report row with them.
    static constexpr std::wstring_view HiddenNoDataText = L"通讯错误，没有接收到数据..   ";
    static constexpr std::wstring_view HiddenLostDataText = L"数据丢包，流水校验出错   ";
    static constexpr core::ReplyReportRow HiddenPageRow(std::wstring_view success, std::wstring_view failure,
                                                        core::SuccessLineForm form) {
        return {.noData = HiddenNoDataText,
                .success = success,
                .successForm = form,
                .failure = failure,
                .otherStatus = HiddenLostDataText};
    }
    // A box that these two refuse raises the framework's conversion error before anything is sent,
    // as the setting pages refuse theirs.
    // One byte typed as a hex number ("$" + text, 00 to FF), as two digits.
    String HexByteOf(const String& text) const;
    // The hex digits of a box of whole bytes: exactly `bytes` of them, or any number when 0.
    String HexBytesOf(const String& text, std::size_t bytes = 0) const;
    // Characters of ReplyHex from `first` (counted from 1), never beyond its data field (four
    // characters before the end), so a short reply never shows its check byte as data.
    String ReplyData(std::size_t first, std::size_t count = String::npos) const;
    // The standard reply report of the card pages, then, after a success, one log line per data
    // line (prefix, reply data, suffix). Gives what the report found.
    core::ReplyKind ReportCardReply(const core::ReplyReportRow& row,
                                    std::initializer_list<core::ReplyDataLine> data = {});
    // The period of the repeat loops (Edit22, ms; the conversion error for text that is no
    // number) plus `extra`, kept within what a wait takes.
    int LoopPeriod(int extra) const;
    // The repeat loop of a check box: `pass` (a command and its pause) while the box stays ticked.
    // A tick during a pass starts no second loop. A pass that raises ends the loop; however it
    // ends, the box is left unticked.
    void RepeatWhileTicked(TCheckBox* box, const std::function<void()>& pass);
    // How a loop pauses after its command: until a reply is there (Delay), or the whole time
    // (Delayy).
    enum class RepeatPause { UntilReply, Full };
    // The loop of a box that repeats one button's click, pausing the period plus `extra` after each.
    void RepeatClickWhileTicked(TCheckBox* box, void (TForm1::*click)(TObject*), TButton* button,
                                RepeatPause pause, int extra);
    // Boxes whose repeat loop is running.
    std::vector<const TCheckBox*> RunningLoops;

    // ---- "S50/S70" (TabSheet2, hidden)
    TCheckBox* CheckBox1 = nullptr;
    TCheckBox* CheckBox2 = nullptr;
    TCheckBox* CheckBox4 = nullptr;
    TCheckBox* CheckBox12 = nullptr;
    TComboBox* ComboBox3 = nullptr;
    TComboBox* ComboBox4 = nullptr;
    TComboBox* ComboBox6 = nullptr;
    TComboBox* ComboBox7 = nullptr;
    TComboBox* ComboBox8 = nullptr;
    TComboBox* ComboBox9 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* Edit5 = nullptr;
    TEdit* Edit7 = nullptr;
    TEdit* Edit8 = nullptr;
    TEdit* Edit10 = nullptr;
    TEdit* Edit57 = nullptr;
    TEdit* Edit58 = nullptr;
    TEdit* Edit59 = nullptr;
    TRadioButton* RadioButton1 = nullptr;
    TRadioButton* RadioButton2 = nullptr;
    // Request (idle / all) and key (A / B) of each section; the card number's request and halt.
    TRadioButton* reqi = nullptr;
    TRadioButton* reqa = nullptr;
    TRadioButton* keya = nullptr;
    TRadioButton* keyb = nullptr;
    TRadioButton* reqii = nullptr;
    TRadioButton* reqaa = nullptr;
    TRadioButton* keyaa = nullptr;
    TRadioButton* keybb = nullptr;
    TRadioButton* reql5 = nullptr;
    TRadioButton* reqa5 = nullptr;
    TRadioButton* nohalt = nullptr;
    TRadioButton* yeshalt = nullptr;
    TRadioButton* reqiii = nullptr;
    TRadioButton* reqaaa = nullptr;
    TRadioButton* keyaaa = nullptr;
    TRadioButton* keybbb = nullptr;
    TRadioButton* reqiiii = nullptr;
    TRadioButton* reqaaaa = nullptr;
    TRadioButton* keyaaaa = nullptr;
    TRadioButton* keybbbb = nullptr;
    TRadioButton* reqiiiii = nullptr;
    TRadioButton* reqaaaaa = nullptr;
    TRadioButton* keyaaaaa = nullptr;
    TRadioButton* keybbbbb = nullptr;
    TButton* Button8 = nullptr;
    TButton* Button9 = nullptr;
    TButton* Button10 = nullptr;
    TButton* Button15 = nullptr;
    TButton* Button16 = nullptr;
    TButton* Button26 = nullptr;
    TButton* Button29 = nullptr;

    void Button8Click(TObject* Sender);
    void Button9Click(TObject* Sender);
    void Button10Click(TObject* Sender);
    void Button15Click(TObject* Sender);
    void Button16Click(TObject* Sender);
    void Button26Click(TObject* Sender);
    void Button29Click(TObject* Sender);
    void CheckBox1Click(TObject* Sender);
    void CheckBox2Click(TObject* Sender);
    void CheckBox4Click(TObject* Sender);
    void CheckBox12Click(TObject* Sender);
    void RadioButton1Click(TObject* Sender);
    void RadioButton2Click(TObject* Sender);

    // ---- "Ultralight" (TabSheet3, hidden)
    TListBox* ListBox1 = nullptr;
    TListBox* ListBox2 = nullptr;
    TRadioButton* Uli = nullptr; // request of the serial-number read: idle / all
    TRadioButton* Ula = nullptr;
    TRadioButton* Ulii = nullptr; // of the page read
    TRadioButton* Ulaa = nullptr;
    TRadioButton* Uliii = nullptr; // of the page write
    TRadioButton* Ulaaa = nullptr;
    TCheckBox* CheckBox8 = nullptr;
    TCheckBox* CheckBox9 = nullptr;
    TCheckBox* CheckBox10 = nullptr;
    TEdit* Edit56 = nullptr;
    TButton* Button17 = nullptr;
    TButton* Button18 = nullptr;
    TButton* Button54 = nullptr;
    TButton* Button55 = nullptr;

    void Button17Click(TObject* Sender);
    void Button18Click(TObject* Sender);
    void Button54Click(TObject* Sender);
    void Button55Click(TObject* Sender);
    void CheckBox8Click(TObject* Sender);
    void CheckBox9Click(TObject* Sender);
    void CheckBox10Click(TObject* Sender);

    // ---- "ISO14443B" (TabSheet5, hidden)
    TCheckBox* CheckBox11 = nullptr;
    TCheckBox* CheckBox13 = nullptr;
    TCheckBox* CheckBox14 = nullptr;
    TEdit* Edit76 = nullptr;
    TEdit* Edit77 = nullptr;
    TButton* Button19 = nullptr;
    TButton* Button22 = nullptr;
    TButton* Button31 = nullptr;
    TButton* Button32 = nullptr;
    TButton* Button33 = nullptr;
    TButton* Button34 = nullptr;
    TButton* Button36 = nullptr;

    void Button19Click(TObject* Sender);
    void Button22Click(TObject* Sender);
    void Button31Click(TObject* Sender);
    void Button32Click(TObject* Sender);
    void Button33Click(TObject* Sender);
    void Button34Click(TObject* Sender);
    void Button36Click(TObject* Sender);
    void CheckBox11Click(TObject* Sender);
    void CheckBox13Click(TObject* Sender);
    void CheckBox14Click(TObject* Sender);

    // ---- "ISO15693" (TabSheet6, hidden)
    TComboBox* ComboBox10 = nullptr; // request-flag lists "TI", "Philips", "uid", "Other"
    TComboBox* ComboBox11 = nullptr;
    TComboBox* ComboBox12 = nullptr;
    TComboBox* ComboBox13 = nullptr;
    TComboBox* ComboBox14 = nullptr;
    TComboBox* ComboBox15 = nullptr;
    TComboBox* ComboBox16 = nullptr;
    TComboBox* ComboBox17 = nullptr;
    TComboBox* ComboBox18 = nullptr;
    TComboBox* ComboBox19 = nullptr;
    TCheckBox* CheckBox5 = nullptr;
    TCheckBox* CheckBox6 = nullptr;
    TCheckBox* CheckBox7 = nullptr;
    TEdit* Edit13 = nullptr; // read: block count
    TEdit* Edit14 = nullptr; // read: start block
    TEdit* Edit15 = nullptr; // AFI
    TEdit* Edit16 = nullptr; // write: data
    TEdit* Edit17 = nullptr; // DSFID
    TEdit* Edit18 = nullptr; // lock: block
    TEdit* Edit19 = nullptr; // select: UID
    TEdit* Edit20 = nullptr; // security status: block count
    TEdit* Edit21 = nullptr; // security status: start block
    TEdit* Edit48 = nullptr; // write: start block
    TEdit* Edit49 = nullptr; // write: block count
    TEdit* Edit28 = nullptr; // UID boxes, sent with the flag "uid"
    TEdit* Edit32 = nullptr;
    TEdit* Edit36 = nullptr;
    TEdit* Edit38 = nullptr;
    TEdit* Edit41 = nullptr;
    TEdit* Edit43 = nullptr;
    TEdit* Edit50 = nullptr;
    TEdit* Edit55 = nullptr;
    TButton* Button37 = nullptr;
    TButton* Button38 = nullptr;
    TButton* Button39 = nullptr;
    TButton* Button40 = nullptr;
    TButton* Button42 = nullptr;
    TButton* Button44 = nullptr;
    TButton* Button45 = nullptr;
    TButton* Button46 = nullptr;
    TButton* Button47 = nullptr;
    TButton* Button48 = nullptr;
    TButton* Button49 = nullptr;

    void Button37Click(TObject* Sender);
    void Button38Click(TObject* Sender);
    void Button39Click(TObject* Sender);
    void Button40Click(TObject* Sender);
    void Button42Click(TObject* Sender);
    void Button44Click(TObject* Sender);
    void Button45Click(TObject* Sender);
    void Button46Click(TObject* Sender);
    void Button47Click(TObject* Sender);
    void Button48Click(TObject* Sender);
    void Button49Click(TObject* Sender);
    void CheckBox5Click(TObject* Sender);
    void CheckBox6Click(TObject* Sender);
    void CheckBox7Click(TObject* Sender);
    // One command row of the page.
    void RunIso15693Command(std::uint8_t command);

protected:
    // Each binds its page's fields and handlers by name (Unit1_<page>.cpp).
    void RegisterShell();
    void RegisterUsbSettingPage();
    void RegisterPrefixSuffixPage();
    void RegisterUhfPage();
    void RegisterSerialPage();
    void RegisterSystemPage();
    void RegisterS50S70Page();
    void RegisterUltralightPage();
    void RegisterIso14443BPage();
    void RegisterIso15693Page();

    // The bodies of the system page's address read, address set and baud-rate set. tagconsole's
    // handlers of the same names share them and differ only in the line a missing reply gets.
    void ReadReaderAddress(std::wstring_view noData);
    void SetReaderAddress(std::wstring_view noData);
    void SetReaderBaudRate(std::wstring_view noData);

    // The read-back lines of a format record's four flags (semicolon, comma, question mark,
    // Enter), each "The Output format ： " and its text; lineEndAfterEnter ends the Enter line.
    void LogOutputFormatFlags(bool lineEndAfterEnter);

private:
    void SelectPage(int index);
};

extern TForm1* Form1;

// tagconsole's main window: readerconsole's TForm1 with the handlers that differ for the 134.2 kHz
// tag reader replaced and the tag reader's own pages added.
//
// The class lives in namespace tagconsole and is also called TForm1, so ClassName() answers
// "TForm1" as it does for readerconsole's window: anything that tells windows apart by class name
// (the skin engine, tests) treats both alike. Handlers are replaced by registering the same name
// again in the constructor (the later registration wins), so the description binds by name to
// this class's versions; the shared code calls only SendHex directly, which is virtual.
#pragma once

#include "Unit1.h"

#include <cstdint>

namespace tagconsole {

class TForm1 : public ::TForm1 {
public:
    explicit TForm1(TComponent* Owner);

    // Its own description, the resource "TAGFORM1" (readerconsole's is "TFORM1").
    String FormResourceName() const override;

    // ---- Start-up, page change, transport and serial card decoding
    void FormCreate(TObject* Sender);
    void PageControl1Change(TObject* Sender);
    // As readerconsole's, with the "发送..." and "接收..." debug lines and its own write-failure line.
    void SendHex(const String& frame) override;
    // Appends each received block to ReplyHex, where checkcard looks for one card record.
    void Comm1ReceiveData(TObject* Sender, void* Buffer, std::uint16_t BufferLength);
    // Prints the card record at the start of ReplyHex once all of it has arrived, then clears it.
    void checkcard();

    // ---- Hidden system page: reader address and baud rate
    void Button4Click(TObject* Sender);
    void Button11Click(TObject* Sender);
    void Button12Click(TObject* Sender);

    // ---- "USB reader intelligent setting  " (TabSheet1): output format, buzzer, custom byte
    TCheckBox* CheckBox19 = nullptr; // "Add custom bytes"
    TEdit* Edit23 = nullptr;         // the custom byte
    void Button24Click(TObject* Sender);
    void Button25Click(TObject* Sender);

    // ---- "language settings" (TabSheet7): keyboard layout; prefix and suffix boxes
    TRadioButton* RadioButton44 = nullptr;
    TRadioButton* RadioButton45 = nullptr;
    TRadioButton* RadioButton46 = nullptr;
    TRadioButton* RadioButton47 = nullptr;
    TRadioButton* RadioButton48 = nullptr;
    TRadioButton* RadioButton49 = nullptr;
    TRadioButton* RadioButton50 = nullptr;
    TRadioButton* RadioButton51 = nullptr;
    TRadioButton* RadioButton52 = nullptr;
    TRadioButton* RadioButton53 = nullptr;
    void Button27Click(TObject* Sender);
    void Button28Click(TObject* Sender);

    // ---- "Switch of mode" (TabSheet8): work mode, sleep, version, Bluetooth
    TRadioButton* RadioButton54 = nullptr;
    TRadioButton* RadioButton55 = nullptr;
    TRadioButton* RadioButton56 = nullptr;
    TRadioButton* RadioButton57 = nullptr;
    TRadioButton* RadioButton58 = nullptr;
    void Button69Click(TObject* Sender);
    void Button30Click(TObject* Sender);
    void Button63Click(TObject* Sender);
    void Button35Click(TObject* Sender);
    void Button41Click(TObject* Sender);

    // The hex form of a text, one byte per character (code page 936), as the Bluetooth name is sent.
    String GetAscii(const String& text) const;

private:
    void RegisterTagShell();
    void RegisterOutputFormatPage();
    void RegisterLanguagePage();
    void RegisterModePage();
};

} // namespace tagconsole

// What the hidden pages (system commands, S50/S70, Ultralight, ISO14443B, ISO15693) share: reading
// their boxes as hex, the data fields of a reply and its report, and the repeat loops of their
// check boxes.
#include "Unit1.h"

#include <console_core/hex_text.h>
#include <framework/sysutils.h>

#include <algorithm>
#include <limits>

namespace {

constexpr std::size_t ReplyTrailerChars = 4; // check byte and end byte

} // namespace

String TForm1::HexByteOf(const String& text) const {
    int value = -1;
    if (!TryStrToInt(L"$" + Trim(text), value) || value < 0 || value > 0xFF)
        throw EConvertError(L"'" + text + L"' is not a valid hex byte value (00 to FF)");
    return core::HexByteText(static_cast<std::uint32_t>(value));
}

String TForm1::HexBytesOf(const String& text, std::size_t bytes) const {
    // A lone digit would shift every pair after it on the wire, and a field of the wrong width
    // every field after it.
    const String digits = core::HexFilter(text);
    if (bytes != 0 && digits.size() != 2 * bytes)
        throw EConvertError(L"'" + text + L"' is not a valid hex text of " +
                            IntToStr(static_cast<int>(bytes)) + L" bytes (" +
                            IntToStr(static_cast<int>(2 * bytes)) + L" hex digits)");
    if (digits.size() % 2 != 0)
        throw EConvertError(L"'" + text + L"' is not a valid hex byte text (pairs of hex digits)");
    return digits;
}

String TForm1::ReplyData(std::size_t first, std::size_t count) const {
    const std::wstring_view reply(ReplyHex);
    // The check byte and the end byte are no data, even of a short or truncated reply.
    const std::size_t dataEnd = reply.size() > ReplyTrailerChars ? reply.size() - ReplyTrailerChars : 0;
    return core::ReplyField(reply.substr(0, dataEnd), first, count);
}

core::ReplyKind TForm1::ReportCardReply(const core::ReplyReportRow& row,
                                        std::initializer_list<core::ReplyDataLine> data) {
    const core::ReplyKind kind = ReportReply(row);
    if (kind == core::ReplyKind::Success)
        for (const core::ReplyDataLine& line : data)
            AddLog(String(line.prefix) + ReplyData(line.first, line.count) + String(line.suffix));
    return kind;
}

int TForm1::LoopPeriod(int extra) const {
    const long long period = static_cast<long long>(StrToInt(Edit22->Text())) + extra;
    return static_cast<int>(std::clamp<long long>(period, 0, std::numeric_limits<int>::max()));
}

void TForm1::RepeatWhileTicked(TCheckBox* box, const std::function<void()>& pass) {
    if (!box->Checked() || std::ranges::find(RunningLoops, box) != RunningLoops.end()) return;
    RunningLoops.push_back(box);
    // A ticked box with no loop behind it would tell the operator a loop runs. Unticking runs the
    // box's handler once more, which must find the loop gone.
    auto end = [this, box] {
        std::erase(RunningLoops, box);
        if (box->Checked()) box->SetChecked(false);
    };
    try {
        while (KeepRepeating(box)) pass();
    } catch (...) {
        end();
        throw;
    }
    end();
}

void TForm1::RepeatClickWhileTicked(TCheckBox* box, void (TForm1::*click)(TObject*), TButton* button,
                                    RepeatPause pause, int extra) {
    RepeatWhileTicked(box, [this, click, button, pause, extra] {
        (this->*click)(button);
        if (pause == RepeatPause::Full)
            Delayy(LoopPeriod(extra));
        else
            Delay(LoopPeriod(extra));
    });
}

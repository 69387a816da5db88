#include "sim/simulator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <thread>

namespace usbsim {

namespace {

// A HID device keeps a small ring of input reports; older ones are lost when nobody reads.
constexpr std::size_t kMaxQueuedReplies = 32;
constexpr int kDefaultOversizeLength = 0xFF;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::vector<std::string> Split(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        std::size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        if (i > start) words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

// The text after the keyword and the one blank that follows it, kept exactly.
std::string RestAfterKeyword(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    while (i < line.size() && !IsBlank(line[i])) ++i;
    if (i < line.size()) ++i;
    std::string rest(line.substr(std::min(i, line.size())));
    while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n')) rest.pop_back();
    return rest;
}

std::optional<int> ParseNumber(std::string_view text, int base) {
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// The words of a line after its keyword, in lower case.
std::vector<std::string> WordsAfterKeyword(const std::vector<std::string>& args) {
    std::vector<std::string> words;
    for (std::size_t i = 1; i < args.size(); ++i) words.push_back(Lower(args[i]));
    return words;
}

std::optional<std::uint8_t> ParseByte(std::string_view text) {
    if (text.size() != 2) return std::nullopt;
    auto value = ParseNumber(text, 16);
    if (!value) return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

} // namespace

Profile ProfileForModuleName(std::string_view moduleFileName) {
    std::size_t slash = moduleFileName.find_last_of("\\/");
    std::string_view base =
        slash == std::string_view::npos ? moduleFileName : moduleFileName.substr(slash + 1);
    return Lower(base).find("tagconsole") != std::string::npos ? Profile::Tag : Profile::Reader;
}

std::optional<Profile> ParseProfileName(std::string_view name) {
    std::string lower = Lower(name);
    if (lower == "reader") return Profile::Reader;
    if (lower == "tag") return Profile::Tag;
    return std::nullopt;
}

bool Simulator::Fault::Take() {
    if (repeat == Repeat::Off) return false;
    if (repeat == Repeat::Once) repeat = Repeat::Off;
    return true;
}

Simulator::Simulator(Profile automatic) : automatic_(automatic), profile_(automatic) {
    ResetLocked();
}

CommandSet& Simulator::Active() {
    if (profile_ == Profile::Tag) return tagReader_;
    return cardReader_;
}

void Simulator::ResetLocked() {
    module_.Reset();
    cardReader_.Reset();
    tagReader_.Reset();
    replies_.clear();
    forcings_.clear();
    shortWrite_ = {};
    silence_ = {};
    oversize_ = {};
    delay_ = {};
    lastFrame_.clear();
    lastReply_.clear();
    frameCount_ = 0;
}

void Simulator::Transcribe(char direction, ByteView bytes) {
    if (!transcript_.is_open()) return;
    transcript_ << direction << ' ' << ToHex(bytes) << '\n';
    transcript_.flush();
}

std::optional<Simulator::Forcing> Simulator::TakeForcing(std::uint8_t command) {
    auto found = forcings_.find(command);
    if (found == forcings_.end()) found = forcings_.find(kAnyCommand);
    if (found == forcings_.end()) return std::nullopt;
    Forcing forcing = found->second;
    if (forcing.repeat == Repeat::Once) forcings_.erase(found);
    return forcing;
}

Bytes Simulator::Respond(ByteView frame) {
    CheckedFrame checked = CheckFrame(frame);
    if (checked.failure) return BuildReply(checked.address, Answer::Fail(*checked.failure));
    std::optional<Forcing> forcing = TakeForcing(checked.command);
    // A forced failure stands for a reader that refused the command: nothing is stored.
    if (forcing && forcing->failure) return BuildReply(checked.address, Answer::Fail(forcing->value));
    Answer answer = Active().Execute(checked.command, checked.data);
    if (forcing) answer.status = forcing->value;
    return BuildReply(checked.address, answer);
}

int Simulator::Write(int device, int length, const std::uint8_t* bytes) {
    if (device != 0 || length <= 0 || bytes == nullptr) return 0;
    std::lock_guard lock(mutex_);
    ByteView frame(bytes, static_cast<std::size_t>(length));
    ++frameCount_;
    lastFrame_.assign(frame.begin(), frame.end());
    Transcribe('>', frame);

    if (shortWrite_.Take()) {
        int count = shortWrite_.value;
        return count < 0 || count >= length ? length - 1 : count;
    }
    Bytes reply = Respond(frame);
    if (oversize_.Take()) RewriteLengthByte(reply, static_cast<std::uint8_t>(oversize_.value));
    Clock::time_point readyAt = Clock::now();
    if (delay_.Take()) readyAt += std::chrono::milliseconds(delay_.value);
    if (replies_.size() == kMaxQueuedReplies) replies_.pop_front();
    replies_.push_back({std::move(reply), readyAt});
    return length;
}

int Simulator::Read(int device, int length, std::uint8_t* buffer) {
    if (device != 0 || length <= 0 || buffer == nullptr) return 0;
    std::unique_lock lock(mutex_);
    if (replies_.empty()) return 0;
    if (silence_.Take()) {
        replies_.pop_front();
        return 0;
    }
    // Sleep without the lock so that controls and other callers are not held up.
    while (!replies_.empty() && replies_.front().readyAt > Clock::now()) {
        Clock::time_point until = replies_.front().readyAt;
        lock.unlock();
        std::this_thread::sleep_until(until);
        lock.lock();
    }
    if (replies_.empty()) return 0;
    Bytes reply = std::move(replies_.front().bytes);
    replies_.pop_front();
    std::size_t count = std::min(reply.size(), static_cast<std::size_t>(length));
    std::memcpy(buffer, reply.data(), count);
    lastReply_.assign(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count));
    Transcribe('<', lastReply_);
    return static_cast<int>(count);
}

int Simulator::Control(std::string_view line) {
    std::lock_guard lock(mutex_);
    return ControlLocked(line);
}

int Simulator::ApplyConfigFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return kControlFileError;
    std::lock_guard lock(mutex_);
    int result = kControlAccepted;
    std::string line;
    while (std::getline(in, line)) {
        int lineResult = ControlLocked(line);
        if (result == kControlAccepted) result = lineResult;
    }
    return result;
}

int Simulator::ControlFault(Fault& fault, const std::vector<std::string>& args, ValueKind kind,
                            int defaultValue) {
    std::size_t next = 1;
    std::optional<int> value;
    if (next < args.size() && Lower(args[next]) == "off") {
        if (args.size() != 2) return kControlBadArgument;
        fault = {};
        return kControlAccepted;
    }
    bool isRepeatWord = next < args.size() && (Lower(args[next]) == "once" || Lower(args[next]) == "always");
    if (kind != ValueKind::None && next < args.size() && !isRepeatWord) {
        if (kind == ValueKind::Hex) {
            if (auto byte = ParseByte(args[next])) value = *byte;
        } else {
            value = ParseNumber(args[next], 10);
        }
        if (!value) return kControlBadArgument;
        ++next;
    }
    if (kind == ValueKind::DecimalRequired && !value) return kControlBadArgument;
    Repeat repeat = Repeat::Once;
    if (next < args.size()) {
        std::string word = Lower(args[next]);
        if (word == "once") {
            repeat = Repeat::Once;
        } else if (word == "always") {
            repeat = Repeat::Always;
        } else {
            return kControlBadArgument;
        }
        ++next;
    }
    if (next != args.size()) return kControlBadArgument;
    fault.repeat = repeat;
    fault.value = value.value_or(defaultValue);
    return kControlAccepted;
}

int Simulator::ControlForce(const std::vector<std::string>& args) {
    if (args.size() < 3) return kControlBadArgument;
    int command = kAnyCommand;
    if (Lower(args[1]) != "any") {
        auto byte = ParseByte(args[1]);
        if (!byte) return kControlBadArgument;
        command = *byte;
    }
    std::string what = Lower(args[2]);
    if (what == "off") {
        if (args.size() != 3) return kControlBadArgument;
        if (command == kAnyCommand) {
            forcings_.clear();
        } else {
            forcings_.erase(command);
        }
        return kControlAccepted;
    }
    if ((what != "status" && what != "reason") || args.size() < 4 || args.size() > 5)
        return kControlBadArgument;
    auto value = ParseByte(args[3]);
    if (!value) return kControlBadArgument;
    Forcing forcing{what == "reason", *value, Repeat::Once};
    if (args.size() == 5) {
        std::string repeat = Lower(args[4]);
        if (repeat == "always") {
            forcing.repeat = Repeat::Always;
        } else if (repeat != "once") {
            return kControlBadArgument;
        }
    }
    forcings_[command] = forcing;
    return kControlAccepted;
}

int Simulator::ControlTag(const std::vector<std::string>& args, bool toWaitingLine) {
    if (args.size() < 2 || args.size() % 2 != 0) return kControlBadArgument;
    auto epc = ParseHex(args[1]);
    if (!epc) return kControlBadArgument;
    UhfTagOptions options;
    for (std::size_t i = 2; i < args.size(); i += 2) {
        std::string option = Lower(args[i]);
        auto value = ParseHex(args[i + 1]);
        if (!value) return kControlBadArgument;
        if (option == "pwd") {
            options.accessPassword = *value;
        } else if (option == "kill") {
            options.killPassword = *value;
        } else if (option == "tid") {
            options.tid = *value;
        } else if (option == "user") {
            options.user = *value;
        } else if (option == "pc" && value->size() == 2) {
            options.pc = Word(*value, 0);
        } else {
            return kControlBadArgument;
        }
    }
    std::optional<UhfTag> tag = MakeUhfTag(*epc, options);
    if (!tag) return kControlBadArgument;
    if (toWaitingLine) {
        module_.QueueTag(std::move(*tag));
    } else {
        module_.AddTag(std::move(*tag));
    }
    return kControlAccepted;
}

int Simulator::ControlLocked(std::string_view line) {
    std::vector<std::string> args = Split(line);
    if (args.empty() || args[0].front() == '#') return kControlAccepted;
    std::string keyword = Lower(args[0]);

    if (keyword == "reset") {
        if (args.size() != 1) return kControlBadArgument;
        ResetLocked();
        return kControlAccepted;
    }
    if (keyword == "profile") {
        if (args.size() != 2) return kControlBadArgument;
        if (Lower(args[1]) == "auto") {
            profile_ = automatic_;
        } else if (auto profile = ParseProfileName(args[1])) {
            profile_ = *profile;
        } else {
            return kControlBadArgument;
        }
        ResetLocked();
        return kControlAccepted;
    }
    if (keyword == "force") return ControlForce(args);
    if (keyword == "short") return ControlFault(shortWrite_, args, ValueKind::Decimal, -1);
    if (keyword == "silence") return ControlFault(silence_, args, ValueKind::None, 0);
    if (keyword == "oversize") return ControlFault(oversize_, args, ValueKind::Hex, kDefaultOversizeLength);
    if (keyword == "delay") return ControlFault(delay_, args, ValueKind::DecimalRequired, 0);
    if (keyword == "version") {
        std::string text = RestAfterKeyword(line);
        if (text.size() > kMaxReplyData) return kControlBadArgument;
        cardReader_.SetVersion(text);
        tagReader_.SetVersion(text);
        return kControlAccepted;
    }
    if (keyword == "mifare" || keyword == "ultralight")
        return cardReader_.TypeACards().Control(args) ? kControlAccepted : kControlBadArgument;
    if (keyword == "tag") return ControlTag(args, false);
    if (keyword == "queue") return ControlTag(args, true);
    if (keyword == "field") {
        if (args.size() != 2) return kControlBadArgument;
        std::string what = Lower(args[1]);
        if (what == "clear") {
            module_.ClearField();
        } else if (what == "default") {
            module_.ClearField();
            module_.AddTag(DefaultUhfTag());
        } else {
            return kControlBadArgument;
        }
        return kControlAccepted;
    }
    if (keyword == "typeb")
        return cardReader_.TypeB().Control(WordsAfterKeyword(args)) ? kControlAccepted : kControlBadArgument;
    if (keyword == "iso15693")
        return cardReader_.Vicinity().Control(WordsAfterKeyword(args)) ? kControlAccepted : kControlBadArgument;
    if (keyword == "dwell") {
        if (args.size() != 2) return kControlBadArgument;
        auto count = ParseNumber(args[1], 10);
        if (!count) return kControlBadArgument;
        module_.SetDwell(*count);
        return kControlAccepted;
    }
    if (keyword == "transcript") {
        std::string path = RestAfterKeyword(line);
        if (path.empty()) return kControlBadArgument;
        if (transcript_.is_open()) transcript_.close();
        if (Lower(path) == "off") return kControlAccepted;
        transcript_.clear();
        transcript_.open(std::filesystem::path(std::u8string(path.begin(), path.end())),
                         std::ios::app | std::ios::binary);
        return transcript_.is_open() ? kControlAccepted : kControlFileError;
    }
    return kControlUnknown;
}

std::string Simulator::LastFrameHex() const {
    std::lock_guard lock(mutex_);
    return ToHex(lastFrame_);
}

std::string Simulator::LastReplyHex() const {
    std::lock_guard lock(mutex_);
    return ToHex(lastReply_);
}

int Simulator::FrameCount() const {
    std::lock_guard lock(mutex_);
    return frameCount_;
}

Profile Simulator::CurrentProfile() const {
    std::lock_guard lock(mutex_);
    return profile_;
}

CardReaderSettings Simulator::CardSettings() const {
    std::lock_guard lock(mutex_);
    return cardReader_.Settings();
}

TagReaderSettings Simulator::TagSettings() const {
    std::lock_guard lock(mutex_);
    return tagReader_.Settings();
}

std::vector<UhfTag> Simulator::Field() const {
    std::lock_guard lock(mutex_);
    return module_.Field();
}

std::size_t Simulator::QueuedReplies() const {
    std::lock_guard lock(mutex_);
    return replies_.size();
}

} // namespace usbsim

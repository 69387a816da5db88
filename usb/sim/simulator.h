// The simulated reader as usb.dll presents it: frames written, replies read, and the
// control lines that tests and demos use to shape its answers.
#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "sim/readers.h"

namespace usbsim {

enum class Profile { Reader, Tag };

// Results of a control line.
inline constexpr int kControlAccepted = 0;
inline constexpr int kControlUnknown = -1;
inline constexpr int kControlBadArgument = -2;
inline constexpr int kControlFileError = -3;

// Profile chosen by the program's module file name: the tag reader for tagconsole.
Profile ProfileForModuleName(std::string_view moduleFileName);
std::optional<Profile> ParseProfileName(std::string_view name);

class Simulator {
public:
    using Clock = std::chrono::steady_clock;

    // `automatic` is the profile that "profile auto" returns to.
    explicit Simulator(Profile automatic);

    int Write(int device, int length, const std::uint8_t* bytes);
    // Blocks while a `delay` holds the oldest reply back.
    int Read(int device, int length, std::uint8_t* buffer);

    int Control(std::string_view line);
    // Every line of the file in order; the first failing line's result, or 0.
    int ApplyConfigFile(const std::filesystem::path& path);

    std::string LastFrameHex() const;
    std::string LastReplyHex() const;
    int FrameCount() const;
    Profile CurrentProfile() const;

    // For tests that look at the state behind the replies.
    CardReaderSettings CardSettings() const;
    TagReaderSettings TagSettings() const;
    std::vector<UhfTag> Field() const;
    std::size_t QueuedReplies() const;

private:
    enum class Repeat { Off, Once, Always };

    struct Fault {
        Repeat repeat = Repeat::Off;
        int value = 0;
        // True when the fault applies to this frame; a `once` fault is used up by it.
        bool Take();
    };

    struct Forcing {
        bool failure = false; // reason forced, else status forced
        std::uint8_t value = 0;
        Repeat repeat = Repeat::Once;
    };

    struct PendingReply {
        Bytes bytes;
        Clock::time_point readyAt;
    };

    static constexpr int kAnyCommand = -1;

    enum class ValueKind { None, Decimal, DecimalRequired, Hex };

    Bytes Respond(ByteView frame);
    std::optional<Forcing> TakeForcing(std::uint8_t command);
    void ResetLocked();
    void Transcribe(char direction, ByteView bytes);
    int ControlLocked(std::string_view line);
    int ControlFault(Fault& fault, const std::vector<std::string>& args, ValueKind kind, int defaultValue);
    int ControlForce(const std::vector<std::string>& args);
    int ControlTag(const std::vector<std::string>& args, bool toWaitingLine);
    CommandSet& Active();

    mutable std::mutex mutex_;
    Profile automatic_;
    Profile profile_;
    UhfModule module_;
    CardReader cardReader_{module_};
    TagReader tagReader_;

    std::deque<PendingReply> replies_;
    std::map<int, Forcing> forcings_;
    Fault shortWrite_;
    Fault silence_;
    Fault oversize_;
    Fault delay_;

    Bytes lastFrame_;
    Bytes lastReply_;
    int frameCount_ = 0;
    std::ofstream transcript_;
};

} // namespace usbsim

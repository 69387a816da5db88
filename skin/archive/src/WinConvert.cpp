#include "skin_archive/WinConvert.h"

#include <cstring>
#include <new>

using namespace Lzh;

namespace {

// Groups of the position code: how many 8-bit prefixes share one upper value, and the
// code length of that group.
struct TPositionGroup {
    int uppers; // upper values in the group
    int repeat; // 8-bit prefixes per upper value
    int length; // d_len of the group
};
constexpr TPositionGroup PositionGroups[] = {
    {1, 32, 3}, {3, 16, 4}, {8, 8, 5}, {12, 4, 6}, {24, 2, 7}, {16, 1, 8},
};

constexpr std::array<std::uint8_t, 256> MakePositionTable(bool lengths) {
    std::array<std::uint8_t, 256> table{};
    int index = 0, upper = 0;
    for (const auto& group : PositionGroups) {
        for (int u = 0; u < group.uppers; ++u, ++upper)
            for (int k = 0; k < group.repeat; ++k)
                table[index++] = static_cast<std::uint8_t>(lengths ? group.length : upper);
    }
    return table;
}

constexpr int InputBlock = 4096;
constexpr int OutputBlock = 16384;

} // namespace

const std::array<std::uint8_t, 256> Lzh::d_code = MakePositionTable(false);
const std::array<std::uint8_t, 256> Lzh::d_len = MakePositionTable(true);

struct TLZH::TTables {
    std::uint8_t window[N + F - 1];
    std::uint16_t freq[T + 1];
    std::int16_t prnt[T + N_CHAR];
    std::int16_t son[T];
    std::uint8_t input[InputBlock];
    int inputPos = 0;
    int inputLen = 0;
    std::uint8_t output[OutputBlock];
    int outputLen = 0;
};

TLZH::TLZH() = default;
TLZH::~TLZH() = default;

void TLZH::AllocTables() {
    try {
        FTables = std::make_unique<TTables>();
    } catch (const std::bad_alloc&) {
        throw ElzhException("LZH : Cannot get memory for dictionary tables");
    }
}

void TLZH::FreeTables() {
    FTables.reset();
}

void TLZH::InitTree() {
    auto& t = *FTables;
    for (int s = 0; s < N_CHAR; ++s) {
        t.freq[s] = 1;
        t.son[s] = static_cast<std::int16_t>(s + T);
        t.prnt[s + T] = static_cast<std::int16_t>(s);
    }
    for (int i = N_CHAR, j = 0; i <= R; ++i, j += 2) {
        t.freq[i] = static_cast<std::uint16_t>(t.freq[j] + t.freq[j + 1]);
        t.son[i] = static_cast<std::int16_t>(j);
        t.prnt[j] = t.prnt[j + 1] = static_cast<std::int16_t>(i);
    }
    t.freq[T] = 0xFFFF;
    t.prnt[R] = 0;
}

void TLZH::RebuildTree() {
    auto& t = *FTables;
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (t.son[i] >= T) {
            t.freq[j] = static_cast<std::uint16_t>((t.freq[i] + 1) / 2);
            t.son[j] = t.son[i];
            ++j;
        }
    }
    for (int i = 0, node = N_CHAR; node < T; i += 2, ++node) {
        const std::uint16_t f = static_cast<std::uint16_t>(t.freq[i] + t.freq[i + 1]);
        int k = node - 1;
        while (f < t.freq[k]) --k;
        ++k;
        const std::size_t moved = static_cast<std::size_t>(node - k);
        std::memmove(&t.freq[k + 1], &t.freq[k], moved * sizeof t.freq[0]);
        t.freq[k] = f;
        std::memmove(&t.son[k + 1], &t.son[k], moved * sizeof t.son[0]);
        t.son[k] = static_cast<std::int16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = t.son[i];
        t.prnt[k] = static_cast<std::int16_t>(i);
        if (k < T) t.prnt[k + 1] = static_cast<std::int16_t>(i);
    }
}

void TLZH::UpdateTree(int symbol) {
    auto& t = *FTables;
    if (t.freq[R] == MAX_FREQ) RebuildTree();
    std::uint16_t* const freq = t.freq;
    std::int16_t* const son = t.son;
    std::int16_t* const prnt = t.prnt;
    int c = prnt[symbol + T];
    do {
        const unsigned k = ++freq[c];
        if (k > freq[c + 1]) {
            // The sentinel freq[T] = 0xFFFF ends the search.
            int l = c + 1;
            while (k > freq[l + 1]) ++l;
            freq[c] = freq[l];
            freq[l] = static_cast<std::uint16_t>(k);

            const int i = son[c];
            prnt[i] = static_cast<std::int16_t>(l);
            if (i < T) prnt[i + 1] = static_cast<std::int16_t>(l);
            const int j = son[l];
            son[l] = static_cast<std::int16_t>(i);
            prnt[j] = static_cast<std::int16_t>(c);
            if (j < T) prnt[j + 1] = static_cast<std::int16_t>(c);
            son[c] = static_cast<std::int16_t>(j);
            c = l;
        }
        c = prnt[c];
    } while (c != 0);
}

void TLZH::FillBits() {
    auto& t = *FTables;
    while (FBitCount <= 56) {
        std::uint8_t b = 0;
        if (t.inputPos < t.inputLen) {
            b = t.input[t.inputPos++];
        } else if (!FInputEnded) {
            int done = 0;
            (*FRead)(t.input, InputBlock, done);
            if (done <= 0) {
                FInputEnded = true;
                continue;
            }
            t.inputLen = done > InputBlock ? InputBlock : done;
            t.inputPos = 0;
            continue;
        } else {
            ++FZeroBytesFed;
        }
        FBitBuf |= static_cast<std::uint64_t>(b) << (56 - FBitCount);
        FBitCount += 8;
    }
}

inline int TLZH::ReadByte() {
    if (FBitCount < 8) FillBits();
    const int byte = static_cast<int>(FBitBuf >> 56);
    FBitBuf <<= 8;
    FBitCount -= 8;
    return byte;
}

inline int TLZH::DecodeSymbol() {
    const std::int16_t* const son = FTables->son;
    if (FBitCount < 32) FillBits();
    std::uint64_t buf = FBitBuf;
    int count = FBitCount;
    int c = son[R];
    while (c < T) {
        if (count == 0) {
            FBitBuf = buf;
            FBitCount = 0;
            FillBits();
            buf = FBitBuf;
            count = FBitCount;
        }
        c = son[c + static_cast<int>(buf >> 63)];
        buf <<= 1;
        --count;
    }
    FBitBuf = buf;
    FBitCount = count;
    const int symbol = c - T;
    UpdateTree(symbol);
    return symbol;
}

inline int TLZH::DecodeOffset() {
    int i = ReadByte();
    const int high = d_code[i] << 6;
    const int extra = d_len[i] - 2;
    if (FBitCount < extra) FillBits();
    i = (i << extra) | static_cast<int>(FBitBuf >> (64 - extra));
    FBitBuf <<= extra;
    FBitCount -= extra;
    return high | (i & 0x3F);
}

void TLZH::FlushOutput() {
    auto& t = *FTables;
    if (t.outputLen == 0) return;
    int done = 0;
    (*FWrite)(t.output, t.outputLen, done);
    t.outputLen = 0;
}

void TLZH::Decode(int count, const TWriteBlock& write, const TReadBlock& read) {
    AllocTables();
    struct TFreeOnExit {
        TLZH* self;
        ~TFreeOnExit() {
            self->FreeTables();
            self->FRead = nullptr;
            self->FWrite = nullptr;
        }
    } freeOnExit{this};

    FRead = &read;
    FWrite = &write;
    FBitBuf = 0;
    FBitCount = 0;
    FInputEnded = false;
    FZeroBytesFed = 0;
    InitTree();

    auto& t = *FTables;
    std::memset(t.window, ' ', Prefill);
    std::memset(t.window + Prefill, 0, sizeof t.window - Prefill);
    std::uint8_t* const window = t.window;
    int r = Prefill;
    std::int64_t produced = 0;

    while (produced < count) {
        if (t.outputLen > OutputBlock - F) FlushOutput();
        std::uint8_t* out = t.output + t.outputLen;
        const int s = DecodeSymbol();
        if (s < 256) {
            *out = static_cast<std::uint8_t>(s);
            window[r] = static_cast<std::uint8_t>(s);
            r = (r + 1) & (N - 1);
            ++t.outputLen;
            ++produced;
        } else {
            const int from = (r - DecodeOffset() - 1) & (N - 1);
            const int length = s - 255 + THRESHOLD;
            for (int k = 0; k < length; ++k) {
                const std::uint8_t b = window[(from + k) & (N - 1)];
                out[k] = b;
                window[r] = b;
                r = (r + 1) & (N - 1);
            }
            t.outputLen += length;
            produced += length;
        }
        if (FInputEnded && FZeroBytesFed * 8 - FBitCount > OverrunLimit * 8) {
            FlushOutput();
            throw ElzhException("LZH : Compressed data ends early");
        }
    }
    FlushOutput();
}

void TLZH::ReadInput(std::uint8_t* buffer, int count, int& done) {
    done = 0;
    if (InputStream == nullptr || count <= 0) return;
    done = static_cast<int>(InputStream->Read(buffer, count));
}

void TLZH::WriteOutput(const std::uint8_t* buffer, int count, int& done) {
    done = 0;
    if (OutputStream == nullptr || count <= 0) return;
    OutputStream->Write(buffer, count);
    done = count;
}

void TLZH::DecodeStreams(int count) {
    Decode(
        count, [this](const std::uint8_t* b, int n, int& d) { WriteOutput(b, n, d); },
        [this](std::uint8_t* b, int n, int& d) { ReadInput(b, n, d); });
}

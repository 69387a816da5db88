#include "skinpack/LzhEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr int N = 4096;
constexpr int F = 60;
constexpr int THRESHOLD = 2;
constexpr int N_CHAR = 256 - THRESHOLD + F;
constexpr int T = N_CHAR * 2 - 1;
constexpr int R = T - 1;
constexpr unsigned MAX_FREQ = 0x8000;
constexpr int Prefill = N - F;

// Position code: the upper 6 bits of a position get a prefix code whose lengths come in
// runs (1 code of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7, 16 of 8), assigned in order;
// the low 6 bits follow as they are.
struct TPrefixCodes {
    std::array<std::uint8_t, 64> length{};
    std::array<std::uint8_t, 64> code{}; // left-aligned in 8 bits
};
constexpr TPrefixCodes MakePrefixCodes() {
    constexpr int runs[][2] = {{1, 3}, {3, 4}, {8, 5}, {12, 6}, {24, 7}, {16, 8}};
    TPrefixCodes codes;
    int upper = 0, next = 0;
    for (const auto& run : runs) {
        for (int k = 0; k < run[0]; ++k, ++upper) {
            codes.length[upper] = static_cast<std::uint8_t>(run[1]);
            codes.code[upper] = static_cast<std::uint8_t>(next);
            next += 1 << (8 - run[1]);
        }
    }
    return codes;
}
constexpr TPrefixCodes PositionCodes = MakePrefixCodes();
static_assert(PositionCodes.code[63] == 0xFF);

class TBitWriter {
public:
    explicit TBitWriter(std::vector<std::uint8_t>& out) : FOut(out) {}
    // Writes the low `length` bits of `bits`, most significant first.
    void Put(std::uint32_t bits, int length) {
        FBuf = FBuf << length | (bits & ((1ull << length) - 1));
        FCount += length;
        while (FCount >= 8) {
            FCount -= 8;
            FOut.push_back(static_cast<std::uint8_t>(FBuf >> FCount));
        }
    }
    void Finish() {
        if (FCount > 0) FOut.push_back(static_cast<std::uint8_t>(FBuf << (8 - FCount)));
        FCount = 0;
    }

private:
    std::vector<std::uint8_t>& FOut;
    std::uint64_t FBuf = 0;
    int FCount = 0;
};

// The adaptive Huffman tree in the form of the published coder.
class THuffTree {
public:
    THuffTree() {
        for (int i = 0; i < N_CHAR; ++i) {
            freq[i] = 1;
            son[i] = i + T;
            prnt[i + T] = i;
        }
        int i = 0, j = N_CHAR;
        while (j <= R) {
            freq[j] = freq[i] + freq[i + 1];
            son[j] = i;
            prnt[i] = prnt[i + 1] = j;
            i += 2;
            j++;
        }
        freq[T] = 0xFFFF;
        prnt[R] = 0;
    }

    // The code of symbol c, read from the leaf up: a node at an odd index is a right child.
    void Encode(int c, TBitWriter& out) {
        std::uint32_t code = 0;
        int length = 0;
        int k = prnt[c + T];
        do {
            code |= static_cast<std::uint32_t>(k & 1) << length;
            ++length;
            k = prnt[k];
        } while (k != R);
        out.Put(code, length);
        Update(c);
    }

private:
    void Reconstruct() {
        int j = 0;
        for (int i = 0; i < T; i++) {
            if (son[i] >= T) {
                freq[j] = (freq[i] + 1) / 2;
                son[j] = son[i];
                j++;
            }
        }
        for (int i = 0, jj = N_CHAR; jj < T; i += 2, jj++) {
            int k = i + 1;
            const unsigned f = freq[jj] = freq[i] + freq[k];
            for (k = jj - 1; f < freq[k]; k--) {
            }
            k++;
            for (int m = jj; m > k; --m) {
                freq[m] = freq[m - 1];
                son[m] = son[m - 1];
            }
            freq[k] = f;
            son[k] = i;
        }
        for (int i = 0; i < T; i++) {
            const int k = son[i];
            if (k >= T)
                prnt[k] = i;
            else
                prnt[k] = prnt[k + 1] = i;
        }
    }

    void Update(int c) {
        if (freq[R] == MAX_FREQ) Reconstruct();
        c = prnt[c + T];
        do {
            const unsigned k = ++freq[c];
            int l = c + 1;
            if (k > freq[l]) {
                while (k > freq[++l]) {
                }
                l--;
                freq[c] = freq[l];
                freq[l] = k;
                const int i = son[c];
                prnt[i] = l;
                if (i < T) prnt[i + 1] = l;
                const int j = son[l];
                son[l] = i;
                prnt[j] = c;
                if (j < T) prnt[j + 1] = c;
                son[c] = j;
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }

    std::array<unsigned, T + 1> freq{};
    std::array<int, T + N_CHAR> prnt{};
    std::array<int, T> son{};
};

// Greedy longest-match search over hash chains of 3-byte prefixes. The text is the
// window's blank prefill followed by the data, so matches may reach into the blanks.
class TMatchFinder {
public:
    explicit TMatchFinder(const std::vector<std::uint8_t>& text) : FText(text), FPrev(text.size(), -1) {
        FHead.fill(-1);
    }

    void Insert(int p) {
        if (p + 3 > static_cast<int>(FText.size())) return;
        const unsigned h = Hash(p);
        FPrev[p] = FHead[h];
        FHead[h] = p;
    }

    // Longest match for p among earlier positions no further back than the window; the
    // nearest wins among equal lengths.
    int Longest(int p, int limit, int& distance) const {
        int best = 0;
        if (limit < THRESHOLD + 1) return 0;
        int chain = MaxChain;
        for (int q = FHead[Hash(p)]; q >= 0 && p - q <= N && chain-- > 0; q = FPrev[q]) {
            if (FText[q + best] != FText[p + best]) continue;
            int len = 0;
            while (len < limit && FText[q + len] == FText[p + len]) ++len;
            if (len > best) {
                best = len;
                distance = p - q;
                if (len == limit) break;
            }
        }
        return best;
    }

private:
    static constexpr int HashBits = 15;
    static constexpr int MaxChain = 256;
    unsigned Hash(int p) const {
        const unsigned v = FText[p] | FText[p + 1] << 8 | FText[p + 2] << 16;
        return (v * 2654435761u) >> (32 - HashBits);
    }

    const std::vector<std::uint8_t>& FText;
    std::array<int, 1 << HashBits> FHead;
    std::vector<int> FPrev;
};

} // namespace

std::vector<std::uint8_t> LzhEncode(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() / 2 + 16);
    if (data.empty()) return out;

    std::vector<std::uint8_t> text(Prefill + data.size(), ' ');
    std::copy(data.begin(), data.end(), text.begin() + Prefill);
    const auto finder = std::make_unique<TMatchFinder>(text);
    const auto tree = std::make_unique<THuffTree>();
    TBitWriter bits(out);

    for (int p = 0; p < Prefill; ++p) finder->Insert(p);
    const int end = static_cast<int>(text.size());
    int p = Prefill;
    while (p < end) {
        int distance = 0;
        const int length = finder->Longest(p, std::min(F, end - p), distance);
        if (length > THRESHOLD) {
            tree->Encode(255 - THRESHOLD + length, bits);
            const int position = distance - 1;
            const int upper = position >> 6;
            bits.Put(PositionCodes.code[upper] >> (8 - PositionCodes.length[upper]),
                     PositionCodes.length[upper]);
            bits.Put(static_cast<std::uint32_t>(position & 0x3F), 6);
            for (int k = 0; k < length; ++k) finder->Insert(p + k);
            p += length;
        } else {
            tree->Encode(text[p], bits);
            finder->Insert(p);
            ++p;
        }
    }
    bits.Finish();
    return out;
}

#pragma once
// LZHUF decoder: LZSS over a 4096-byte window, literals and match lengths in an adaptive
// Huffman code, match positions in the fixed position code.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "skin_archive/ByteStream.h"

namespace Lzh {
constexpr int N = 4096;                     // window size
constexpr int F = 60;                       // longest match
constexpr int THRESHOLD = 2;                // a match is at least THRESHOLD + 1 bytes
constexpr int N_CHAR = 256 - THRESHOLD + F; // 256 literals and 58 match lengths
constexpr int T = N_CHAR * 2 - 1;           // tree nodes
constexpr int R = T - 1;                    // root
constexpr unsigned MAX_FREQ = 0x8000;       // root count at which the tree is rebuilt
constexpr int Prefill = N - F;              // leading blanks of the window, and the first write position

// First 8 bits of a position code -> upper 6 bits of the position, and the code's length
// in bits without the 6 plain low bits.
extern const std::array<std::uint8_t, 256> d_code;
extern const std::array<std::uint8_t, 256> d_len;

// Decoding stops with an exception once it has consumed this many zero bytes past the end
// of its input: a complete stream never reads past its last byte.
constexpr int OverrunLimit = 32;
} // namespace Lzh

class ElzhException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TLZH {
public:
    // Both callbacks take (buffer, requested count, out count done).
    using TReadBlock = std::function<void(std::uint8_t* buffer, int count, int& done)>;
    using TWriteBlock = std::function<void(const std::uint8_t* buffer, int count, int& done)>;

    TLZH();
    ~TLZH();
    TLZH(const TLZH&) = delete;
    TLZH& operator=(const TLZH&) = delete;

    // Decodes until at least count bytes have been written (a final match is written
    // whole). Input past its end reads as zero bits; running well past it raises
    // ElzhException, so a corrupt or short stream cannot make output without bound.
    void Decode(int count, const TWriteBlock& write, const TReadBlock& read);

    // Stream callbacks: not owned; set before calling Decode with ReadInput/WriteOutput.
    TByteStream* InputStream = nullptr;
    TByteStream* OutputStream = nullptr;
    void ReadInput(std::uint8_t* buffer, int count, int& done);
    void WriteOutput(const std::uint8_t* buffer, int count, int& done);
    // Decode from InputStream's position into OutputStream's position.
    void DecodeStreams(int count);

private:
    struct TTables;
    void AllocTables();
    void FreeTables();
    void InitTree();
    void UpdateTree(int symbol);
    void RebuildTree();
    void FillBits();
    int ReadByte();
    int DecodeSymbol();
    int DecodeOffset();
    void FlushOutput();

    std::unique_ptr<TTables> FTables;
    // Bit reader: the next bit is the top bit of FBitBuf; FBitCount bits are valid.
    std::uint64_t FBitBuf = 0;
    int FBitCount = 0;
    const TReadBlock* FRead = nullptr;
    const TWriteBlock* FWrite = nullptr;
    bool FInputEnded = false;
    std::int64_t FZeroBytesFed = 0; // zero bytes fed in after the input ended
};

#include <framework/classes.h>
#include <framework/sysutils.h>

#include <algorithm>
#include <cstring>

std::int64_t TStream::Size() {
    std::int64_t pos = Seek(0, soCurrent);
    std::int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(std::int64_t) {
    throw EStreamError(L"Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> buffer(static_cast<size_t>(std::min<std::int64_t>(count, 64 * 1024)));
    std::int64_t left = count;
    while (left > 0) {
        std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

namespace {
std::int64_t SeekWithin(std::size_t& pos, std::size_t size, std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = origin == soBeginning ? 0
                        : origin == soCurrent ? static_cast<std::int64_t>(pos)
                                              : static_cast<std::int64_t>(size);
    std::int64_t target = base + offset;
    if (target < 0) target = 0;
    pos = static_cast<std::size_t>(target);
    return target;
}
} // namespace

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || pos_ >= data_.size()) return 0;
    std::size_t n = std::min(static_cast<std::size_t>(count), data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<std::int64_t>(n);
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    std::size_t n = static_cast<std::size_t>(count);
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memcpy(data_.data() + pos_, buffer, n);
    pos_ += n;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    return SeekWithin(pos_, data_.size(), offset, origin);
}

void TMemoryStream::SetSize(std::int64_t size) {
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    if (pos_ > data_.size()) pos_ = data_.size();
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    std::int64_t size = stream.Size();
    data_.resize(static_cast<std::size_t>(size));
    if (size) stream.ReadBuffer(data_.data(), size);
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) const {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TMemoryStream::LoadFromFile(const String& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const String& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

std::int64_t TPointerStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || pos_ >= size_) return 0;
    std::size_t n = std::min(static_cast<std::size_t>(count), size_ - pos_);
    std::memcpy(buffer, data_ + pos_, n);
    pos_ += n;
    return static_cast<std::int64_t>(n);
}

std::int64_t TPointerStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    return SeekWithin(pos_, size_, offset, origin);
}

namespace {
struct ResourceBytes {
    const void* data = nullptr;
    std::size_t size = 0;
};

bool FindResourceBytes(HINSTANCE instance, const String& name, const wchar_t* type, ResourceBytes& out) {
    if (!instance) instance = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(instance, name.c_str(), type);
    if (!info) return false;
    HGLOBAL global = LoadResource(instance, info); // resources are never freed by hand
    if (!global) return false;
    out.data = LockResource(global);
    out.size = SizeofResource(instance, info);
    return out.data != nullptr;
}

ResourceBytes RequireResource(HINSTANCE instance, const String& name, const wchar_t* type) {
    ResourceBytes bytes;
    if (!FindResourceBytes(instance, name, type, bytes))
        throw EResNotFound(L"Resource " + name + L" not found");
    return bytes;
}
} // namespace

TResourceStream::TResourceStream(HINSTANCE instance, const String& name, const wchar_t* type)
    : TPointerStream(nullptr, 0) {
    ResourceBytes bytes = RequireResource(instance, name, type);
    static_cast<TPointerStream&>(*this) = TPointerStream(bytes.data, bytes.size);
}

bool TResourceStream::Exists(HINSTANCE instance, const String& name, const wchar_t* type) {
    ResourceBytes bytes;
    return FindResourceBytes(instance, name, type, bytes);
}

namespace {
String SystemReason(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    String text = n && buffer ? TrimRight(String(buffer, n)) : L"Error " + IntToStr(code);
    if (buffer) LocalFree(buffer);
    return text;
}
} // namespace

TFileStream::TFileStream(const String& fileName, unsigned mode) {
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    unsigned shareMode = mode & 0xF0;
    if (shareMode == fmShareExclusive) share = 0;
    if (shareMode == fmShareDenyWrite) share = FILE_SHARE_READ;
    if ((mode & fmCreate) == fmCreate) {
        handle_ = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle_ == INVALID_HANDLE_VALUE)
            throw EFCreateError(L"Cannot create file \"" + fileName + L"\". " + SystemReason(GetLastError()));
        return;
    }
    DWORD access = (mode & 3) == fmOpenWrite       ? GENERIC_WRITE
                   : (mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                   : GENERIC_READ;
    handle_ =
        CreateFileW(fileName.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        throw EFOpenError(L"Cannot open file \"" + fileName + L"\". " + SystemReason(GetLastError()));
}

TFileStream::~TFileStream() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    std::int64_t total = 0;
    auto* p = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count, 1 << 30)), got = 0;
        if (!ReadFile(handle_, p, chunk, &got, nullptr) || got == 0) break;
        total += got;
        p += got;
        count -= got;
    }
    return total;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    std::int64_t total = 0;
    auto* p = static_cast<const std::uint8_t*>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::int64_t>(count, 1 << 30)), put = 0;
        if (!WriteFile(handle_, p, chunk, &put, nullptr) || put == 0) break;
        total += put;
        p += put;
        count -= put;
    }
    return total;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    DWORD method = origin == soBeginning ? FILE_BEGIN : origin == soCurrent ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(handle_, distance, &result, method)) return -1;
    return result.QuadPart;
}

void TFileStream::SetSize(std::int64_t size) {
    std::int64_t pos = Position();
    SetPosition(size);
    if (!SetEndOfFile(handle_)) RaiseLastOSError(L"SetEndOfFile");
    if (pos < size) SetPosition(pos);
}

#include "formreader_parse.h"

#include <framework/sysutils.h>

#include <optional>

namespace formtext {
namespace {

class Parser {
public:
    Parser(std::string_view text, const String& source) : text_(text), source_(source) {}

    ObjectNode ParseRoot() {
        SkipBlanks();
        ObjectNode root = ParseObject();
        SkipBlanks();
        if (pos_ < text_.size()) Fail(L"Text after the final 'end'");
        return root;
    }

    // Objects, lists and collection items nest at most this deep: real forms need a handful of
    // levels, and each level costs stack here, in the builder and in window creation.
    static constexpr int kMaxNesting = 32;

    [[noreturn]] void Fail(const String& what) const { FailAt(line_, what); }
    [[noreturn]] void FailAt(int line, const String& what) const {
        throw EReadError(source_ + L"(" + IntToStr(line) + L"): " + what);
    }

private:
    class Nesting {
    public:
        explicit Nesting(Parser& parser) : parser_(parser) {
            if (parser_.depth_ >= kMaxNesting)
                parser_.Fail(L"Nested more than " + IntToStr(kMaxNesting) + L" levels deep");
            ++parser_.depth_;
        }
        ~Nesting() { --parser_.depth_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;

    private:
        Parser& parser_;
    };

    static bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
    static bool IsHex(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

    char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    bool AtEnd() const { return pos_ >= text_.size(); }

    void SkipBlanks() {
        while (!AtEnd()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (!AtEnd() && text_[pos_] != '\n') ++pos_;
            } else if (pos_ == 0 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
                pos_ = 3;
            } else {
                break;
            }
        }
    }

    String Describe() const {
        if (AtEnd()) return L"end of text";
        if (IsIdentStart(Peek())) {
            size_t e = pos_;
            while (e < text_.size() && IsIdentChar(text_[e])) ++e;
            return L"'" + Utf8ToString(text_.substr(pos_, e - pos_)) + L"'";
        }
        return L"'" + Utf8ToString(text_.substr(pos_, 1)) + L"'";
    }

    void Expect(char c) {
        SkipBlanks();
        if (Peek() != c)
            Fail(L"'" + String(1, static_cast<wchar_t>(c)) + L"' expected but " + Describe() + L" found");
        ++pos_;
    }

    std::optional<String> TryIdent() {
        SkipBlanks();
        if (!IsIdentStart(Peek())) return std::nullopt;
        size_t start = pos_;
        while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
        return Utf8ToString(text_.substr(start, pos_ - start));
    }

    String Ident(const wchar_t* what) {
        auto id = TryIdent();
        if (!id) Fail(String(what) + L" expected but " + Describe() + L" found");
        return *id;
    }

    // Name or Name.Sub.Sub
    String QualifiedIdent() {
        String name = Ident(L"Property name");
        while (Peek() == '.' && IsIdentStart(Peek(1))) {
            ++pos_;
            name += L"." + Ident(L"Property name");
        }
        return name;
    }

    bool PeekKeyword(const char* word) {
        SkipBlanks();
        size_t n = std::char_traits<char>::length(word);
        if (pos_ + n > text_.size()) return false;
        for (size_t i = 0; i < n; ++i)
            if ((text_[pos_ + i] | 0x20) != word[i]) return false;
        return pos_ + n == text_.size() || !IsIdentChar(text_[pos_ + n]);
    }

    ObjectNode ParseObject() {
        const Nesting nesting(*this);
        ObjectNode node;
        node.props.reserve(8); // most objects have a handful; saves the early regrowths
        SkipBlanks();
        node.line = line_;
        String keyword = Ident(L"'object'");
        if (SameText(keyword, L"inherited") || SameText(keyword, L"inline"))
            Fail(L"'" + keyword + L"' objects are not supported");
        if (!SameText(keyword, L"object")) Fail(L"'object' expected but '" + keyword + L"' found");
        String first = Ident(L"Object name");
        SkipBlanks();
        if (Peek() == ':') {
            ++pos_;
            node.name = first;
            node.className = Ident(L"Class name");
        } else {
            node.className = first; // an object without a name
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd()) FailAt(node.line, L"'end' of object " + node.name + L" missing");
            if (PeekKeyword("end")) {
                pos_ += 3;
                return node;
            }
            if (PeekKeyword("object") || PeekKeyword("inherited") || PeekKeyword("inline")) {
                node.children.push_back(ParseObject());
                continue;
            }
            node.props.push_back(ParseProperty());
        }
    }

    Property ParseProperty() {
        Property p;
        SkipBlanks();
        p.line = line_;
        p.name = QualifiedIdent();
        Expect('=');
        p.value = ParseValue();
        return p;
    }

    Value ParseValue() {
        SkipBlanks();
        Value v;
        v.line = line_;
        char c = Peek();
        if (c == '\'' || c == '#') {
            v.kind = Value::Str;
            v.text = ParseStringExpression();
        } else if (c == '-' || c == '+' || (c >= '0' && c <= '9') || c == '$') {
            ParseNumber(v);
        } else if (IsIdentStart(c)) {
            v.kind = Value::Ident;
            v.text = QualifiedIdent();
        } else if (c == '[') {
            ++pos_;
            v.kind = Value::Set;
            SkipBlanks();
            if (Peek() != ']') {
                for (;;) {
                    v.names.push_back(Ident(L"Set element"));
                    SkipBlanks();
                    if (Peek() == ',') {
                        ++pos_;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else if (c == '(') {
            const Nesting nesting(*this);
            ++pos_;
            v.kind = Value::List;
            for (;;) {
                SkipBlanks();
                if (Peek() == ')') break;
                if (AtEnd()) FailAt(v.line, L"')' of the list missing");
                v.items.push_back(ParseValue());
            }
            ++pos_;
        } else if (c == '<') {
            const Nesting nesting(*this);
            ++pos_;
            v.kind = Value::Collection;
            for (;;) {
                SkipBlanks();
                if (Peek() == '>') break;
                if (!PeekKeyword("item")) Fail(L"'item' or '>' expected but " + Describe() + L" found");
                pos_ += 4;
                PropertyList entry;
                for (;;) {
                    SkipBlanks();
                    if (AtEnd()) FailAt(v.line, L"'end' of the collection item missing");
                    if (PeekKeyword("end")) {
                        pos_ += 3;
                        break;
                    }
                    entry.push_back(ParseProperty());
                }
                v.entries.push_back(std::move(entry));
            }
            ++pos_;
        } else if (c == '{') {
            ++pos_;
            ParseBinary(v);
        } else {
            Fail(L"Value expected but " + Describe() + L" found");
        }
        return v;
    }

    void ParseNumber(Value& v) {
        size_t start = pos_;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') negative = text_[pos_++] == '-';
        if (Peek() == '$') {
            ++pos_;
            size_t digits = pos_;
            std::uint64_t acc = 0;
            while (IsHex(Peek())) {
                if (acc >> 60) Fail(L"Number too large");
                acc = acc * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
            }
            if (pos_ == digits) Fail(L"Hex digits expected after '$'");
            // Eight hex digits are a 32-bit pattern ($FFFFFFFF is -1), as descriptions write colours.
            std::int64_t value = static_cast<std::int64_t>(acc);
            if (acc > 0x7FFFFFFFull && acc <= 0xFFFFFFFFull)
                value = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc));
            v.kind = Value::Integer;
            v.integer = negative ? -value : value;
            return;
        }
        size_t digits = pos_;
        std::uint64_t acc = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            if (acc > 922337203685477580ull) Fail(L"Number too large");
            acc = acc * 10 + static_cast<unsigned>(text_[pos_++] - '0');
        }
        if (pos_ == digits) Fail(L"Digits expected");
        if (Peek() == '.' && Peek(1) >= '0' && Peek(1) <= '9') {
            ++pos_;
            while ((Peek() >= '0' && Peek() <= '9') || Peek() == 'e' || Peek() == 'E' ||
                   ((Peek() == '-' || Peek() == '+') && (text_[pos_ - 1] | 0x20) == 'e'))
                ++pos_;
            v.kind = Value::Float;
            v.text = Utf8ToString(text_.substr(start, pos_ - start));
            return;
        }
        v.kind = Value::Integer;
        v.integer = negative ? -static_cast<std::int64_t>(acc) : static_cast<std::int64_t>(acc);
    }

    // 'text' pieces and #13 codes, side by side or joined with '+' (also across lines).
    String ParseStringExpression() {
        String out;
        for (;;) {
            SkipBlanks();
            if (Peek() == '\'') {
                ++pos_;
                std::string piece;
                for (;;) {
                    if (AtEnd() || Peek() == '\n') Fail(L"Unterminated string");
                    char ch = text_[pos_++];
                    if (ch == '\'') {
                        if (Peek() == '\'') {
                            piece += '\'';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    piece += ch;
                }
                out += Utf8ToString(piece);
            } else if (Peek() == '#') {
                ++pos_;
                std::uint32_t code = 0;
                size_t digits = pos_;
                if (Peek() == '$') {
                    ++pos_;
                    digits = pos_;
                    while (IsHex(Peek()) && code <= 0x10FFFF)
                        code = code * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
                } else {
                    while (Peek() >= '0' && Peek() <= '9' && code <= 0x10FFFF)
                        code = code * 10 + static_cast<unsigned>(text_[pos_++] - '0');
                }
                if (pos_ == digits) Fail(L"Character code expected after '#'");
                if (code > 0x10FFFF) Fail(L"Character code out of range");
                if (code >= 0x10000) {
                    code -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (code >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(code);
                }
            } else {
                Fail(L"String expected but " + Describe() + L" found");
            }
            // Another piece follows directly, or after a '+'.
            size_t save = pos_;
            int saveLine = line_;
            SkipBlanks();
            if (Peek() == '+') {
                ++pos_;
                continue;
            }
            if ((Peek() == '\'' || Peek() == '#') && save == pos_) continue;
            pos_ = save;
            line_ = saveLine;
            return out;
        }
    }

    void ParseBinary(Value& v) {
        SkipBlanks();
        if (PeekKeyword("resource")) {
            pos_ += 8;
            SkipBlanks();
            if (Peek() != '\'') Fail(L"Resource name in quotes expected");
            v.kind = Value::Resource;
            v.text = ParseStringExpression();
            if (v.text.empty()) Fail(L"Empty resource name");
            Expect('}');
            return;
        }
        v.kind = Value::Binary;
        int half = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd()) FailAt(v.line, L"'}' of the binary value missing");
            char c = Peek();
            if (c == '}') {
                ++pos_;
                break;
            }
            if (!IsHex(c)) Fail(L"Hex digit expected in binary value but " + Describe() + L" found");
            ++pos_;
            if (half < 0) {
                half = HexValue(c);
            } else {
                v.bytes.push_back(static_cast<std::uint8_t>(half * 16 + HexValue(c)));
                half = -1;
            }
        }
        if (half >= 0) FailAt(v.line, L"Odd number of hex digits in binary value");
    }

    std::string_view text_;
    String source_;
    size_t pos_ = 0;
    int line_ = 1;
    int depth_ = 0;
};

} // namespace

ObjectNode ParseDescription(std::string_view text, const String& source) {
    return Parser(text, source).ParseRoot();
}

} // namespace formtext

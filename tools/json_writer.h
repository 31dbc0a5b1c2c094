// A small JSON writer for the `kvn` commands: pretty-printed (two spaces
// per level) straight to a stream, numbers written with std::to_chars.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string_view>
#include <type_traits>
#include <vector>

namespace kolvane {

// Writes pretty-printed JSON (two spaces per level) straight to a stream.
// Callers pair begin/end calls and give a key before each member of an object.
class JsonWriter {
  public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(std::string_view name) {
        separate();
        writeString(name);
        out_ << ": ";
        afterKey_ = true;
    }

    void string(std::string_view utf8) {
        beforeValue();
        writeString(utf8);
    }
    void number(std::uint64_t value) {
        beforeValue();
        char buffer[24];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.write(buffer, result.ptr - buffer);
    }
    // Shortest text that reads back as the same double; JSON has no
    // infinities nor NaN, so those become null.
    void number(double value) {
        beforeValue();
        if (!std::isfinite(value)) {
            out_ << "null";
            return;
        }
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.write(buffer, result.ptr - buffer);
    }
    void null() {
        beforeValue();
        out_ << "null";
    }
    void boolean(bool value) {
        beforeValue();
        out_ << (value ? "true" : "false");
    }

    template <class Value> void member(std::string_view name, Value value) {
        key(name);
        if constexpr (std::is_same_v<Value, double>)
            number(value);
        else if constexpr (std::is_same_v<Value, bool>)
            boolean(value);
        else if constexpr (std::is_integral_v<Value>)
            number(static_cast<std::uint64_t>(value));
        else
            string(value);
    }

    void finish() { out_ << '\n'; }

  private:
    struct Level {
        bool empty = true;
    };

    void indent() {
        for (std::size_t i = 0; i < levels_.size(); ++i)
            out_ << "  ";
    }
    // Starts a new member or element: a comma after the previous one, then a
    // new line at the current depth.
    void separate() {
        if (levels_.empty())
            return;
        out_ << (levels_.back().empty ? "\n" : ",\n");
        levels_.back().empty = false;
        indent();
    }
    void beforeValue() {
        if (afterKey_)
            afterKey_ = false;
        else
            separate();
    }
    void open(char bracket) {
        beforeValue();
        out_ << bracket;
        levels_.push_back(Level{});
    }
    void close(char bracket) {
        bool empty = levels_.back().empty;
        levels_.pop_back();
        if (!empty) {
            out_ << '\n';
            indent();
        }
        out_ << bracket;
    }
    void writeString(std::string_view utf8) {
        static constexpr char kHex[] = "0123456789abcdef";
        out_ << '"';
        for (char c : utf8) {
            auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ << '\\' << c;
            } else if (byte < 0x20) {
                out_ << "\\u00" << kHex[byte >> 4] << kHex[byte & 15];
            } else {
                out_ << c;
            }
        }
        out_ << '"';
    }

    std::ostream& out_;
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace kolvane

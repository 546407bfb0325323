#pragma once
// The output of every text producer (conversions, results to file, loader files).
#include <cstddef>
#include <cstring>
#include <string_view>

namespace marlix {

class TextSink {
public:
    virtual ~TextSink() = default;

    virtual void WriteBytes(const char* data, size_t length) = 0;
    virtual void WriteText(const char* text) { WriteBytes(text, std::strlen(text)); }
    // Exactly `width` characters: the text cut to width, or followed by blanks up to it.
    virtual void WritePadded(std::string_view text, size_t width);
    virtual void WriteChar(char c) { WriteBytes(&c, 1); }
    virtual size_t Length() const = 0;

    void Write(std::string_view text) { WriteBytes(text.data(), text.size()); }

    // A conversion sets this while it runs, so that a memory sink may grow past its reservation.
    bool Growable() const noexcept { return growable_; }
    void SetGrowable(bool growable) noexcept { growable_ = growable; }

private:
    bool growable_ = false;
};

} // namespace marlix
